#include "print_test_support.h"

#include "../controls/gui_test_support.h"
#include "report_dialogs/status_dialog.h"
#include "reports_qt/canvas_devices.h"
#include "ui_qt/message_dialog.h"

#include <QAbstractButton>
#include <QDialog>
#include <QFileDialog>
#include <QLabel>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>
#include <array>
#include <cstdio>
#include <gtest/gtest.h>

namespace marqor::test {

std::int32_t TTestPrintingService::DefaultPaperCode(std::string_view printer) {
    for (const auto& name : printers)
        if (name == printer)
            return 9; // A4
    return 0;
}

std::shared_ptr<IKvrPrinterDevice> TTestPrintingService::NewPrinterDevice() {
    return std::make_shared<testing_support::TRecordingPrinter>(log, canCopy);
}

std::shared_ptr<IKvrPreviewDevice> TTestPrintingService::NewPreviewDevice() {
    return std::make_shared<TKvrPreviewDevice>();
}

std::shared_ptr<IKvrPdfDevice> TTestPrintingService::NewPdfDevice() {
    return TKvrQtPrintingService().NewPdfDevice();
}

int TTestPrintingService::RequestedCopies() const {
    for (const auto& call : log->calls)
        if (call.Op == "copies")
            return call.X;
    return -1;
}

TPrintingServiceScope::TPrintingServiceScope(std::shared_ptr<IKvrPrintingService> service) {
    SetReportPrintingService(std::move(service));
}

TPrintingServiceScope::~TPrintingServiceScope() {
    UseQtReportDevices();
}

void ExpectModal(std::function<void(QWidget*)> action) {
    OnNextModal([action](QWidget* window) {
        if (qobject_cast<TKvrStatusDlg*>(window)) {
            ExpectModal(action);
            return;
        }
        action(window);
    });
}

void Later(std::function<void()> action) {
    QTimer::singleShot(0, qApp, std::move(action));
}

void AnswerSaveDialog(const std::string& fileName, TSaveDialogSeen* seen) {
    ExpectModal([fileName, seen](QWidget* window) {
        auto* dialog = qobject_cast<QFileDialog*>(window);
        ASSERT_NE(dialog, nullptr) << window->metaObject()->className();
        if (seen) {
            seen->shown = true;
            seen->title = dialog->windowTitle().toStdString();
            seen->filter = dialog->selectedNameFilter().toStdString();
            seen->folder = dialog->directory().absolutePath().toStdString();
        }
        if (fileName.empty()) {
            dialog->reject();
            return;
        }
        auto* edit = dialog->findChild<QLineEdit*>("fileNameEdit");
        ASSERT_NE(edit, nullptr);
        edit->setText(QString::fromStdString(fileName));
        QTest::keyClick(edit, Qt::Key_Return);
    });
}

void AnswerMessage(const std::string& button, std::string* text) {
    ExpectModal([button, text](QWidget* window) {
        if (auto* box = qobject_cast<QMessageBox*>(window)) {
            if (text)
                *text = box->text().toStdString();
        } else if (auto* message = qobject_cast<TFBSUIMultiSelectDlg*>(window)) {
            if (text)
                *text = message->LText->text().toStdString();
        } else {
            ADD_FAILURE() << "not a message: " << window->metaObject()->className();
        }
        if (!button.empty())
            for (auto* candidate : window->findChildren<QAbstractButton*>())
                if (candidate->text().remove('&').toStdString() == button) {
                    candidate->click();
                    return;
                }
        if (auto* dialog = qobject_cast<QDialog*>(window))
            dialog->reject();
        else
            window->close();
    });
}

void TypeInto(QWidget* field, const std::string& text) {
    field->setFocus();
    QTest::keyClick(field, Qt::Key_A, Qt::ControlModifier);
    QTest::keyClicks(field, QString::fromStdString(text));
}

namespace {

std::string Run(const std::string& command) {
    std::string output;
    if (FILE* pipe = popen(command.c_str(), "r")) {
        std::array<char, 4096> buffer{};
        size_t n;
        while ((n = fread(buffer.data(), 1, buffer.size(), pipe)) > 0)
            output.append(buffer.data(), n);
        pclose(pipe);
    }
    return output;
}

std::string Quoted(const std::string& file) {
    std::string quoted = "'";
    for (char c : file)
        quoted += c == '\'' ? std::string("'\\''") : std::string(1, c);
    return quoted + "'";
}

} // namespace

std::string PdfInfo(const std::string& file) {
    return Run("pdfinfo " + Quoted(file) + " 2>/dev/null");
}

int PdfPageCount(const std::string& file) {
    const std::string info = PdfInfo(file);
    const auto at = info.find("Pages:");
    if (at == std::string::npos)
        return -1;
    return std::atoi(info.c_str() + at + 6);
}

std::string PdfText(const std::string& file) {
    return Run("pdftotext -layout " + Quoted(file) + " - 2>/dev/null");
}

int CountOf(const std::string& text, const std::string& part) {
    int count = 0;
    for (auto at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++count;
    return count;
}

} // namespace marqor::test
