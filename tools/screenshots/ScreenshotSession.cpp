// pictora-screenshots OUTPUT_FOLDER SAMPLE.png
// Runs the desktop application through a short scripted session and saves
// a PNG screenshot of each state: start-up, splash, about box, the loaded
// sample, three training steps, every image tab, every chart, the codebook
// order dialog and a decoded Huffman file; then the comparison viewer in each
// mode at 4x, a reference codec in it, the results list's measure columns,
// the rate-distortion tab and the export of the results.
#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QTreeWidget>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QScrollBar>
#include <QTabBar>
#include <QTemporaryDir>
#include <QTimer>
#include <cstdio>

#include "commands/CDialogOrdemCodeBook.h"
#include "commands/ScriptedDialogs.h"
#include "ui/CAboutDlg.h"
#include "ui/CMainFrame.h"
#include "ui/CPictoraView.h"
#include "ui/ComparisonPane.h"
#include "ui/ComparisonViewer.h"
#include "ui/MqSplash.h"

using namespace pictora;

namespace {

class Session {
public:
    explicit Session(QString folder) : folder_(std::move(folder)) {}

    bool Save(QWidget& widget, const QString& name) {
        QApplication::processEvents();
        const QString path = QDir(folder_).filePath(name + ".png");
        const bool saved = widget.grab().save(path);
        std::printf("%s %s\n", saved ? "saved" : "FAILED", path.toLocal8Bit().constData());
        ok_ = ok_ && saved;
        return saved;
    }
    bool Ok() const { return ok_; }

private:
    QString folder_;
    bool ok_ = true;
};

// Serves the interface thread until the view has taken in `count` outcomes.
bool WaitForMessages(CPictoraView& view, int& handled, int count) {
    QElapsedTimer timer;
    timer.start();
    while (handled < count && timer.elapsed() < 120000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    while (!view.Worker().IsIdle() && timer.elapsed() < 120000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    return handled >= count;
}

std::unique_ptr<CMainFrame> MakeFrame(ScriptedDialogs::Script& script, int& handled) {
    auto frame = std::make_unique<CMainFrame>(std::make_unique<ScriptedDialogs>(script));
    frame->setWindowTitle(QStringLiteral("Pictora por Quintar"));
    QObject::connect(frame->View(), &CPictoraView::OutcomeHandled, [&handled] { ++handled; });
    frame->show();
    return frame;
}

void Press(QWidget& widget, Qt::Key key) {
    QKeyEvent press(QEvent::KeyPress, key, Qt::NoModifier);
    QApplication::sendEvent(&widget, &press);
}

// Serves the interface thread until `done` holds (or two minutes pass).
template <typename Condition>
bool WaitFor(Condition done) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < 120000) QApplication::processEvents(QEventLoop::AllEvents, 50);
    return done();
}

// The viewer on the trained sample: every mode at 4x about the middle of the
// picture, where the petals' edges are (the Butteraugli map once the study
// thread has worked it out), then a reference codec beside it.
bool SaveComparison(Session& shots, CPictoraView& view) {
    view.OnCompareImages();
    ComparisonViewer& viewer = *view.Viewer();
    viewer.resize(1000, 640);
    viewer.SetMode(ComparisonMode::kSideBySide);
    QApplication::processEvents();
    Press(viewer, Qt::Key_1);
    for (int step = 0; step < 3; ++step) Press(viewer, Qt::Key_Plus);
    shots.Save(viewer, "11-compare-side-by-side");
    viewer.SetMode(ComparisonMode::kSplit);
    shots.Save(viewer, "11-compare-split");
    viewer.SetMode(ComparisonMode::kDifference);
    viewer.SetDifference(8, DifferenceStyle::kFalseColour);
    shots.Save(viewer, "11-compare-difference");
    viewer.SetMode(ComparisonMode::kSsimMap);
    shots.Save(viewer, "11-compare-ssim-map");
    viewer.SetMode(ComparisonMode::kButteraugliMap);
    if (!WaitFor([&] { return viewer.FirstPane()->Note().isEmpty(); })) return false;
    shots.Save(viewer, "11-compare-butteraugli-map");
    viewer.SetMode(ComparisonMode::kSideBySide);
    viewer.SelectResult(ResultChoice::kJpeg);
    if (!WaitFor([&] { return !viewer.SecondPane()->Picture().isNull() || (!viewer.SecondPane()->Note().isEmpty() &&
                                  viewer.SecondPane()->Note() != QString::fromUtf8("Codificando…")); }))
        return false;
    shots.Save(viewer, "11-compare-jpeg");
    viewer.SelectResult(ResultChoice::kReconstruction);
    viewer.close();
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: pictora-screenshots OUTPUT_FOLDER SAMPLE.png\n");
        return 2;
    }
    const QString folder = QString::fromLocal8Bit(argv[1]);
    const QString sample = QString::fromLocal8Bit(argv[2]);
    QDir().mkpath(folder);
    Session shots(folder);
    QTemporaryDir work;

