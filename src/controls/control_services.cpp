#include "controls/control_services.h"

#include "texts/language.h"

#include <QFileDialog>
#include <QFileInfo>
#include <mutex>

namespace marqor {

namespace {

std::mutex& ServicesLock() {
    static std::mutex m;
    return m;
}

std::shared_ptr<IBSControlServices>& ServicesSlot() {
    static std::shared_ptr<IBSControlServices> services;
    return services;
}

} // namespace

std::vector<std::string> IBSControlServices::ChooseFiles(const TBSFileChoice& choice,
                                                         QWidget* parent) {
    const QString title = QString::fromStdString(LanguageText(choice.Title));
    const QString initial = QString::fromStdString(choice.Initial);
    const QString filter = QString::fromStdString(choice.Filter);
    std::vector<std::string> chosen;
    if (choice.Mode == 0) {
        const QString file = QFileDialog::getSaveFileName(parent, title, initial, filter);
        if (!file.isEmpty())
            chosen.push_back(file.toStdString());
    } else if (choice.Multiple) {
        for (const QString& file : QFileDialog::getOpenFileNames(parent, title, initial, filter))
            chosen.push_back(file.toStdString());
    } else {
        const QString file = QFileDialog::getOpenFileName(parent, title, initial, filter);
        if (!file.isEmpty())
            chosen.push_back(file.toStdString());
    }
    return chosen;
}

void IBSControlServices::AddMenuAction(int, const std::string&, std::function<void()>) {}

void IBSControlServices::InsertSupportMenus(QMenu*) {}

std::shared_ptr<IBSControlServices> ControlServices() {
    std::lock_guard lock(ServicesLock());
    auto& slot = ServicesSlot();
    if (!slot)
        slot = std::make_shared<IBSControlServices>();
    return slot;
}

void SetControlServices(std::shared_ptr<IBSControlServices> services) {
    std::lock_guard lock(ServicesLock());
    ServicesSlot() = std::move(services);
}

} // namespace marqor
