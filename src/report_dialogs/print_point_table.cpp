#include "report_dialogs/print_point_table.h"

#include "services/ui.h"

#include <QGridLayout>
#include <QLabel>

namespace marqor {

TFPrintPointTable::TFPrintPointTable(IBSSwPointsPtr table, TBSSwCourse course, TBSSwGender gender,
                                     int age, QWidget* parent)
    : TKvrPrintDlg(parent), printout_(std::move(table), course, gender, age) {
    setObjectName("FPrintPointTable");
    setWindowTitle("Print point table");

    auto* grid = new QGridLayout(PnlFields);
    grid->setContentsMargins(0, 0, 0, 6);
    grid->setHorizontalSpacing(8);
    Label4 = new QLabel(PnlFields);
    Label4->setObjectName("Label4");
    QFont bold = Label4->font();
    bold.setBold(true);
    Label4->setFont(bold);
    Label4->setText(QString::fromStdString(printout_.TitleLine1()));
    CBRelay = new TBSComboBox(PnlFields);
    CBRelay->setObjectName("CBRelay");
    CBRelay->SetComboBoxType(cbtIndex);
    CBRelay->SetMandatory(true);
    CBRelay->AddItem("Individual events", 0);
    CBRelay->AddItem("Relay events", 1);
    Label1 = new QLabel("Print points from (min. 1):", PnlFields);
    Label1->setObjectName("Label1");
    EPointsMin = new TKvrEdit(PnlFields);
    EPointsMin->setObjectName("EPointsMin");
    Label3 = new QLabel("to (max. 1100):", PnlFields);
    Label3->setObjectName("Label3");
    EPointsMax = new TKvrEdit(PnlFields);
    EPointsMax->setObjectName("EPointsMax");
    for (TKvrEdit* edit : {EPointsMin, EPointsMax}) {
        edit->SetEditType(TKvrEdit::etInteger);
        edit->SetMinValue(TPointTablePrintOptions::LowestPoints);
        edit->SetMaxValue(TPointTablePrintOptions::HighestPoints);
        edit->setFixedWidth(60);
        SetTag(edit, 1);
    }
    Label1->setBuddy(EPointsMin);
    Label3->setBuddy(EPointsMax);
    grid->addWidget(Label4, 0, 0, 1, 5);
    grid->addWidget(CBRelay, 1, 0, 1, 5, Qt::AlignLeft);
    grid->addWidget(Label1, 2, 0);
    grid->addWidget(EPointsMin, 2, 1);
    grid->addWidget(Label3, 2, 2);
    grid->addWidget(EPointsMax, 2, 3);
    grid->setColumnStretch(4, 1);
    setTabOrder(CBRelay, EPointsMin);
    setTabOrder(EPointsMin, EPointsMax);
    setTabOrder(EPointsMax, CBPrinters);

    printout_.SetSettingsSection(UserSettings()->GetSection(PointTablePrintSection));
    Report.OnInitReport = [this](TKvrReport& report) {
        ReportInitReport(report);
    };
    Report.OnPageHead = [this](TKvrReport& report) {
        ReportPageHead(report);
    };
    Report.OnOneExemplar = [this](TKvrReport& report) {
        ReportOneExemplar(report);
    };

    FormCreate();
}

TFPrintPointTable::~TFPrintPointTable() = default;

void TFPrintPointTable::FormCreate() {
    const auto options = LoadPointTablePrintOptions();
    EPointsMin->SetAsInteger(options.PointsMin);
    EPointsMax->SetAsInteger(options.PointsMax);
    CBRelay->SetItemIndex(options.Mode == ptmRelays ? 1 : 0);
}

TPointTablePrintOptions TFPrintPointTable::CurrentOptions() const {
    TPointTablePrintOptions options;
    options.PointsMin = ClampPrintPoints(EPointsMin->AsInteger());
    options.PointsMax = ClampPrintPoints(EPointsMax->AsInteger());
    options.Mode = CBRelay->currentIndex() == 1 ? ptmRelays : ptmIndividual;
    return options;
}

void TFPrintPointTable::ReportInitReport(TKvrReport& report) {
    printout_.SetOptions(CurrentOptions());
    printout_.ReportInitReport(report);
}

void TFPrintPointTable::ReportPageHead(TKvrReport& report) {
    printout_.ReportPageHead(report);
}

void TFPrintPointTable::ReportOneExemplar(TKvrReport& report) {
    printout_.ReportOneExemplar(report);
}

void OpenPointTablePrint(int tableId, int age, TBSSwGender gender, TBSSwCourse course,
                         TBSSwPointTableController& tables) {
    IBSSwPointsPtr table = tables.GetPointTable(tableId);
    if (!table) {
        UIServices().ShowError("There is no point table with the id " + std::to_string(tableId) +
                               " to print.");
        return;
    }
    TFPrintPointTable window(std::move(table), course, gender, age);
    window.exec();
}

} // namespace marqor
