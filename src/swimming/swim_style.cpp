#include "swimming/swim_style.h"

#include "foundation/text.h"
#include "swimming/sw_language.h"

#include <algorithm>

namespace marqor {

TBSSwSwimStyle::TBSSwSwimStyle(int relayCount, TBSSwStroke stroke, int distance,
                               std::uint8_t technique, int uniqueId, std::string name,
                               std::string displayName)
    : distance_(distance), relayCount_(std::max(relayCount, 1)),
      stroke_(stroke <= strMedley ? stroke : strNone), technique_(technique), uniqueId_(uniqueId),
      name_(std::move(name)), displayName_(std::move(displayName)) {}

std::string TBSSwSwimStyle::Name() const {
    if (stroke_ == strNone)
        return name_.empty() ? Format("ID%d", uniqueId_) : name_;
    const std::string single = Format("%d %s", distance_, SwLanguage().StrokeCode(stroke_).c_str());
    return IsRelay() ? Format("%d x %s", relayCount_, single.c_str()) : single;
}

std::string TBSSwSwimStyle::DistanceText(TBSSwCourse course) const {
    const std::string single = Format("%d%s", distance_, course == sco25y ? "y" : "m");
    return IsRelay() ? Format("%d x %s", relayCount_, single.c_str()) : single;
}

bool TBSSwSwimStyle::Equals(const IBSSwSwimStyle* other) const {
    if (!other)
        return false;
    return other->RelayCount() == relayCount_ && other->Distance() == distance_ &&
           other->Stroke() == stroke_ && other->Technique() == technique_ &&
           (stroke_ != strNone || other->UniqueId() == uniqueId_);
}

std::string TBSSwSwimStyle::SortCode(std::uint8_t prefix) const {
    if (prefix == 0)
        return Format("X%.3d%d%.5d%.3d", relayCount_, int(stroke_), distance_, int(technique_));
    return Format("%d%.3d%d%.5d%.3d", int(prefix), relayCount_, int(stroke_), distance_,
                  int(technique_));
}

std::string TBSSwSwimStyle::StrokeName() const {
    return SwLanguage().StrokeName(stroke_);
}

std::string TBSSwSwimStyle::DisplayName(TBSSwCourse course) const {
    if (stroke_ == strNone)
        return displayName_;
    return DistanceText(course) + " " + SwLanguage().StrokeName(stroke_);
}

int TBSSwSwimStyle::TotalDistance() const {
    return IsRelay() ? relayCount_ * distance_ : distance_;
}

IBSSwSwimStylePtr NewSwimStyle(int relayCount, TBSSwStroke stroke, int distance) {
    return std::make_shared<TBSSwSwimStyle>(relayCount, stroke, distance);
}

IBSSwSwimStylePtr NewSwimStyleFromColumns(const IBSSwColumnRecord& record) {
    const int stroke = record.ReadInteger("STROKE");
    const int technique = record.ReadInteger("TECHNIQUE");
    return std::make_shared<TBSSwSwimStyle>(
        record.ReadInteger("RELAYCOUNT"),
        stroke >= strNone && stroke <= strMedley ? TBSSwStroke(stroke) : strNone,
        record.ReadInteger("DISTANCE"),
        technique >= 0 && technique <= 255 ? std::uint8_t(technique) : std::uint8_t(0),
        record.ReadInteger("UNIQUEID"));
}

IBSSwSwimStylePtr NewSwimStyleWithId(int uniqueId, std::string name, std::string displayName) {
    return std::make_shared<TBSSwSwimStyle>(1, strNone, 0, 0, uniqueId, std::move(name),
                                            std::move(displayName));
}

std::string EventKey(const IBSSwSwimStyle& style) {
    if (style.Stroke() == strNone)
        return Format("ID_%d", style.UniqueId());
    return Format("%d_%d_%d", style.IsRelay() ? style.RelayCount() : 1, style.Distance(),
                  int(style.Stroke()));
}

} // namespace marqor
