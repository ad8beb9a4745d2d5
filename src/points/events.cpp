#include "points/events.h"

#include "foundation/text.h"
#include "foundation/tokenizer.h"
#include "swimming/sw_language.h"

namespace marqor {

namespace {

constexpr std::string_view DefinitionText =
    "1;25;FREE;F,1;50;FREE;Y,1;100;FREE;Y,1;200;FREE;Y,1;300;FREE;F,1;400;FREE;Y,1;800;FREE;Y,"
    "1;1000;FREE;F,1;1500;FREE;Y,1;2000;FREE;F,1;3000;FREE;F,1;5000;FREE;F,"
    "1;25;BACK;F,1;50;BACK;Y,1;100;BACK;Y,1;200;BACK;Y,1;25;BREAST;F,1;50;BREAST;Y,"
    "1;100;BREAST;Y,1;200;BREAST;Y,1;25;FLY;F,1;50;FLY;Y,1;100;FLY;Y,1;200;FLY;Y,"
    "1;100;MEDLEY;Y,1;200;MEDLEY;Y,1;400;MEDLEY;Y,"
    "4;50;FREE;Y,4;100;FREE;Y,4;200;FREE;Y,5;50;FREE;N,6;50;FREE;N,8;50;FREE;N,10;50;FREE;N,"
    "10;100;FREE;N,"
    "4;25;BACK;N,4;50;BACK;N,4;100;BACK;N,4;25;BREAST;N,4;50;BREAST;N,4;100;BREAST;N,"
    "4;25;FLY;N,4;50;FLY;N,4;100;FLY;N,4;50;MEDLEY;Y,4;100;MEDLEY;Y";

} // namespace

const std::vector<std::string>& EventDefinitions() {
    static const std::vector<std::string> definitions =
        Tokenize(DefinitionText, ",", false)->AsStringList()->Items();
    return definitions;
}

IBSSwSwimStylePtr MakeSwimStyle(std::string_view definition) {
    const auto items = Tokenize(definition, ";", false);
    return NewSwimStyle(StrToIntDef(items->Token(0), 0),
                        SwLanguage().StrokeFromText(items->Token(2)),
                        StrToIntDef(items->Token(1), 0));
}

bool IsFinaEvent(std::string_view definition) {
    return !definition.empty() && definition.back() == 'Y';
}

std::string EventText(const IBSSwSwimStyle& style) {
    const std::string stroke = SwLanguage().StrokeName(style.Stroke());
    if (style.IsRelay())
        return Format("%d x %d %s", style.RelayCount(), style.Distance(), stroke.c_str());
    return Format("%d %s", style.Distance(), stroke.c_str());
}

} // namespace marqor
