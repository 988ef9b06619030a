#pragma once

#include <QMainWindow>
#include <memory>

#include "commands/UserDialogs.h"
#include "ui/CPictoraDoc.h"

class QLabel;

namespace pictora {

class CPictoraView;

// The main window: the form in a fixed frame of at most 1024 x 768, the menu
// with its accelerators and the status bar.
class CMainFrame : public QMainWindow {
    Q_OBJECT

public:
    // `dialogs` answers the form's questions (real dialogs when null).
    explicit CMainFrame(std::unique_ptr<UserDialogs> dialogs = nullptr);
    ~CMainFrame() override;
    CPictoraView* View() const { return view_; }

    // The largest frame; a smaller form gets a smaller frame.
    static constexpr int kFrameWidth = 1024;
    static constexpr int kFrameHeight = 768;

private:
    QSize FrameSize() const;
    void CreateMenus();
    void CreateStatusBar();
    void KeepMethod();
    void ShowMethod();

    CPictoraDoc document_;
    CPictoraView* view_;
    QLabel* methodLabel_ = nullptr;  // the method's options while any is on
};

}  // namespace pictora
