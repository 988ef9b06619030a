#pragma once

#include <QElapsedTimer>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTest>
#include <QTreeWidget>
#include <memory>

#include "commands/ScriptedDialogs.h"
#include "common/TempFolder.h"
#include "display/ImagePicture.h"
#include "ui/CPictoraView.h"

namespace pictora::testing {

inline QString Data(const char* name) { return QString::fromStdString(TestData(name)); }

// Serves the interface thread until the load or save `view` has under way
// has been taken in (`ended` spies on FileTaskEnded); false when it failed.
inline bool FinishFileTaskOf(CPictoraView& view, QSignalSpy& ended) {
    if (view.BusyText().isEmpty()) return true;
    const int before = static_cast<int>(ended.count());
    return ended.wait(60000) && ended.count() > before && ended.last().at(0).toBool();
}

// Loads a PNG into a form and waits for it: whether it loaded.
inline bool LoadInto(CPictoraView& view, const QString& path) {
    QSignalSpy ended(&view, &CPictoraView::FileTaskEnded);
    return view.LoadImage(path) && FinishFileTaskOf(view, ended);
}

// A form whose dialogs answer from a script, with helpers to drive it and
// to wait for the worker.
struct Form {
    ScriptedDialogs::Script dialogs;
    std::unique_ptr<CPictoraView> view;
    std::unique_ptr<QSignalSpy> handled;
    std::unique_ptr<QSignalSpy> fileTasks;

    Form() {
        view = std::make_unique<CPictoraView>(nullptr, std::make_unique<ScriptedDialogs>(dialogs));
        view->OnInitialUpdate();
        handled = std::make_unique<QSignalSpy>(view.get(), &CPictoraView::OutcomeHandled);
        fileTasks = std::make_unique<QSignalSpy>(view.get(), &CPictoraView::FileTaskEnded);
    }
    const CPictoraView::Controls& c() const { return view->GetControls(); }

    // Serves the interface thread until `count` worker messages have been shown.
    bool WaitForMessages(int count) {
        QElapsedTimer timer;
        timer.start();
        while (handled->count() < count && timer.elapsed() < 60000) handled->wait(100);
        return handled->count() >= count;
    }
    // The same, and then until the worker has nothing left to do.
    bool WaitUntilIdleAfter(int count) {
        return WaitForMessages(count) && QTest::qWaitFor([this] { return view->Worker().IsIdle(); }, 60000);
    }

    void SetSteps(const char* r, const char* g, const char* b) {
        c().steps[0]->setText(r);
        c().steps[1]->setText(g);
        c().steps[2]->setText(b);
    }
    QString StepsText() const {
        return c().steps[0]->text() + "," + c().steps[1]->text() + "," + c().steps[2]->text();
    }
    QString Cell(int row, int column) const { return c().resultsList->topLevelItem(row)->text(column); }

    // Serves the interface thread until the load or save under way, if any,
    // has been taken in; false when it failed.
    bool FinishFileTask() { return FinishFileTaskOf(*view, *fileTasks); }
    // Loads a PNG as the source image and waits for it: whether it loaded.
    bool Load(const QString& path) { return view->LoadImage(path) && FinishFileTask(); }

    // The Open and Save commands, waiting for a load or save they start.
    void Open(QStringList paths) {
        dialogs.openAnswers.push_back(std::move(paths));
        view->OnFileOpen();
        FinishFileTask();
    }
    void Save(const QString& path) {
        dialogs.saveAnswers.push_back(path);
        view->OnFileSave();
        FinishFileTask();
    }
    // Opens a photo and runs one step with the defaults.
    bool Train(const char* photo) {
        Open({Data(photo)});
        const int before = handled->count();
        QTest::mouseClick(c().start, Qt::LeftButton);
        return WaitUntilIdleAfter(before + 1);
    }
    std::vector<std::uint8_t> CodedPixels() const {
        const DisplayBitmap::Bytes& pixels = c().codedPicture->Bitmap()->pixels;
        return {pixels.begin(), pixels.end()};
    }
    QString LastMessage() const { return dialogs.messages.empty() ? QString() : dialogs.messages.back(); }
};

}  // namespace pictora::testing
