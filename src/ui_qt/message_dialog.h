#pragma once

// The message window of the user-interface services, used by every message and question: an
// icon, the text and a row (or rows) of buttons; optionally it closes itself after a number of
// seconds, counting down on its first button.

#include "services/ui.h"

#include <QDialog>
#include <QRect>
#include <QSize>
#include <vector>

class QLabel;
class QPushButton;
class QTimer;

namespace marqor {

// Where the parts of the message window go. The text is as wide as the screen less 200 pixels
// and as high as its lines need; buttons are as wide as their caption plus 15 (at least 75),
// placed from the left 5 pixels apart in rows 30 pixels apart, a row being full when the next
// button would start beyond half the screen width. The window is as wide as its widest part,
// at least 400 and at most the screen width less 100.
struct TBSMultiSelectLayout {
    QSize Window;
    QRect Icon;
    QRect Text;
    std::vector<QRect> Buttons;
};
// textSize: the text's size when laid out at most screen width - 200 wide.
TBSMultiSelectLayout MultiSelectLayout(QSize screen, QSize textSize,
                                       const std::vector<int>& captionWidths);

class TFBSUIMultiSelectDlg : public QDialog {
    Q_OBJECT
public:
    TFBSUIMultiSelectDlg(const TBSUIMessage& message, const QString& caption,
                         QWidget* parent = nullptr);

    // Runs the window modally: the id of the pressed button, 0 when it closed itself, -1 when
    // it was closed otherwise.
    int Execute();
    int Result() const { return result_; }
    int SecondsLeft() const { return secondsLeft_; }

    QLabel* ImgIcon;
    QLabel* LText;
    std::vector<QPushButton*> Buttons;

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    void Tick();
    void Finish(int id);

    TBSUIMessage message_;
    QTimer* closeTimer_;
    int secondsLeft_ = 0;
    int result_ = -1;
    bool finished_ = false;
};

} // namespace marqor
