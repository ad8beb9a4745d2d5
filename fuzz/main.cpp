// The libFuzzer entry of one harness; MARQOR_FUZZ_ENTRY names its function.

#include "targets/fuzz_targets.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    return marqor::fuzz::MARQOR_FUZZ_ENTRY(data, size);
}
