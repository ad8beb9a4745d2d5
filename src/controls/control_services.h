#pragma once

// What the controls and window bases need from the application layer, which is built above
// them: the version and title of the program, the file chooser of the user-interface services,
// and the support and debug menus. The defaults let every control work on its own (no template
// collection, no title, Qt's own file dialog, no support menus); the application registers its
// implementation once at start with SetControlServices.

#include <QRect>
#include <QString>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class QMenu;
class QWidget;

namespace marqor {

struct TBSFileChoice {
    std::string Title;     // a text reference or a plain text
    std::string Initial;   // start directory, or a proposed file
    int Mode = 1;          // 0 save, 1 open
    std::string Filter;    // "Text files (*.txt);;All files (*)"
    bool Multiple = false; // open several files at once
};

class IBSControlServices {
public:
    virtual ~IBSControlServices() = default;

    // The application object's version text; "Debug Build" makes every window collect the
    // template of its form section.
    virtual std::string VersionText() { return {}; }
    // The product title that becomes the application title when the main window is first shown;
    // empty leaves the title as it is.
    virtual std::string ProductTitle() { return {}; }
    // The chosen files, none when the user cancelled.
    virtual std::vector<std::string> ChooseFiles(const TBSFileChoice& choice, QWidget* parent);
    // Registers an entry of a support menu (0 Debug, 1 Orvane, 2 Administrator); the path's
    // parts before the last "\" name submenus.
    virtual void AddMenuAction(int menu, const std::string& path, std::function<void()> callback);
    // Puts the three support menu items and a separator at the top of the main window's first
    // menu, with their visibility rules.
    virtual void InsertSupportMenus(QMenu* firstMenu);
};

// The registered services; the defaults above until the application sets its own.
std::shared_ptr<IBSControlServices> ControlServices();
void SetControlServices(std::shared_ptr<IBSControlServices> services);

} // namespace marqor
