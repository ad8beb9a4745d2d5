#pragma once

// The small windows of the user-interface services: the project choice of the configuration and
// the login. Both are windows of the window base, so form sections translate their captions.

#include "controls/forms.h"

#include <string>
#include <vector>

class QLabel;
class QLineEdit;
class QListWidget;
class QPushButton;

namespace marqor {

// A list of project names, one preselected; OK or a double click chooses.
class TFBSUIProjectDlg : public TBSDialog {
    Q_OBJECT
public:
    TFBSUIProjectDlg(const std::string& title, const std::string& preselected,
                     const std::vector<std::string>& names, QWidget* parent = nullptr);

    // The index of the chosen name, -1 when cancelled.
    int Execute();

    QLabel* LPrompt;
    QListWidget* LBProjects;
    QPushButton* BOk;
    QPushButton* BCancel;
};

class TFBSUILoginDlg : public TBSDialog {
    Q_OBJECT
public:
    TFBSUILoginDlg(const std::string& caption, const std::string& user, QWidget* parent = nullptr);

    bool Execute(std::string& user, std::string& password);

    QLabel* LUser;
    QLineEdit* EUser;
    QLabel* LPassword;
    QLineEdit* EPassword;
    QPushButton* BOk;
    QPushButton* BCancel;
};

} // namespace marqor
