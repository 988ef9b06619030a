#pragma once

#include <memory>

namespace pictora {

class CMainFrame;
class MqSplash;

// The application: creates the main window with its form, sets the caption,
// and shows the splash window over it for three seconds.
class CPictoraApp {
public:
    CPictoraApp();
    ~CPictoraApp();
    // false when the main window could not be made.
    bool InitInstance();
    CMainFrame* MainFrame() const { return frame_.get(); }

private:
    std::unique_ptr<CMainFrame> frame_;
    std::unique_ptr<MqSplash> splash_;
};

}  // namespace pictora
