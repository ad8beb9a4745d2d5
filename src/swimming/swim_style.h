#pragma once

// A swim style is an event: how many swimmers, how far each swims, which stroke. It names
// itself in several text forms and gives the event key under which point tables keep their
// base times.

#include "swimming/types.h"

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

namespace marqor {

class IBSSwSwimStyle;
using IBSSwSwimStylePtr = std::shared_ptr<IBSSwSwimStyle>;

// Relay counts 2 .. 254 are relays; 255 is reserved and is no relay.
inline constexpr int ReservedRelayCount = 255;

class IBSSwSwimStyle {
public:
    virtual ~IBSSwSwimStyle() = default;

    // "50 Fr", "4 x 100 Me"; without a stroke the stored name or "ID" and the unique id.
    virtual std::string Name() const = 0;
    virtual int Distance() const = 0;
    // "100m", "500y" (yards in a 25 yard pool), "4 x 100m".
    virtual std::string DistanceText(TBSSwCourse course) const = 0;
    virtual bool HasReservedRelayCount() const = 0;
    virtual bool IsRelay() const = 0;
    // Equal relay count, distance, stroke and technique, and without a stroke equal unique id;
    // false for no style.
    virtual bool Equals(const IBSSwSwimStyle* other) const = 0;
    virtual int RelayCount() const = 0;
    // "X004500100000" for the 4 x 100 m medley with prefix 0; another prefix leads instead of X.
    virtual std::string SortCode(std::uint8_t prefix) const = 0;
    virtual TBSSwStroke Stroke() const = 0;
    virtual std::string StrokeName() const = 0;
    virtual std::uint8_t Technique() const = 0;
    // "100m Freestyle", "4 x 100m Medley"; without a stroke the stored display name.
    virtual std::string DisplayName(TBSSwCourse course) const = 0;
    virtual int TotalDistance() const = 0;
    virtual int UniqueId() const = 0;
};

// A row of named integer columns, as the point table reader hands it over.
class IBSSwColumnRecord {
public:
    virtual ~IBSSwColumnRecord() = default;
    // The column's value; 0 when the record has no such column or it holds no integer.
    virtual std::int32_t ReadInteger(std::string_view column) const = 0;
};

class TBSSwSwimStyle final : public IBSSwSwimStyle {
public:
    // A relay count below 1 becomes 1.
    TBSSwSwimStyle(int relayCount, TBSSwStroke stroke, int distance, std::uint8_t technique = 0,
                   int uniqueId = 0, std::string name = "", std::string displayName = "");

    std::string Name() const override;
    int Distance() const override { return distance_; }
    std::string DistanceText(TBSSwCourse course) const override;
    bool HasReservedRelayCount() const override { return relayCount_ == ReservedRelayCount; }
    bool IsRelay() const override { return relayCount_ >= 2 && relayCount_ <= 254; }
    bool Equals(const IBSSwSwimStyle* other) const override;
    int RelayCount() const override { return relayCount_; }
    std::string SortCode(std::uint8_t prefix) const override;
    TBSSwStroke Stroke() const override { return stroke_; }
    std::string StrokeName() const override;
    std::uint8_t Technique() const override { return technique_; }
    std::string DisplayName(TBSSwCourse course) const override;
    int TotalDistance() const override;
    int UniqueId() const override { return uniqueId_; }

private:
    int distance_;
    int relayCount_;
    TBSSwStroke stroke_;
    std::uint8_t technique_;
    int uniqueId_;
    std::string name_;        // used only without a stroke
    std::string displayName_; // used only without a stroke
};

// From values; technique and unique id 0, no stored names.
IBSSwSwimStylePtr NewSwimStyle(int relayCount, TBSSwStroke stroke, int distance);
// From the columns DISTANCE, RELAYCOUNT, STROKE, TECHNIQUE and UNIQUEID; a stroke number
// outside the strokes reads as strNone.
IBSSwSwimStylePtr NewSwimStyleFromColumns(const IBSSwColumnRecord& record);
// An event known only by its unique id (no stroke), with optional stored names.
IBSSwSwimStylePtr NewSwimStyleWithId(int uniqueId, std::string name = "",
                                     std::string displayName = "");

// The key under which point tables keep the event's base times: "%d_%d_%d" of relay count (1
// unless a relay), distance and stroke number, or "ID_%d" of the unique id without a stroke.
std::string EventKey(const IBSSwSwimStyle& style);

} // namespace marqor
