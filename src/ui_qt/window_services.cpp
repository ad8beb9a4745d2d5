#include "ui_qt/window_services.h"

#include "services/config.h"
#include "services/ui.h"
#include "ui_qt/ui_visual.h"

namespace marqor {

std::string TBSUIControlServices::VersionText() {
    return ApplicationObject().VersionText();
}

std::string TBSUIControlServices::ProductTitle() {
    return ApplicationObject().ProductTitle();
}

std::vector<std::string> TBSUIControlServices::ChooseFiles(const TBSFileChoice& choice,
                                                           QWidget* parent) {
    if (auto* visual = VisualUIServices())
        return visual->ChooseFiles(choice.Title, choice.Initial, choice.Mode,
                                   QString::fromStdString(choice.Filter), choice.Multiple, parent);
    return IBSControlServices::ChooseFiles(choice, parent);
}

void TBSUIControlServices::AddMenuAction(int menu, const std::string& path,
                                         std::function<void()> callback) {
    UIServices().AddMenuAction(
        menu, path,
        [callback = std::move(callback)](int) {
            if (callback)
                callback();
        },
        0);
}

void TBSUIControlServices::InsertSupportMenus(QMenu* firstMenu) {
    if (auto* visual = VisualUIServices())
        visual->InsertSupportMenus(firstMenu);
}

void ConnectControlServices() {
    SetControlServices(std::make_shared<TBSUIControlServices>());
}

} // namespace marqor
