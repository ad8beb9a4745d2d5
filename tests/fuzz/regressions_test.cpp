// Every input under fuzz/regressions/<harness>/ once made its harness fail (a crash, a
// sanitizer report or a broken property); every starting input under fuzz/corpus/<harness>/ is a valid
// input. Both run here through the same entry function as in the fuzzer.

#include "targets/fuzz_support.h"
#include "targets/fuzz_targets.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

namespace marqor::fuzz {
namespace {

namespace fs = std::filesystem;

std::vector<fs::path> InputsIn(const fs::path& directory) {
    std::vector<fs::path> files;
    if (fs::is_directory(directory))
        for (const auto& entry : fs::directory_iterator(directory))
            if (entry.is_regular_file())
                files.push_back(entry.path());
    std::sort(files.begin(), files.end());
    return files;
}

std::string Bytes(const fs::path& file) {
    std::ifstream in(file, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

} // namespace

void PrintTo(const Harness& harness, std::ostream* os) {
    *os << harness.name;
}

namespace {

class FuzzInputs : public testing::TestWithParam<Harness> {
protected:
    static void Replay(const Harness& harness, const std::vector<fs::path>& files) {
        for (const auto& file : files) {
            SCOPED_TRACE(file.string());
            const std::string bytes = Bytes(file);
            try {
                harness.entry(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
            } catch (const PropertyViolation& violation) {
                ADD_FAILURE() << violation.message;
            } catch (const std::exception& error) {
                ADD_FAILURE() << "escaped: " << error.what();
            }
        }
    }
};

TEST_P(FuzzInputs, KeptRegressionInputsPass) {
    Replay(GetParam(), InputsIn(fs::path(MARQOR_SOURCE_DIR) / "fuzz/regressions" / GetParam().name));
}

TEST_P(FuzzInputs, StartingInputsPassAndExist) {
    const auto inputs = InputsIn(fs::path(MARQOR_SOURCE_DIR) / "fuzz/corpus" / GetParam().name);
    EXPECT_FALSE(inputs.empty()) << "a harness without starting inputs";
    Replay(GetParam(), inputs);
}

INSTANTIATE_TEST_SUITE_P(Harnesses, FuzzInputs, testing::ValuesIn(Harnesses()),
                         [](const testing::TestParamInfo<Harness>& info) {
                             return std::string(info.param.name);
                         });

} // namespace
} // namespace marqor::fuzz
