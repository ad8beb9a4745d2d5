#pragma once

// The start-up window and about box of FINA Marqor: the start-up picture with the maker's lines
// written over it, the start-up progress, and nothing to click but the picture itself.

#include "ui_qt/startup_form.h"

class QLabel;
class QProgressBar;
class QPushButton;

namespace marqor {

class TFStartupForm : public TBSStartupForm {
    Q_OBJECT
public:
    explicit TFStartupForm(QWidget* parent = nullptr);

    QLabel* StartupProgressLabel() const override { return LProgress; }
    QProgressBar* StartupProgressBar() const override { return ProgressBar; }

    void FormCreate();
    void FormShow();
    void ImgLogoClick();
    void ImgLogoFinaClick();

    QWidget* Client;
    QLabel* ImgLogoFina;
    QLabel* ImgLogo;
    QLabel* LApplication;
    QLabel* LOrvane;
    QLabel* LAdresse;
    QLabel* LCopyright;
    QLabel* LBuild;
    QLabel* LProgress;
    QProgressBar* ProgressBar;
    QPushButton* BDummy;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void paintEvent(QPaintEvent* event) override;
    void showEvent(QShowEvent* event) override;
};

} // namespace marqor
