#include "reports/report_device.h"

#include <mutex>
#include <stdexcept>

namespace marqor {
namespace {

// The service of a process without a printing system: no printer, no devices.
class TNoPrintingService final : public IKvrPrintingService {
public:
    std::vector<std::string> PrinterNames() override { return {}; }
    std::string CurrentPrinterName() override { return {}; }
    void SelectPrinter(std::string_view) override {}
    std::int32_t DefaultPaperCode(std::string_view) override { return 0; }
    std::shared_ptr<IKvrPrinterDevice> NewPrinterDevice() override { Refuse("printer"); }
    std::shared_ptr<IKvrPreviewDevice> NewPreviewDevice() override { Refuse("preview"); }
    std::shared_ptr<IKvrPdfDevice> NewPdfDevice() override { Refuse("PDF"); }

private:
    [[noreturn]] static void Refuse(const char* what) {
        throw std::logic_error(std::string("No ") + what +
                               " device: no printing service is installed");
    }
};

std::mutex& ServiceLock() {
    static std::mutex lock;
    return lock;
}

IKvrPrintingServicePtr& Service() {
    static IKvrPrintingServicePtr service = std::make_shared<TNoPrintingService>();
    return service;
}

} // namespace

IKvrPrintingServicePtr ReportPrintingService() {
    std::lock_guard guard(ServiceLock());
    return Service();
}

void SetReportPrintingService(IKvrPrintingServicePtr service) {
    std::lock_guard guard(ServiceLock());
    Service() = service ? std::move(service) : std::make_shared<TNoPrintingService>();
}

} // namespace marqor
