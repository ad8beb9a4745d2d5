#include "reports/application_hooks.h"

#include "reports/report_hooks.h"
#include "services/config.h"
#include "services/log.h"

namespace marqor {

void UseApplicationReportHooks() {
    TBSApplication& application = ApplicationObject();
    TKvrReportHooks hooks = ReportHooks();
    hooks.ApplicationTitle = application.ProductTitle();
    hooks.ProductName = application.Version().ProductName;
    hooks.Log = [](std::string_view line) {
        ServiceLog(line);
    };
    SetReportHooks(std::move(hooks));
}

} // namespace marqor
