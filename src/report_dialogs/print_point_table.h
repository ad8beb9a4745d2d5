#pragma once

// The point table print window ("Print point table"): the print dialog with the range of
// points and the choice between individual and relay events, for the point table, course,
// gender and age the calculator shows. Range and choice are kept in section
// "TFPrintPointTable" of the user settings, written at the start of every output.

#include "controls/combo_box.h"
#include "points/catalogue.h"
#include "report_dialogs/print_dialog.h"
#include "reports/point_table_printout.h"

#include <memory>

class QLabel;

namespace marqor {

class TFPrintPointTable : public TKvrPrintDlg {
    Q_OBJECT
public:
    // The table must not be null; age 99 means no age.
    TFPrintPointTable(IBSSwPointsPtr table, TBSSwCourse course, TBSSwGender gender, int age,
                      QWidget* parent = nullptr);
    ~TFPrintPointTable() override;

    void FormCreate();
    void ReportInitReport(TKvrReport& report);
    void ReportPageHead(TKvrReport& report);
    void ReportOneExemplar(TKvrReport& report);

    // Range and mode as the fields read now.
    TPointTablePrintOptions CurrentOptions() const;
    const TBSSwPointTablePrintout& Printout() const { return printout_; }

    QLabel* Label4;
    TBSComboBox* CBRelay;
    QLabel* Label1;
    TKvrEdit* EPointsMin;
    QLabel* Label3;
    TKvrEdit* EPointsMax;

private:
    TBSSwPointTablePrintout printout_;
};

// Opens the window modally for the table of that id, then releases it. A table id the
// catalogue does not know is reported to the user instead.
void OpenPointTablePrint(int tableId, int age, TBSSwGender gender, TBSSwCourse course,
                         TBSSwPointTableController& tables = PointTables());

} // namespace marqor
