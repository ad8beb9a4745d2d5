#include "reports/point_table_printout.h"

#include "foundation/text.h"
#include "swimming/sw_language.h"
#include "swimming/swim_time.h"

#include <algorithm>
#include <stdexcept>

namespace marqor {
namespace {

constexpr std::string_view KeyPointsMin = "EPointsMin";
constexpr std::string_view KeyPointsMax = "EPointsMax";
constexpr std::string_view KeyRelay = "CBRelay";

std::string Layout(int outer, int inner, int count) {
    const std::string outerField = Format("C%d", outer);
    const std::string innerField = Format("C%d;", inner);
    std::string definition = outerField;
    definition += ';';
    for (int i = 0; i < count; ++i)
        definition += innerField;
    definition += outerField;
    return definition;
}

std::vector<IBSSwSwimStylePtr> StylesOf(const std::vector<TPointTableEvent>& events) {
    std::vector<IBSSwSwimStylePtr> styles;
    styles.reserve(events.size());
    for (const auto& e : events)
        styles.push_back(NewSwimStyle(e.RelayCount, e.Stroke, e.Distance));
    return styles;
}

} // namespace

int ClampPrintPoints(int points) {
    return std::clamp(points, TPointTablePrintOptions::LowestPoints,
                      TPointTablePrintOptions::HighestPoints);
}

TPointTablePrintOptions LoadPointTablePrintOptions(const IBSSection& section) {
    TPointTablePrintOptions options;
    options.PointsMin = ClampPrintPoints(section.ReadInteger(KeyPointsMin, options.PointsMin));
    options.PointsMax = ClampPrintPoints(section.ReadInteger(KeyPointsMax, options.PointsMax));
    options.Mode =
        section.ReadInteger(KeyRelay, ptmIndividual) == ptmRelays ? ptmRelays : ptmIndividual;
    return options;
}

void StorePointTablePrintOptions(IBSSection& section, const TPointTablePrintOptions& options) {
    section.WriteInteger(KeyPointsMin, options.PointsMin);
    section.WriteInteger(KeyPointsMax, options.PointsMax);
    section.WriteInteger(KeyRelay, options.Mode);
}

TPointTablePrintOptions LoadPointTablePrintOptions() {
    return LoadPointTablePrintOptions(*UserSettings()->GetSection(PointTablePrintSection));
}

void StorePointTablePrintOptions(const TPointTablePrintOptions& options) {
    StorePointTablePrintOptions(*UserSettings()->GetSection(PointTablePrintSection), options);
}

// ---------------------------------------------------------------------------------------------

const std::vector<TPointTableEvent>& TBSSwPointTablePrintout::IndividualEvents() {
    static const std::vector<TPointTableEvent> events = [] {
        std::vector<TPointTableEvent> e;
        for (int d : {50, 100, 200, 400, 800, 1500})
            e.push_back({1, d, strFreestyle, sgeNone});
        for (TBSSwStroke s : {strBackstroke, strBreaststroke, strFly})
            for (int d : {50, 100, 200})
                e.push_back({1, d, s, sgeNone});
        for (int d : {100, 200, 400})
            e.push_back({1, d, strMedley, sgeNone});
        return e;
    }();
    return events;
}

const std::vector<TPointTableEvent>& TBSSwPointTablePrintout::RelayEvents() {
    static const std::vector<TPointTableEvent> events = [] {
        std::vector<TPointTableEvent> e;
        for (TBSSwGender g : {sgeMen, sgeWomen}) {
            e.push_back({4, 50, strFreestyle, g});
            e.push_back({4, 100, strFreestyle, g});
            e.push_back({4, 200, strFreestyle, g});
            e.push_back({4, 50, strMedley, g});
            e.push_back({4, 100, strMedley, g});
        }
        return e;
    }();
    return events;
}

const std::string& TBSSwPointTablePrintout::IndividualLayout() {
    static const std::string definition = Layout(41, 51, 18);
    return definition;
}

const std::string& TBSSwPointTablePrintout::RelayLayout() {
    static const std::string definition = Layout(50, 90, 10);
    return definition;
}

TBSSwPointTablePrintout::TBSSwPointTablePrintout(IBSSwPointsPtr table, TBSSwCourse course,
                                                 TBSSwGender gender, int age)
    : table_(std::move(table)), course_(course), gender_(gender), age_(age),
      individualStyles_(StylesOf(IndividualEvents())), relayStyles_(StylesOf(RelayEvents())) {
    if (!table_)
        throw std::invalid_argument("A point table printout needs a point table");
}

void TBSSwPointTablePrintout::SetRange(int pointsMin, int pointsMax) {
    options_.PointsMin = ClampPrintPoints(pointsMin);
    options_.PointsMax = ClampPrintPoints(pointsMax);
}

void TBSSwPointTablePrintout::SetOptions(const TPointTablePrintOptions& options) {
    SetRange(options.PointsMin, options.PointsMax);
    options_.Mode = options.Mode == ptmRelays ? ptmRelays : ptmIndividual;
}

void TBSSwPointTablePrintout::AttachTo(TKvrReport& report) {
    report.OnInitReport = [this](TKvrReport& r) {
        ReportInitReport(r);
    };
    report.OnPageHead = [this](TKvrReport& r) {
        ReportPageHead(r);
    };
    report.OnOneExemplar = [this](TKvrReport& r) {
        ReportOneExemplar(r);
    };
}

const std::vector<TPointTableEvent>& TBSSwPointTablePrintout::Events() const {
    return options_.Mode == ptmRelays ? RelayEvents() : IndividualEvents();
}

const std::vector<IBSSwSwimStylePtr>& TBSSwPointTablePrintout::Styles() const {
    return options_.Mode == ptmRelays ? relayStyles_ : individualStyles_;
}

std::string TBSSwPointTablePrintout::TitleLine1() const {
    return table_->Name() + " " + table_->Version();
}

std::string TBSSwPointTablePrintout::TitleLine2() const {
    std::vector<std::string> parts;
    parts.push_back(options_.Mode == ptmRelays ? std::string("Relays")
                                               : SwLanguage().GenderName(gender_));
    // Fixed English texts, as printed on every edition of the tables.
    parts.push_back(course_ == sco50m   ? "Long Course (50m)"
                    : course_ == sco25m ? "Short Course (25m)"
                                        : "");
    if (age_ != 99)
        parts.push_back(Format("%d years", age_));
    std::string line;
    for (const auto& part : parts)
        if (!part.empty())
            line += (line.empty() ? "" : ", ") + part;
    return line;
}

std::string TBSSwPointTablePrintout::EventTitle(const TPointTableEvent& event) const {
    TBSSwLanguage& vocabulary = SwLanguage();
    if (event.RelayCount > 1)
        return Format("%s 4x%d %s", vocabulary.GenderCode(event.Gender).c_str(), event.Distance,
                      vocabulary.StrokeCode(event.Stroke).c_str());
    return Format("%d %s", event.Distance, vocabulary.StrokeCode(event.Stroke).c_str());
}

void TBSSwPointTablePrintout::TableLayout(TKvrReport& report) const {
    report.SetFontSize(90);
    report.SetColumns(options_.Mode == ptmRelays ? RelayLayout() : IndividualLayout());
}

void TBSSwPointTablePrintout::ReportInitReport(TKvrReport& Report) {
    if (section_)
        StorePointTablePrintOptions(*section_, options_);
    Report.BaseFontPercent = 70;
    TKvrDocument& doc = Report.Document;
    doc.Orientation = orLandscape;
    doc.MarginLeft = doc.MarginRight = doc.MarginTop = doc.MarginBottom = 100;
    doc.TitleLines = {TitleLine1(), TitleLine2()};
    doc.HeaderLeft = doc.TitleLines;
    doc.HeaderRight.emplace_back(Remark);
}

void TBSSwPointTablePrintout::ReportPageHead(TKvrReport& Report) {
    TableLayout(Report);
    const auto& events = Events();
    Report.Cell(0, "Pt.");
    for (std::size_t i = 0; i < events.size(); ++i)
        Report.Cell(static_cast<int>(i) + 1, EventTitle(events[i]));
    Report.Cell(static_cast<int>(events.size()) + 1, "Pt.");
    Report.LineFeed(10);
    Report.HorizontalRule(-1);
}

void TBSSwPointTablePrintout::ReportOneExemplar(TKvrReport& Report) {
    Report.NewPage(1);
    TableLayout(Report);
    const int max = options_.PointsMax;
    const int min = options_.PointsMin;
    if (max < min)
        return;
    const auto& events = Events();
    const auto& styles = Styles();
    const int last = static_cast<int>(events.size()) + 1;
    // Rows run downwards, so the time of p + 1 points is the one the row above computed.
    std::vector<SwimTime> above(events.size(), 0);
    for (int p = max; p >= min; --p) {
        Report.CheckPageBreak(10);
        const std::string points = std::to_string(p);
        Report.Cell(0, points);
        for (std::size_t c = 0; c < events.size(); ++c) {
            const TBSSwGender gender = events[c].Gender == sgeNone ? gender_ : events[c].Gender;
            const SwimTime t1 = table_->TimeFromPoints(course_, *styles[c], gender, age_, 0, p);
            // No time earns exactly p points: a swimmer with t1 already gets p + 1.
            if (p < max && above[c] == t1)
                Report.Cell(static_cast<int>(c) + 1, "---");
            else
                Report.Cell(static_cast<int>(c) + 1, SwimTimeToText(t1, false));
            above[c] = t1;
        }
        Report.Cell(last, points);
        Report.LineFeed(10);
        if ((max - p) % 5 == 4)
            Report.HorizontalRule(3);
    }
}

} // namespace marqor
