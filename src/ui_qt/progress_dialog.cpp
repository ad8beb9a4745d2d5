#include "ui_qt/progress_dialog.h"

#include "services/ui_texts.h"

#include <QCloseEvent>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

namespace marqor {

TFBSUIDefaultProgressDlg::TFBSUIDefaultProgressDlg(QWidget* parent) : QDialog(parent) {
    setObjectName("FBSUIDefaultProgressDlg");
    setWindowFlags(Qt::Dialog | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                   Qt::WindowStaysOnTopHint);
    setWindowTitle(QGuiApplication::applicationDisplayName());

    LTitle = new QLabel(this);
    LTitle->setObjectName("LTitle");
    QFont bold = LTitle->font();
    bold.setBold(true);
    LTitle->setFont(bold);
    LDetail = new QLabel(this);
    LDetail->setObjectName("LDetail");
    LTime = new QLabel(this);
    LTime->setObjectName("LTime");
    for (QLabel* label : {LTitle, LDetail, LTime}) {
        label->setTextFormat(Qt::PlainText);
        label->setMinimumWidth(380);
    }
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setTextVisible(false);
    BCancel = new QPushButton(QString::fromStdString(TextOrEnglish("#BS.Cancel", "Cancel")), this);
    BCancel->setObjectName("BCancel");
    BCancel->setAutoDefault(false);
    connect(BCancel, &QPushButton::clicked, this, [this] {
        if (OnCancel)
            OnCancel();
    });

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LTitle);
    layout->addWidget(LDetail);
    layout->addWidget(LTime);
    layout->addWidget(ProgressBar);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(BCancel);
    layout->addLayout(buttons);
    layout->setSizeConstraint(QLayout::SetFixedSize);
}

void TFBSUIDefaultProgressDlg::ShowState(const TBSUIProgressState& state, double elapsedSeconds) {
    LTitle->setText(QString::fromStdString(state.Title));
    LDetail->setText(QString::fromStdString(state.Detail));
    LTime->setText(
        QString::fromStdString(TimeRemainingLabel(elapsedSeconds, state.Position, state.Maximum)));
    if (state.Maximum < 1) {
        ProgressBar->setRange(0, 0);
    } else {
        ProgressBar->setRange(0, state.Maximum);
        ProgressBar->setValue(std::min(state.Position, state.Maximum));
    }
    BCancel->setVisible(state.Cancelable);
    BCancel->setEnabled(!state.Cancelled);
}

void TFBSUIDefaultProgressDlg::closeEvent(QCloseEvent* event) {
    event->ignore();
}

void TFBSUIDefaultProgressDlg::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape) {
        if (BCancel->isVisible() && BCancel->isEnabled())
            BCancel->click();
        event->accept();
        return;
    }
    QDialog::keyPressEvent(event);
}

} // namespace marqor
