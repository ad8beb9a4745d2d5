#pragma once

// The progress window of the user-interface services: the title in bold, the detail, the
// remaining time and a progress bar (moving to and fro while the total is unknown), with a
// Cancel button for levels that may be cancelled. The user cannot close it; it stays in front.

#include "services/ui.h"

#include <QDialog>
#include <functional>

class QLabel;
class QProgressBar;
class QPushButton;

namespace marqor {

class TFBSUIDefaultProgressDlg : public QDialog {
    Q_OBJECT
public:
    explicit TFBSUIDefaultProgressDlg(QWidget* parent = nullptr);

    // Shows the level; elapsed is the time since it began.
    void ShowState(const TBSUIProgressState& state, double elapsedSeconds);

    // What the Cancel button does.
    std::function<void()> OnCancel;

    QLabel* LTitle;
    QLabel* LDetail;
    QLabel* LTime;
    QProgressBar* ProgressBar;
    QPushButton* BCancel;

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
};

} // namespace marqor
