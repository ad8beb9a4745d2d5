#pragma once

// Connects the window base and the controls to the application: the version and title of the
// application object, the file chooser of the user-interface services and their support menus.

#include "controls/control_services.h"

namespace marqor {

class TBSUIControlServices final : public IBSControlServices {
public:
    std::string VersionText() override;
    std::string ProductTitle() override;
    std::vector<std::string> ChooseFiles(const TBSFileChoice& choice, QWidget* parent) override;
    void AddMenuAction(int menu, const std::string& path, std::function<void()> callback) override;
    void InsertSupportMenus(QMenu* firstMenu) override;
};

// SetControlServices with TBSUIControlServices.
void ConnectControlServices();

} // namespace marqor
