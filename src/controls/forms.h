#pragma once

// The base of every window the user works in. Once the window has made its components it fits
// their fonts to its own, has itself translated from the form sections of its class chain,
// restores its position, size and state from the user settings ("WindowState" in the section
// named after its class), and lets tagged controls load and save their values. The product
// family's TKvrForm adds keyboard accelerators and saves its placement when it goes.
//
// A window class derives from one of the aliases (TBSForm, TBSDialog, TBSMainWindow, TKvrForm,
// TKvrDialog, TKvrMainWindow), declares Q_OBJECT and builds its components in its constructor.
// Its class chain is read from the meta-objects: a window class TFPrintPointTable derived from
// TKvrPrintDlg derived from TKvrDialog has the chain TBSForm, TKvrForm, TKvrPrintDlg,
// TFPrintPointTable. The loading step runs when the window is first polished (before it is
// first shown), or earlier when code calls Loaded().

#include "controls/language_ctrls.h"
#include "foundation/settings.h"

#include <QDialog>
#include <QEvent>
#include <QKeyEvent>
#include <QMainWindow>
#include <QRect>
#include <QShowEvent>
#include <QWidget>
#include <string>
#include <string_view>
#include <vector>

struct QMetaObject;

namespace marqor {

// A window placement as stored: the normal rectangle, the show command (1 normal, 2, 6 or 7
// minimised, 3 maximised, 5 or 9 shown) and the placement flags (2 = restore to maximised).
struct TBSWindowPlacement {
    int Left = 0;
    int Top = 0;
    int Width = 0;
    int Height = 0;
    int ShowCommand = 1;
    int Flags = 2;
    friend bool operator==(const TBSWindowPlacement&, const TBSWindowPlacement&) = default;
};

// "%d,%d,%d,%d,%d,%d".
std::string PlacementToText(const TBSWindowPlacement& placement);
// The fields of the text; a missing field or one that is no number keeps the value of
// `current` (left, top, width, height) or the defaults 1 and 2 (show command, flags).
TBSWindowPlacement PlacementFromText(std::string_view text, const TBSWindowPlacement& current);
// The window state a show command asks for; other commands leave the state as it is.
Qt::WindowStates WindowStatesOfShowCommand(int showCommand, int flags, Qt::WindowStates current);

// The logic of the window base, over the window it belongs to.
class TBSFormCore {
public:
    TBSFormCore(QWidget* window, const QMetaObject* platformBase);
    virtual ~TBSFormCore();
    TBSFormCore(const TBSFormCore&) = delete;
    TBSFormCore& operator=(const TBSFormCore&) = delete;

    QWidget* Window() const { return window_; }
    // The window's classes from TBSForm down to its own; the last names its form section and
    // its user-settings section.
    virtual std::vector<std::string> FormClassChain() const;
    std::string FormClassName() const;
    TBSLanguageCtrls& Translator() { return translator_; }

    // The loading step (fonts, template, translation, placement); runs once.
    void Loaded();
    bool IsLoaded() const { return loaded_; }

    std::string PlacementText() const;
    // Writes the placement under "WindowState" of the window's user-settings section.
    void SavePlacement();
    // Restores a stored placement; an empty text changes nothing.
    void ApplyPlacementText(std::string_view text);

    // Every component with that tag that keeps its value in settings, in component order.
    virtual void LoadSettings(const IBSSection& section, int tag);
    virtual void SaveSettings(IBSSection& section, int tag);
    // The same with the section of the settings named after the window's class.
    void LoadSettingsFrom(IBSSettings& settings, int tag);
    void SaveSettingsTo(IBSSettings& settings, int tag);

    // Applies the form sections of the class chain, base first, so the window's own wins.
    virtual void TranslateWindow();

    // Makes this window the application's main window: its first showing sets the application
    // title, registers the debug commands and adds the support menus.
    void MakeApplicationMainForm();
    bool IsApplicationMainForm() const;

    // Every live window of this base, in creation order.
    static std::vector<TBSFormCore*> AllForms();

protected:
    // The names of the library's own layers (TBSForm, TKvrForm) that the meta-objects do not
    // show.
    void AddBaseClassName(std::string name) { baseNames_.push_back(std::move(name)); }
    // After the window's texts are translated (the last step of loading).
    virtual void AfterTranslation() {}
    // Called by the window after each showing.
    void WindowShown();
    // Escape presses the window's cancel button, where it has a usable one.
    bool PressCancelButton();

private:
    void FitFonts();

    QWidget* window_;
    const QMetaObject* platformBase_;
    std::vector<std::string> baseNames_;
    TBSLanguageCtrls translator_;
    bool loaded_ = false;
    std::string className_;
};

template <class QtWindow> class TBSFormOf : public QtWindow, public TBSFormCore {
public:
    explicit TBSFormOf(QWidget* parent = nullptr)
        : QtWindow(parent), TBSFormCore(this, &QtWindow::staticMetaObject) {
        AddBaseClassName("TBSForm");
    }

protected:
    bool event(QEvent* e) override {
        if (e->type() == QEvent::Polish)
            Loaded();
        return QtWindow::event(e);
    }
    void showEvent(QShowEvent* e) override {
        QtWindow::showEvent(e);
        WindowShown();
    }
    void keyPressEvent(QKeyEvent* e) override {
        if (e->key() == Qt::Key_Escape && e->modifiers() == Qt::NoModifier && PressCancelButton())
            return;
        QtWindow::keyPressEvent(e);
    }
};

using TBSForm = TBSFormOf<QWidget>;
using TBSDialog = TBSFormOf<QDialog>;
using TBSMainWindow = TBSFormOf<QMainWindow>;

// The window base of the product family: accelerators after translation, labels that focus
// their control when clicked, and the placement saved when the window goes.
template <class QtWindow> class TKvrFormOf : public TBSFormOf<QtWindow> {
public:
    explicit TKvrFormOf(QWidget* parent = nullptr) : TBSFormOf<QtWindow>(parent) {
        this->AddBaseClassName("TKvrForm");
    }
    ~TKvrFormOf() override {
        // A window that never loaded never restored its placement: saving would overwrite the
        // stored one with the designed defaults.
        if (SavePlacementOnDestroy && this->IsLoaded())
            this->SavePlacement();
    }

    bool SavePlacementOnDestroy = true;
    bool AssignAcceleratorsOnLoad = true;

protected:
    void AfterTranslation() override;
};

void KvrFormAfterTranslation(QWidget* window, bool assignAccelerators);

template <class QtWindow> void TKvrFormOf<QtWindow>::AfterTranslation() {
    KvrFormAfterTranslation(this, AssignAcceleratorsOnLoad);
}

using TKvrForm = TKvrFormOf<QWidget>;
using TKvrDialog = TKvrFormOf<QDialog>;
using TKvrMainWindow = TKvrFormOf<QMainWindow>;

} // namespace marqor
