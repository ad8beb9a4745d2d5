#include "foundation/tokenizer.h"

#include "foundation/text.h"

#include <bitset>
#include <cwctype>

namespace marqor {

namespace {

bool IsWordBreak(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0x9F) || c == U' ' || c == 0xA0 || c == 0x1680 ||
           (c >= 0x2000 && c <= 0x200A) || c == 0x2028 || c == 0x2029 || c == 0x202F ||
           c == 0x205F || c == 0x3000 || c == U'\t';
}

class TBSTokenizer final : public IBSTokenizer {
public:
    explicit TBSTokenizer(IBSStringListPtr tokens) : tokens_(std::move(tokens)) {}

    int Count() const override { return tokens_->Count(); }
    std::string Token(int index) const override {
        if (index < 0 || index >= tokens_->Count())
            return "";
        return tokens_->Item(index);
    }
    IBSIntegerListPtr AsIntegerList() const override {
        auto list = NewIntegerList();
        for (const auto& t : tokens_->Items())
            if (const auto v = ParseInt(t))
                list->Add(*v);
        return list;
    }
    IBSStringListPtr AsStringList() const override { return tokens_; }
    void CapitaliseAll() override {
        for (int i = 0; i < tokens_->Count(); ++i)
            tokens_->Put(i, CapitaliseWords(tokens_->Item(i)));
    }
    void Unquote() override {
        for (int i = 0; i < tokens_->Count(); ++i) {
            const auto& t = tokens_->Item(i);
            if (!t.empty() && (t.front() == '"' || t.front() == '\''))
                tokens_->Put(i, t.size() >= 2 ? t.substr(1, t.size() - 2) : std::string());
        }
    }
    void TrimAll() override {
        for (int i = 0; i < tokens_->Count(); ++i)
            tokens_->Put(i, Trim(tokens_->Item(i)));
    }

private:
    IBSStringListPtr tokens_;
};

} // namespace

IBSTokenizerPtr Tokenize(std::string_view text, std::string_view separators, bool skipEmpty) {
    std::bitset<256> set;
    for (char32_t c : Utf8ToCodePoints(separators))
        set.set(c & 0xFF);

    std::vector<std::string> tokens;
    std::size_t start = 0;
    std::size_t i = 0;
    auto emit = [&](std::size_t end) {
        if (!skipEmpty || end > start)
            tokens.emplace_back(text.substr(start, end - start));
    };
    while (i < text.size()) {
        char32_t cp;
        const std::size_t len = Utf8Next(text, i, cp);
        if (cp < 256 && set.test(cp)) {
            emit(i);
            start = i + len;
        }
        i += len;
    }
    if (!text.empty())
        emit(text.size());
    return std::make_shared<TBSTokenizer>(NewStringListFrom(tokens));
}

IBSTokenizerPtr TokenizeSemicolons(std::string_view text) {
    return Tokenize(text, ";", false);
}

std::string CapitaliseWords(std::string_view text) {
    std::u32string cps = Utf8ToCodePoints(UnicodeLower(text));
    bool atStart = true;
    for (auto& c : cps) {
        if (atStart)
            c = UnicodeUpper(c);
        atStart = IsWordBreak(c);
    }
    return CodePointsToUtf8(cps);
}

} // namespace marqor
