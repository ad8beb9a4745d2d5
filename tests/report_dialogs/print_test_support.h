#pragma once

// Shared by the print window tests: a printing service with printers of the test's choosing
// (preview and PDF are the real Qt devices, the printer records what it is asked), answers to
// the dialogs a test expects, and poppler's tools to read PDF files back.

#include "../reports/report_test_support.h"
#include "reports/report_device.h"

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace marqor::test {

class TTestPrintingService final : public IKvrPrintingService {
public:
    std::vector<std::string> printers{"Office", "Lab"};
    std::string current = "Office";
    bool canCopy = true;
    std::shared_ptr<testing_support::TDeviceLog> log =
        std::make_shared<testing_support::TDeviceLog>();
    std::vector<std::string> selections;

    std::vector<std::string> PrinterNames() override { return printers; }
    std::string CurrentPrinterName() override { return current; }
    void SelectPrinter(std::string_view name) override {
        current = name;
        selections.emplace_back(name);
    }
    std::int32_t DefaultPaperCode(std::string_view printer) override;
    std::shared_ptr<IKvrPrinterDevice> NewPrinterDevice() override;
    std::shared_ptr<IKvrPreviewDevice> NewPreviewDevice() override;
    std::shared_ptr<IKvrPdfDevice> NewPdfDevice() override;

    // The copies the printer was asked for, -1 when it was not.
    int RequestedCopies() const;
};

// Installs the service as the process's printing service while it lives; the Qt service is put
// back afterwards.
class TPrintingServiceScope {
public:
    explicit TPrintingServiceScope(std::shared_ptr<IKvrPrintingService> service);
    ~TPrintingServiceScope();
};

// The next modal window that is not the status window of an output goes to the action (see
// OnNextModal); status windows come and go on their own.
void ExpectModal(std::function<void(QWidget*)> action);

// Runs the action once the current event has been handled, so that a modal window the action
// opens does not hold up the test main's dialog watchdog.
void Later(std::function<void()> action);

// The next modal window is the save dialog: records its title, selected filter and folder, types
// the name into it and accepts. An empty name cancels it.
struct TSaveDialogSeen {
    bool shown = false;
    std::string title;
    std::string filter;
    std::string folder;
};
void AnswerSaveDialog(const std::string& fileName, TSaveDialogSeen* seen = nullptr);
// The next modal window is a message or question: records its text and presses the button with
// that caption ("Yes", "No", "OK"); an empty caption closes it.
void AnswerMessage(const std::string& button, std::string* text = nullptr);

// Types the text into a field as the user does: all selected, then replaced.
void TypeInto(QWidget* field, const std::string& text);

// poppler: the page count (-1 when the file is no PDF) and the text in layout order.
int PdfPageCount(const std::string& file);
std::string PdfInfo(const std::string& file);
std::string PdfText(const std::string& file);
int CountOf(const std::string& text, const std::string& part);

} // namespace marqor::test
