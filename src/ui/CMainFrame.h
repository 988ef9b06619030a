#pragma once

#include <QMainWindow>
#include <memory>

#include "commands/UserDialogs.h"
#include "ui/CPictoraDoc.h"

namespace pictora {

class CPictoraView;

// The main window: the form in a fixed 1024 x 768 frame, the menu with its
// accelerators and the status bar.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // `dialogs` answers the form's questions (real dialogs when null).
    explicit CMainFrame(std::unique_ptr<UserDialogs> dialogs = nullptr);
    CPictoraView* View() const { return view_; }

private:
    void CreateMenus();
    void CreateStatusBar();

    CPictoraDoc document_;
    CPictoraView* view_;
};

}  // namespace pictora