    ScriptedDialogs::Script script;
    int handled = 0;
    auto frame = MakeFrame(script, handled);
    CPictoraView& view = *frame->View();
    const CPictoraView::Controls& controls = view.GetControls();
    shots.Save(*frame, "01-start");
    MqSplash splash(frame.get());
    splash.show();
    shots.Save(splash, "02-splash");
    splash.hide();
    CAboutDlg about(frame.get());
    about.show();
    shots.Save(about, "03-about");
    about.hide();

    script.openAnswers.push_back({sample});
    view.OnFileOpen();
    if (!WaitFor([&] { return view.BusyText().isEmpty(); })) return 1;  // read on the worker
    shots.Save(*frame, "04-sample-loaded");

    for (auto* field : controls.steps) field->setText(QStringLiteral("3"));
    view.StartOrStop();
    if (!WaitForMessages(view, handled, 3)) return 1;
    shots.Save(*frame, "05-three-steps");
    for (int tab = 0; tab < 4; ++tab) {
        controls.sourceTabs->setCurrentIndex(tab);
        shots.Save(*frame, QStringLiteral("06-source-tab-%1").arg(tab));
    }
    for (int tab = 0; tab < 4; ++tab) {
        controls.codedTabs->setCurrentIndex(tab);
        shots.Save(*frame, QStringLiteral("07-coded-tab-%1").arg(tab));
    }
    controls.sourceTabs->setCurrentIndex(0);
    for (int tab = 1; tab < 5; ++tab) {
        controls.resultsTabs->setCurrentIndex(tab);
        shots.Save(*frame, QStringLiteral("08-chart-%1").arg(tab));
    }
    controls.resultsTabs->setCurrentIndex(0);

    CDialogOrdemCodeBook order(frame.get());
    // Names without the temporary folder, so every session shows the same picture.
    order.SetFiles(QStringLiteral("c.cod"), QStringLiteral("b.cod"), QStringLiteral("a.cod"));
    order.show();
    shots.Save(order, "09-codebook-order-dialog");
    order.hide();

    const QString huffman = work.filePath("sample.huf");
    script.saveAnswers.push_back(huffman);
    view.OnFileSave();
    if (!WaitFor([&] { return view.BusyText().isEmpty(); })) return 1;  // written on the worker
    ScriptedDialogs::Script readerScript;
    int readerHandled = 0;
    auto reader = MakeFrame(readerScript, readerHandled);
    readerScript.openAnswers.push_back({huffman});
    reader->View()->OnFileOpen();
    if (!WaitForMessages(*reader->View(), readerHandled, 1)) return 1;
    shots.Save(*reader, "10-decoded-huf");
    reader.reset();

    if (!SaveComparison(shots, view)) return 1;
    controls.resultsList->horizontalScrollBar()->setValue(controls.resultsList->horizontalScrollBar()->maximum());
    shots.Save(*controls.resultsList, "12-results-measure-columns");
    controls.resultsTabs->setCurrentIndex(5);
    if (!WaitFor([&] { return view.ReferenceCurves().size() == 4; })) return 1;
    shots.Save(*frame, "13-rd-chart-psnr");
    controls.rdQuality->setCurrentIndex(1);
    shots.Save(*frame, "13-rd-chart-msssim");
    controls.rdQuality->setCurrentIndex(0);
    controls.resultsTabs->setCurrentIndex(0);

    QMenu* fileMenu = frame->menuBar()->actions().first()->menu();
    fileMenu->popup(frame->mapToGlobal(QPoint(0, frame->menuBar()->height())));
    shots.Save(*fileMenu, "14-file-menu");
    fileMenu->hide();
    const QString exported = QDir(folder).filePath("14-export.csv");
    QFile::remove(exported);
    script.saveAnswers.push_back(exported);
    view.OnExportResults();
    std::printf("%s %s\n", QFile::exists(exported) ? "saved" : "FAILED", exported.toLocal8Bit().constData());
    return shots.Ok() && QFile::exists(exported) ? 0 : 1;
}
