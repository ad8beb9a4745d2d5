#pragma once

// The point table printout: for one point table, course, gender and age, the time that earns
// each number of points in a range, for the 18 standard individual events or the 10 standard
// relays. Each row is one points value (highest first), each column one event, the points at
// both ends of the row. The print window and the command line both drive a report through this
// class, so every output (printer, preview, PDF, HTML) comes from the same three handlers.
//
//     TBSSwPointTablePrintout printout(PointTables().GetPointTable(3004), sco50m, sgeMen, 99);
//     printout.SetRange(800, 1100);
//     TKvrReport report;
//     printout.AttachTo(report);
//     report.HtmlFileName = "points.htm";
//     report.PrintToHtml(nullptr);

#include "foundation/settings.h"
#include "points/point_table.h"
#include "reports/report.h"
#include "swimming/swim_style.h"
#include "swimming/types.h"

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace marqor {

// The item indices of the window's choice "Individual events" / "Relay events".
enum TPointTableMode : std::uint8_t { ptmIndividual = 0, ptmRelays = 1 };

// The range and mode a printout is made for, as the window's fields hold them.
struct TPointTablePrintOptions {
    static constexpr int LowestPoints = 1;
    static constexpr int HighestPoints = 1100;

    int PointsMin = 800;
    int PointsMax = 1100;
    TPointTableMode Mode = ptmIndividual;

    friend bool operator==(const TPointTablePrintOptions&,
                           const TPointTablePrintOptions&) = default;
};

// A points value as the window's fields read it: within 1 .. 1100.
int ClampPrintPoints(int points);

// The user settings section of the print window, named after its class.
inline constexpr std::string_view PointTablePrintSection = "TFPrintPointTable";

// "EPointsMin" (default 800), "EPointsMax" (default 1100), both clamped to 1 .. 1100, and
// "CBRelay" (default 0; 1 means relays, any other value individual events).
TPointTablePrintOptions LoadPointTablePrintOptions(const IBSSection& section);
void StorePointTablePrintOptions(IBSSection& section, const TPointTablePrintOptions& options);
// The same over the section "TFPrintPointTable" of the user settings (UserSettings()).
TPointTablePrintOptions LoadPointTablePrintOptions();
void StorePointTablePrintOptions(const TPointTablePrintOptions& options);

// One column of the table: an event, and for relays the gender it is swum by.
struct TPointTableEvent {
    int RelayCount;
    int Distance;
    TBSSwStroke Stroke;
    TBSSwGender Gender; // sgeNone: the printout's gender
};

class TBSSwPointTablePrintout {
public:
    // The 18 individual events and the 10 relays (five for men, then the same five for women),
    // in column order.
    static const std::vector<TPointTableEvent>& IndividualEvents();
    static const std::vector<TPointTableEvent>& RelayEvents();
    // "C41;" + 18 x "C51;" + "C41" and "C50;" + 10 x "C90;" + "C50": points, events, points.
    static const std::string& IndividualLayout();
    static const std::string& RelayLayout();
    static constexpr std::string_view Remark =
        "For times not printed in the table use the next slower time in the list.";

    // The age 99 means no age. The table must not be null.
    TBSSwPointTablePrintout(IBSSwPointsPtr table, TBSSwCourse course, TBSSwGender gender, int age);

    const IBSSwPoints& Table() const { return *table_; }
    TBSSwCourse Course() const { return course_; }
    TBSSwGender Gender() const { return gender_; }
    int Age() const { return age_; }

    // Each value is clamped to 1 .. 1100; a maximum below the minimum stays so (no rows).
    void SetRange(int pointsMin, int pointsMax);
    void SetMode(TPointTableMode mode) { options_.Mode = mode; }
    void SetOptions(const TPointTablePrintOptions& options);
    const TPointTablePrintOptions& Options() const { return options_; }
    int PointsMin() const { return options_.PointsMin; }
    int PointsMax() const { return options_.PointsMax; }
    TPointTableMode Mode() const { return options_.Mode; }

    // Where ReportInitReport stores range and mode at the start of every output; the print
    // window passes its section of the user settings. Null (the default): nothing is stored.
    void SetSettingsSection(IBSSectionPtr section) { section_ = std::move(section); }

    // Assigns the three handlers to the report's events; the printout must outlive the
    // report's outputs.
    void AttachTo(TKvrReport& report);

    // Stores range and mode; landscape, 10 mm margins and a base font of 70 %; title lines,
    // the same lines on the left of the page header and the remark below the page line.
    void ReportInitReport(TKvrReport& Report);
    // The column titles of every page and newspaper column, then a double rule.
    void ReportPageHead(TKvrReport& Report);
    // The rows from the maximum down to the minimum, a single rule after every fifth.
    void ReportOneExemplar(TKvrReport& Report);

    // The table's name and version.
    std::string TitleLine1() const;
    // "Men, Long Course (50m), 12 years"; relays begin with "Relays"; age 99 is left out.
    std::string TitleLine2() const;
    // The events of the current mode and their column titles ("100 Fr", "M 4x50 Fr").
    const std::vector<TPointTableEvent>& Events() const;
    std::string EventTitle(const TPointTableEvent& event) const;

private:
    void TableLayout(TKvrReport& report) const;
    const std::vector<IBSSwSwimStylePtr>& Styles() const;

    IBSSwPointsPtr table_;
    TBSSwCourse course_;
    TBSSwGender gender_;
    int age_;
    TPointTablePrintOptions options_;
    IBSSectionPtr section_;
    std::vector<IBSSwSwimStylePtr> individualStyles_;
    std::vector<IBSSwSwimStylePtr> relayStyles_;
};

} // namespace marqor
