#include "reports/report_hooks.h"

#include <cstdio>
#include <mutex>

namespace marqor {
namespace {

std::mutex& HooksLock() {
    static std::mutex lock;
    return lock;
}

TKvrReportHooks& Hooks() {
    static TKvrReportHooks hooks;
    return hooks;
}

} // namespace

const TKvrReportHooks& ReportHooks() {
    std::lock_guard guard(HooksLock());
    return Hooks();
}

void SetReportHooks(TKvrReportHooks hooks) {
    std::lock_guard guard(HooksLock());
    Hooks() = std::move(hooks);
}

void ReportLog(std::string_view line) {
    const auto& hooks = ReportHooks();
    if (hooks.Log)
        hooks.Log(line);
    else
        std::fprintf(stderr, "%.*s\n", int(line.size()), line.data());
}

void ReportStepProgress(std::string_view detail) {
    const auto& hooks = ReportHooks();
    if (hooks.StepProgress)
        hooks.StepProgress(detail);
}

TDateTime ReportNow() {
    const auto& hooks = ReportHooks();
    return hooks.Clock ? hooks.Clock() : Now();
}

} // namespace marqor
