#include "ui_qt/small_dialogs.h"

#include "controls/accelerators.h"
#include "services/ui_texts.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

namespace marqor {

namespace {

QHBoxLayout* ButtonRow(QPushButton* ok, QPushButton* cancel) {
    auto* row = new QHBoxLayout;
    row->addStretch();
    row->addWidget(ok);
    row->addWidget(cancel);
    return row;
}

void MakeOkCancel(QDialog* dialog, QPushButton*& ok, QPushButton*& cancel) {
    ok = new QPushButton("OK", dialog);
    ok->setObjectName("BOk");
    ok->setDefault(true);
    cancel = new QPushButton(QString::fromStdString(TextOrEnglish("#BS.Cancel", "Cancel")), dialog);
    cancel->setObjectName("BCancel");
    SetCancelButton(cancel);
    QObject::connect(ok, &QPushButton::clicked, dialog, &QDialog::accept);
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
}

} // namespace

TFBSUIProjectDlg::TFBSUIProjectDlg(const std::string& title, const std::string& preselected,
                                   const std::vector<std::string>& names, QWidget* parent)
    : TBSDialog(parent) {
    setWindowTitle(QString::fromStdString(title));
    LPrompt = new QLabel("Choose the project:", this);
    LPrompt->setObjectName("LPrompt");
    LBProjects = new QListWidget(this);
    LBProjects->setObjectName("LBProjects");
    for (const auto& name : names)
        LBProjects->addItem(QString::fromStdString(name));
    for (int i = 0; i < int(names.size()); ++i)
        if (QString::fromStdString(names[std::size_t(i)])
                .compare(QString::fromStdString(preselected), Qt::CaseInsensitive) == 0)
            LBProjects->setCurrentRow(i);
    if (LBProjects->currentRow() < 0 && !names.empty())
        LBProjects->setCurrentRow(0);
    LPrompt->setBuddy(LBProjects);
    MakeOkCancel(this, BOk, BCancel);
    connect(LBProjects, &QListWidget::itemDoubleClicked, this, &QDialog::accept);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(LPrompt);
    layout->addWidget(LBProjects);
    layout->addLayout(ButtonRow(BOk, BCancel));
    resize(360, 300);
}

int TFBSUIProjectDlg::Execute() {
    if (exec() != QDialog::Accepted)
        return -1;
    return LBProjects->currentRow();
}

TFBSUILoginDlg::TFBSUILoginDlg(const std::string& caption, const std::string& user, QWidget* parent)
    : TBSDialog(parent) {
    setWindowTitle(QString::fromStdString(caption));
    LUser = new QLabel("User:", this);
    LUser->setObjectName("LUser");
    EUser = new QLineEdit(QString::fromStdString(user), this);
    EUser->setObjectName("EUser");
    LPassword = new QLabel("Password:", this);
    LPassword->setObjectName("LPassword");
    EPassword = new QLineEdit(this);
    EPassword->setObjectName("EPassword");
    EPassword->setEchoMode(QLineEdit::Password);
    LUser->setBuddy(EUser);
    LPassword->setBuddy(EPassword);
    MakeOkCancel(this, BOk, BCancel);

    auto* form = new QFormLayout;
    form->addRow(LUser, EUser);
    form->addRow(LPassword, EPassword);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addLayout(ButtonRow(BOk, BCancel));
    if (!user.empty())
        EPassword->setFocus();
}

bool TFBSUILoginDlg::Execute(std::string& user, std::string& password) {
    if (exec() != QDialog::Accepted)
        return false;
    user = EUser->text().toStdString();
    password = EPassword->text().toStdString();
    return true;
}

} // namespace marqor
