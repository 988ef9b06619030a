#pragma once

#include <QStringList>
#include <memory>

namespace pictora {

class CMainFrame;
class MqSplash;

// The application: creates the main window with its form, sets the caption,
// and shows the splash window over it for three seconds; files named on the
// command line open as soon as the window is up.
class CPictoraApp {
public:
    CPictoraApp();
    ~CPictoraApp();
    // false when the main window could not be made. `files` (relative to the
    // working folder or absolute) open as if chosen together in Arquivo → Abrir,
    // with its refusals and messages.
    bool InitInstance(const QStringList& files = {});
    CMainFrame* MainFrame() const { return frame_.get(); }

private:
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<MqSplash> splash_;
};

}  // namespace pictora
