#pragma once

// The main window "FINA Marqor": a tool bar, the calculator panel in FINA mode and a footer
// line, with three actions (quit, print a point table, about) on the tool bar and in the File
// menu. The window has a fixed size: its client area is 480 wide and tool bar + 350 + 20 high.

#include "calculator/calculator.h"
#include "controls/forms.h"

#include <QMainWindow>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QLabel;
class QMenu;
class QToolBar;
class QToolButton;

namespace marqor {

class TFMain : public TKvrMainWindow {
    Q_OBJECT
public:
    explicit TFMain(TBSSwPointTableController& tables = PointTables(), QWidget* parent = nullptr);
    ~TFMain() override;

    // Opens the point table printout for table, age, gender and course. Until one is set,
    // "Print points" (Ctrl+P) is present but disabled.
    using TOpenPointTablePrint =
        std::function<void(int table, int age, TBSSwGender gender, TBSSwCourse course)>;
    void SetOpenPointTablePrint(TOpenPointTablePrint open);

    TKvrFPCalculator* Calculator() const { return calculator_.get(); }
    // The footer when the calculator has nothing to say: the current year and the maker.
    static QString FooterText();

    void FormCreate();
    void FormDestroy();
    void FormShow();
    void ActTerminateExecute();
    void ActPrintPointTableExecute();
    void ActAboutExecute();

    QWidget* Client;
    QToolBar* ToolBar;
    QToolButton* ToolButton1;
    QAction* ToolButton4;
    QToolButton* ToolButton2;
    QAction* ToolButton5;
    QToolButton* ToolButton3;
    QMenu* File1;
    QAction* ActTerminate;
    QAction* ActPrintPointTable;
    QAction* ActAbout;
    std::vector<QIcon> ImageList1;
    QLabel* PnlFoot;

signals:
    // The window closed: the program ends.
    void Closed();

protected:
    void showEvent(QShowEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void ShowFooter(const std::string& remark);

    TBSSwPointTableController& tables_;
    std::unique_ptr<TKvrFPCalculator> calculator_;
    TOpenPointTablePrint openPrint_;
    QString footer_;
};

} // namespace marqor
