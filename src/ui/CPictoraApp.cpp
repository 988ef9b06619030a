#include "ui/CPictoraApp.h"

#include <QFileInfo>
#include <QGuiApplication>
#include <QScreen>
#include <QTimer>

#include "ui/CMainFrame.h"
#include "ui/CPictoraView.h"
#include "ui/MqSplash.h"

namespace pictora {

namespace {
constexpr int kSplashMilliseconds = 3000;
}

CPictoraApp::CPictoraApp() = default;
CPictoraApp::~CPictoraApp() = default;

bool CPictoraApp::InitInstance(const QStringList& files) {
    frame_ = std::make_unique<CMainFrame>();
    frame_->setWindowTitle(QStringLiteral("Pictora por Quintar"));
    frame_->show();

    splash_ = std::make_unique<MqSplash>(frame_.get());
    QRect area(QPoint(0, 0), splash_->size());
    area.moveCenter(frame_->geometry().center());
    splash_->move(area.topLeft());
    splash_->show();
    splash_->repaint();
    // The splash goes away after three seconds; meanwhile the window keeps
    // painting and the worker already waits for commands.
    QTimer::singleShot(kSplashMilliseconds, splash_.get(), &QWidget::hide);

    // The Open dialog hands over absolute paths; so does the command line,
    // so that a later save recognises them as the inputs. Opening waits for
    // the event loop, so that any message shows over a window already drawn.
    if (!files.isEmpty()) {
        QStringList paths;
        for (const QString& file : files) paths << QFileInfo(file).absoluteFilePath();
        QTimer::singleShot(0, frame_.get(), [view = frame_->View(), paths] { view->OpenGiven(paths); });
    }
    return true;
}

}  // namespace pictora
