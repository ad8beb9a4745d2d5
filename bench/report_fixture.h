#pragma once

// A report shaped like the full point table printout: 1100 rows, points 1100 down to 1, 20
// centred divisions (points, 18 events, points), a rule after every fifth row, header, column
// titles and a footer. The times are made up, so that only the report's own work is measured.

#include "reports/report.h"

#include <cstdio>
#include <string>

namespace marqor::bench {

inline void ConfigurePointTableLike(TKvrReport& report, int maxPoints = 1100, int minPoints = 1) {
    static const std::string definition = [] {
        std::string d = "C41;";
        for (int i = 0; i < 18; ++i)
            d += "C51;";
        return d + "C41";
    }();
    const auto layout = [](TKvrReport& r) {
        r.SetFontSize(90);
        r.SetColumns(definition);
    };
    report.Document.FooterLeft = {"Swim club"};
    report.Document.FooterRight = {"@DATE@ @TIME@"};
    report.OnInitReport = [](TKvrReport& r) {
        r.BaseFontPercent = 70;
        r.Document.Orientation = orLandscape;
        r.Document.MarginLeft = r.Document.MarginRight = 100;
        r.Document.MarginTop = r.Document.MarginBottom = 100;
        r.Document.TitleLines = {"FINA Point Scores 2011", "Men, Long Course (50m)"};
        r.Document.HeaderLeft = r.Document.TitleLines;
        r.Document.HeaderRight.push_back(
            "For times not printed in the table use the next slower time in the list.");
    };
    report.OnPageHead = [layout](TKvrReport& r) {
        layout(r);
        r.Cell(0, "Pt.");
        for (int i = 1; i <= 18; ++i)
            r.Cell(i, std::to_string(50 * i) + " Fr");
        r.Cell(19, "Pt.");
        r.LineFeed(10);
        r.HorizontalRule(-1);
    };
    report.OnOneExemplar = [layout, maxPoints, minPoints](TKvrReport& r) {
        r.NewPage(1);
        layout(r);
        char text[32];
        for (int p = maxPoints; p >= minPoints; --p) {
            r.CheckPageBreak(10);
            const std::string points = std::to_string(p);
            r.Cell(0, points);
            for (int c = 1; c <= 18; ++c) {
                const int hundredths = 2000 * c + (1100 - p) * 3 * c;
                std::snprintf(text, sizeof text, "%d:%02d.%02d", hundredths / 6000,
                              hundredths / 100 % 60, hundredths % 100);
                r.Cell(c, text);
            }
            r.Cell(19, points);
            r.LineFeed(10);
            if ((maxPoints - p) % 5 == 4)
                r.HorizontalRule(3);
        }
    };
}

} // namespace marqor::bench
