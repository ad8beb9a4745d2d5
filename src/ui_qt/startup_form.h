#pragma once

// The start-up screen and about box of the user-interface services. The same window serves
// both: at start it is shown for a minimum time and until the main window is up, fading in,
// staying in front and refusing to be closed; later ShowAbout shows it modally, and then a key
// or a click closes it. A product derives its own window and answers where its progress text
// and progress bar are.

#include "controls/forms.h"
#include "services/ui.h"

#include <QPointer>

class QLabel;
class QProgressBar;
class QTimer;

namespace marqor {

class TBSStartupForm : public TBSDialog {
    Q_OBJECT
public:
    explicit TBSStartupForm(QWidget* parent = nullptr);
    ~TBSStartupForm() override;

    // Where the start-up progress shows; may be none.
    virtual QLabel* StartupProgressLabel() const = 0;
    virtual QProgressBar* StartupProgressBar() const = 0;

    // Shown at once, in front, fading in; it cannot be closed until CloseStartupScreen.
    void ShowAsStartupScreen(bool fadeIn = true);
    void CloseStartupScreen();
    bool IsStartupScreen() const { return startup_; }
    // Modal and centred, with an empty progress area; a key or a click closes it.
    void ShowAsAbout();

    void ShowProgressState(const TBSUIProgressState& state);
    void ClearProgress();

    // While the opacity still rises.
    bool FadeRunning() const;

protected:
    void closeEvent(QCloseEvent* event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void FadeStep();
    void CentreOnScreen();

    bool startup_ = false;
    QTimer* fadeTimer_;
    int fadeSteps_ = 0;
};

// The start-up window of a product that has none of its own: the product title, the version,
// the progress text and bar.
class TBSDefaultStartupForm : public TBSStartupForm {
    Q_OBJECT
public:
    explicit TBSDefaultStartupForm(QWidget* parent = nullptr);

    QLabel* StartupProgressLabel() const override { return LProgress; }
    QProgressBar* StartupProgressBar() const override { return ProgressBar; }

    QLabel* LApplication;
    QLabel* LVersion;
    QLabel* LProgress;
    QProgressBar* ProgressBar;

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;
};

} // namespace marqor
