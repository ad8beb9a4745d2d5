#include "fuzz_support.h"
#include "fuzz_targets.h"

#include "foundation/containers.h"
#include "texts/kvr_language.h"
#include "texts/language.h"

#include <mutex>
#include <vector>

namespace marqor::fuzz {

namespace {

// A product that offers English and German, both with the lines of the input.
class TFuzzLanguage final : public TBSLanguage {
public:
    explicit TFuzzLanguage(std::vector<std::string> lines) : lines_(std::move(lines)) {}
    TBSLanguages AvailableLanguages() const override { return {2, LanguageEnglish}; }
    IBSStringListPtr LoadLanguageLines(TBSLanguageId) override { return NewStringListFrom(lines_); }

private:
    std::vector<std::string> lines_;
};

std::vector<std::string> SplitLines(std::string_view text) {
    std::vector<std::string> lines;
    while (!text.empty()) {
        auto end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (line.ends_with('\r'))
            line.remove_suffix(1);
        lines.emplace_back(line);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    }
    return lines;
}

void CheckText(const std::string& reference, const std::string& text) {
    if (!reference.starts_with('#') || reference.find('.') == std::string::npos)
        MARQOR_FUZZ_CHECK(text == reference, "\"" + reference + "\" changed to \"" + text + "\"");
}

} // namespace

// Input: a byte of item index, a line of references separated by "|", then the lines of the
// language data.
int FuzzLanguage(const std::uint8_t* data, std::size_t size) {
    Prepare();
    ByteReader in(data, size);
    const int index = static_cast<int>(in.Byte() % 8) - 2;
    std::vector<std::string> references;
    for (std::string_view line = in.Until('\n'); !line.empty();) {
        const auto bar = line.find('|');
        references.emplace_back(line.substr(0, bar));
        line.remove_prefix(bar == std::string_view::npos ? line.size() : bar + 1);
    }
    const std::vector<std::string> lines = SplitLines(in.Rest());
    TBSLanguageData parsed(*NewStringListFrom(lines));
    for (const auto& name : parsed.SectionNames()) {
        const std::string_view bare = std::string_view(name).substr(name.find('.') + 1);
        parsed.DataSection(bare);
        parsed.FormSection(bare);
    }

    TFuzzLanguage language(lines);
    for (const auto& reference : references) {
        CheckText(reference, language.Text(reference, index));
        CheckText(reference, LanguageText(reference, index)); // the built-in texts
        const auto dot = reference.find('.');
        const std::string section =
            reference.substr(reference.starts_with('#') ? 1 : 0, dot == std::string::npos
                                                                     ? std::string::npos
                                                                     : dot - 1);
        language.DataSection(section);
        language.FormSection(section);
    }
    language.GetFormatSettings();
    language.LanguageName(LanguageEnglish);
    language.HorizontalAlignmentNames();
    return 0;
}

} // namespace marqor::fuzz
