#include "services/log.h"

#include "foundation/date_time.h"
#include "foundation/text.h"

#include <cstdio>
#include <mutex>
#include <utility>

namespace marqor {

namespace {

std::mutex& SinkMutex() {
    static std::mutex m;
    return m;
}

TBSLogSink& Sink() {
    static TBSLogSink sink;
    return sink;
}

void WriteToStandardError(std::string_view text) {
    const auto t = DecodeDateTimeParts(Now());
    const std::string line = Format("%02d.%02d.%04d %02d:%02d:%02d : ", t.Day, t.Month, t.Year,
                                    t.Hour, t.Minute, t.Second) +
                             std::string(text) + "\n";
    std::fwrite(line.data(), 1, line.size(), stderr);
    std::fflush(stderr);
}

} // namespace

void ServiceLog(std::string_view text) {
    TBSLogSink sink;
    {
        std::lock_guard lock(SinkMutex());
        sink = Sink();
    }
    try {
        if (sink)
            sink(text);
        else
            WriteToStandardError(text);
    } catch (...) {
        // The log reports trouble; trouble with the log itself has nowhere left to go.
    }
}

TBSLogSink SetServiceLogSink(TBSLogSink sink) {
    std::lock_guard lock(SinkMutex());
    return std::exchange(Sink(), std::move(sink));
}

} // namespace marqor
