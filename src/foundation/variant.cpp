#include "foundation/variant.h"

#include "foundation/settings.h"

#include "foundation/text.h"

namespace marqor {

namespace {

constexpr char kLetters[] = " BYDFIMSU";
const char* const kNames[] = {"",        "BOOLEAN", "BINARY", "DATETIME", "FLOAT",
                              "INTEGER", "MEMO",    "STRING", "UNDEFINED"};


class TBSWritableVariant final : public IBSWritableVariant {
public:
    TBSVariantKind Kind() const override { return kind_; }
    const std::string& Text() const override { return text_; }
    void Set(TBSVariantKind kind, std::string text) override {
        kind_ = kind;
        text_ = std::move(text);
    }

private:
    TBSVariantKind kind_ = vkEmpty;
    std::string text_;
};

} // namespace

char VariantKindLetter(TBSVariantKind kind) {
    return kind <= vkUndefined ? kLetters[kind] : 'U';
}

std::string VariantKindName(TBSVariantKind kind) {
    return kind <= vkUndefined ? kNames[kind] : kNames[vkUndefined];
}

bool IBSVariant::AsBoolean(bool fallback) const {
    const std::string_view t = TrimView(Text());
    if (SameText(t, "True"))
        return true;
    if (SameText(t, "False"))
        return false;
    if (const auto v = ParseInt(t))
        return *v != 0;
    return fallback;
}

std::int32_t IBSVariant::AsInteger(std::int32_t fallback) const {
    return StrToIntDef(TrimView(Text()), fallback);
}

double IBSVariant::AsFloat(double fallback) const {
    return ParseFloat(Text()).value_or(fallback);
}

TDateTime IBSVariant::AsDateTime(TDateTime fallback) const {
    return StampTextToDateTime(Text()).value_or(fallback);
}

std::string IBSVariant::AsBytes() const {
    return EncodeUtf16LE(Text());
}

std::string IBSVariant::SerialText() const {
    std::string out(1, VariantKindLetter(Kind()));
    out += ';';
    out += Kind() == vkMemo ? EscapeSettingText(Text()) : Text();
    return out;
}

void IBSWritableVariant::SetBoolean(bool value) {
    Set(vkBoolean, value ? "True" : "False");
}

void IBSWritableVariant::SetBytes(std::string_view bytes) {
    std::string le = "\xFF\xFE";
    le += bytes;
    Set(vkBytes, DecodeTextBytes(le));
}

void IBSWritableVariant::SetDateTime(TDateTime value) {
    Set(vkDateTime, DateTimeToStampText(value));
}

void IBSWritableVariant::SetFloat(double value) {
    Set(vkFloat, FloatToText(value));
}

void IBSWritableVariant::SetInteger(std::int32_t value) {
    Set(vkInteger, std::to_string(value));
}

void IBSWritableVariant::SetMemo(std::string text) {
    Set(vkMemo, std::move(text));
}

void IBSWritableVariant::SetString(std::string text) {
    Set(vkString, std::move(text));
}

void IBSWritableVariant::SetSerialText(std::string_view serial) {
    if (serial.empty()) {
        Clear();
        return;
    }
    TBSVariantKind kind = vkUndefined;
    for (int k = vkEmpty; k <= vkUndefined; ++k)
        if (serial.front() == kLetters[k])
            kind = static_cast<TBSVariantKind>(k);
    const std::string_view text = serial.size() > 2 ? serial.substr(2) : std::string_view();
    Set(kind, kind == vkMemo ? UnescapeSettingText(text) : std::string(text));
}

IBSWritableVariantPtr NewVariant(std::string_view serial) {
    auto v = std::make_shared<TBSWritableVariant>();
    v->SetSerialText(serial);
    return v;
}

} // namespace marqor
