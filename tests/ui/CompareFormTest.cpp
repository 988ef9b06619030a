#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QHeaderView>
#include <QMenuBar>
#include <QProcess>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <atomic>
#include <thread>

#include "display/ButteraugliOverlay.h"
#include "display/MqGrafico.h"
#include "display/RdChartView.h"
#include "display/ViewImageConversion.h"
#include "report/ResultsViews.h"
#include "image/PngImage.h"
#include "measures/Butteraugli.h"
#include "support/NumberText.h"
#include "ui/ButteraugliLegend.h"
#include "ui/CMainFrame.h"
#include "ui/ComparisonPane.h"
#include "ui/ComparisonViewer.h"
#include "ui/FormHarness.h"

using namespace pictora;
using pictora::testing::Data;
using pictora::testing::FinishFileTaskOf;
using pictora::testing::Form;
using pictora::testing::LoadInto;
using pictora::testing::TempFolder;

namespace {

ViewImage ShownResult(const ComparisonViewer& viewer) { return ViewImageOf(viewer.SecondPane()->Picture()); }

// Waits until the viewer has answered the selected reference (or given up).
bool WaitForReference(Form& form) {
    return QTest::qWaitFor(
        [&] {
            const QString note = form.view->Viewer()->SecondPane()->Note();
            return !form.view->Viewer()->SecondPane()->Picture().isNull() || note.contains(QString::fromUtf8("não"));
        },
        120000);
}

QAction* MenuAction(CMainFrame& frame, const QString& prefix) {
    for (QAction* menu : frame.menuBar()->actions())
        for (QAction* item : menu->menu()->actions())
            if (item->text().startsWith(prefix)) return item;
    return nullptr;
}

}  // namespace

class CompareFormTest : public QObject {
    Q_OBJECT

private slots:
    // The viewer keeps its mode in the settings; the tests' own stay apart
    // from the user's and start side by side.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        ComparisonViewer viewer;
        viewer.SetMode(ComparisonMode::kSideBySide);
        viewer.close();
    }

    void theMenuOpensOneViewerAndItsAcceleratorsAreFree() {
        ScriptedDialogs::Script script;
        CMainFrame frame(std::make_unique<ScriptedDialogs>(script));
        QAction* compare = MenuAction(frame, QString::fromUtf8("&Comparar imagens..."));
        QAction* exportResults = MenuAction(frame, QString::fromUtf8("&Exportar resultados..."));
        QVERIFY(compare && exportResults);
        QVERIFY(compare->text().endsWith("\tCtrl+K"));
        QVERIFY(exportResults->text().endsWith("\tCtrl+E"));
        // Without an image there is nothing to compare: no window.
        compare->trigger();
        QVERIFY(frame.View()->Viewer() == nullptr);
        QVERIFY(LoadInto(*frame.View(), Data("photo64-a.png")));
        compare->trigger();
        ComparisonViewer* viewer = frame.View()->Viewer();
        QVERIFY(viewer && viewer->isVisible());
        viewer->close();
        compare->trigger();
        QCOMPARE(frame.View()->Viewer(), viewer);  // raised again, not a second one
        QVERIFY(viewer->isVisible());
        // Events posted for the frame and the viewer are delivered; none may
        // reach the form once it is being taken apart.
        QCoreApplication::sendPostedEvents();
    }

    void theReconstructionShownIsTheCompressorsWithItsMeasures() {
        Form form;
        QVERIFY(form.Train("photo64-a.png"));
        form.view->OnCompareImages();
        ComparisonViewer& viewer = *form.view->Viewer();
        QCOMPARE(viewer.SelectedResult(), ResultChoice::kReconstruction);
        const ViewImage expected = ViewImageOf(form.view->Compressor().ReconstructedImage());
        QVERIFY(!expected.Empty());
        QVERIFY(ShownResult(viewer).rgb == expected.rgb);
        const StepResult& step = form.view->History().back();
        QVERIFY(viewer.MeasuresText().contains(QString::fromStdString(FormatC("%.2f", step.figures.quality.psnrMean))));
        // A second step replaces what the viewer shows, the zoom kept.
        viewer.SetMode(ComparisonMode::kSideBySide);
        const int before = form.handled->count();
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QVERIFY(form.WaitUntilIdleAfter(before + 1));
        QVERIFY(ShownResult(viewer).rgb == ViewImageOf(form.view->Compressor().ReconstructedImage()).rgb);
    }

    void aDoubleClickOpensTheViewerAndLeavesNoZoomWindow() {
        for (bool coded : {false, true}) {
            Form form;
            QVERIFY(form.Train("photo64-b.png"));
            ImagePicture* picture = coded ? form.c().codedPicture : form.c().sourcePicture;
            form.view->show();
            QTest::mouseDClick(picture, Qt::LeftButton);
            QTRY_VERIFY(picture->Zoom() == nullptr);
            QVERIFY(form.view->Viewer() != nullptr);
            QVERIFY(form.view->Viewer()->isVisible());
            // A single click still opens the zoom window.
            QTest::mouseClick(picture, Qt::LeftButton);
            QVERIFY(picture->Zoom() != nullptr);
        }
    }

    void aReferenceTooLargeForTheCodedSizeIsTold() {
        Form form;
        QVERIFY(form.Train("photo64-c.png"));  // a coded image of some 280 bytes
        form.view->OnCompareImages();
        form.view->Viewer()->SelectResult(ResultChoice::kJpeg);
        QVERIFY(WaitForReference(form));
        QVERIFY(form.view->Viewer()->SecondPane()->Note().startsWith(
            QString::fromUtf8("JPEG não consegue codificar a imagem em %1 bytes ou menos.")
                .arg(form.view->Compressor().Rate().Total())));
    }

    void aReferenceIsEncodedOnTheWorkerAtTheCodedSize() {
        Form form;
        QVERIFY(form.Train("photo500-tiger.png"));
        form.view->OnCompareImages();
        ComparisonViewer& viewer = *form.view->Viewer();
        const int before = form.handled->count();
        std::shared_ptr<const StudyReport> report;
        QObject::connect(form.view.get(), &CPictoraView::StudyArrived, form.view.get(),
                         [&report](std::shared_ptr<const StudyReport> arrived) { report = std::move(arrived); });
        viewer.SelectResult(ResultChoice::kJpeg);
        QCOMPARE(viewer.SecondPane()->Note(), QString::fromUtf8("Codificando…"));
        QVERIFY(form.WaitForMessages(before + 1));
        QVERIFY(WaitForReference(form));
        const ViewImage shown = ShownResult(viewer);
        QVERIFY2(!shown.Empty(), qPrintable(viewer.SecondPane()->Note()));
        QCOMPARE(shown.width, 500);
        QCOMPARE(shown.height, 500);
        const std::uint64_t coded = form.view->Compressor().Rate().Total();
        QTRY_VERIFY(report);  // queued after the form's own handler
        const StudyOutcome& outcome = report->outcome;
        QVERIFY(outcome.atSize.fits);
        QVERIFY(outcome.atSize.figures.bytes <= coded);
        QCOMPARE(outcome.job.targetBytes, coded);
        QVERIFY(viewer.MeasuresText().contains(
            QString::fromStdString(FormatC("%.2f", outcome.atSize.figures.quality.psnrMean))));
        // Asked again, it comes from the cache at once: no new study.
        viewer.SelectResult(ResultChoice::kReconstruction);
        viewer.SelectResult(ResultChoice::kJpeg);
        QVERIFY(form.view->Studies().IsIdle());
        QVERIFY(ShownResult(viewer).rgb == shown.rgb);
    }

    void closingTheViewerWhileAReferenceEncodesIsSafe() {
        auto form = std::make_unique<Form>();
        QVERIFY(form->Train("photo500-tiger.png"));
        form->view->OnCompareImages();
        const int before = form->handled->count();
        form->view->Viewer()->SelectResult(ResultChoice::kAvif);
        QVERIFY(!form->view->Studies().IsIdle());
        form->view->Viewer()->close();
        QVERIFY(form->WaitUntilIdleAfter(before + 1));  // the hidden viewer takes it
        form->view->OnCompareImages();
        QVERIFY(!ShownResult(*form->view->Viewer()).Empty());
        // And the form may go away while one runs.
        form->view->Viewer()->SelectResult(ResultChoice::kJpegXl);
        QVERIFY(!form->view->Studies().IsIdle());
        form.reset();
    }

    // The main window goes away with a decoded file's outcome still queued
    // for the form and a reference encoding: neither is waited for, and
    // nothing is delivered to the form once it is gone.
    void destroyingTheMainWindowWithOutcomesQueuedAndAStudyUnderWay() {
        TempFolder folder;
        ScriptedDialogs::Script script;
        auto frame = std::make_unique<CMainFrame>(std::make_unique<ScriptedDialogs>(script));
        CPictoraView& view = *frame->View();
        QSignalSpy handled(&view, &CPictoraView::OutcomeHandled);
        QSignalSpy fileTasks(&view, &CPictoraView::FileTaskEnded);
        QVERIFY(LoadInto(view, Data("photo500-tiger.png")));
        QTest::mouseClick(view.GetControls().start, Qt::LeftButton);
        QTRY_VERIFY_WITH_TIMEOUT(handled.count() == 1 && view.Worker().IsIdle(), 60000);
        const QString coded = QString::fromStdString(folder.File("tiger.mqc"));
        script.saveAnswers.push_back(coded);
        view.OnFileSave();
        QVERIFY(FinishFileTaskOf(view, fileTasks));

        view.OnCompareImages();
        view.Viewer()->SelectResult(ResultChoice::kAvif);
        QVERIFY(!view.Studies().IsIdle());
        // Told on the worker's own thread, after the form's queued delivery
        // has been posted.
        std::atomic<bool> handedOver{false};
        QObject::connect(&view, &CPictoraView::OutcomeArrived, &view, [&] { handedOver = true; },
                         Qt::DirectConnection);
        script.openAnswers.push_back({coded});
        view.OnFileOpen();
        while (!handedOver) std::this_thread::yield();
        QCOMPARE(handled.count(), 1);  // the decode's outcome waits in the queue
        frame.reset();
        QCoreApplication::sendPostedEvents();
    }

    // A new start during a study does not wait for it: the step is shown, and
    // the reference the viewer asked for is encoded for the new result once
    // the run has ended.
    void aStartDuringAStudyRunsTheStepAtOnce() {
        Form form;
        QVERIFY(form.Train("photo500-tiger.png"));
        form.view->OnCompareImages();
        ComparisonViewer& viewer = *form.view->Viewer();
        viewer.SelectResult(ResultChoice::kAvif);
        QVERIFY(!form.view->Studies().IsIdle());
        const int before = form.handled->count();
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QVERIFY(form.WaitForMessages(before + 1));
        QCOMPARE(form.c().resultsList->topLevelItemCount(), 1);
        QTRY_COMPARE(form.c().start->text(), QString::fromUtf8("Aplicar Rede Neural à Imagem"));
        viewer.SelectResult(ResultChoice::kReconstruction);
        viewer.SelectResult(ResultChoice::kJpeg);
        QVERIFY(WaitForReference(form));
        QTRY_VERIFY_WITH_TIMEOUT(form.view->Studies().IsIdle(), 120000);
    }

    // The map is worked out on the study thread for the result shown, and its
    // largest distance is the library's max norm of the very same pair.
    void theButteraugliMapOfEachResultIsWorkedOutOnTheStudyThread() {
        Form form;
        QVERIFY(form.Train("photo500-tiger.png"));
        form.view->OnCompareImages();
        ComparisonViewer& viewer = *form.view->Viewer();
        viewer.SetMode(ComparisonMode::kButteraugliMap);
        QCOMPARE(viewer.FirstPane()->Note(), QString::fromUtf8("Calculando o mapa Butteraugli…"));
        QVERIFY(!form.view->Studies().IsIdle());
        viewer.SetMode(ComparisonMode::kSplit);  // away and back while it is worked out
        viewer.SetMode(ComparisonMode::kButteraugliMap);
        QTRY_VERIFY_WITH_TIMEOUT(viewer.Legend()->isVisible(), 120000);
        QVERIFY(viewer.FirstPane()->Note().isEmpty());
        const auto distance = MeasureButteraugli(*form.view->Compressor().SourceImage().rgb,
                                                 form.view->Compressor().ReconstructedImage());
        QVERIFY(distance);
        const QString caption = viewer.FirstPane()->Caption();
        QVERIFY2(caption.endsWith(QString::fromUtf8("(máx. %1)").arg(QString::fromStdString(FormatC("%.2f", distance->maxNorm)))),
                 qPrintable(caption));
        const ButteraugliScale scale = ButteraugliScaleOf(distance->maxNorm);
        QCOMPARE(viewer.Legend()->Labels().front(), QString::fromStdString(scale.Label(scale.Top())));
        QCOMPARE(viewer.Legend()->Labels().back(), QStringLiteral("0"));

        // A reference codec's file is encoded first, then mapped.
        viewer.SelectResult(ResultChoice::kJpeg);
        QTRY_VERIFY_WITH_TIMEOUT(viewer.Legend()->isVisible() && viewer.FirstPane()->Caption().contains("JPEG q"), 180000);
        QTRY_VERIFY_WITH_TIMEOUT(form.view->Studies().IsIdle(), 60000);
    }

    // Closing the viewer, a new start, a new image and the form going away
    // all may come while a map is worked out.
    void aButteraugliMapUnderWayIsGivenUpOrKeptSafely() {
        auto form = std::make_unique<Form>();
        QVERIFY(form->Train("photo500-tiger.png"));
        form->view->OnCompareImages();
        form->view->Viewer()->SetMode(ComparisonMode::kButteraugliMap);
        QVERIFY(!form->view->Studies().IsIdle());
        const int trained = form->handled->count();
        form->view->Viewer()->close();
        QVERIFY(form->WaitForMessages(trained + 1));  // the hidden viewer takes it
        form->view->OnCompareImages();
        QVERIFY(form->view->Viewer()->Legend()->isVisible());

        // A new step: the old map is stale, the new result's is asked for once the run ends.
        const int before = form->handled->count();
        QTest::mouseClick(form->c().start, Qt::LeftButton);
        QVERIFY(form->WaitUntilIdleAfter(before + 1));
        QTRY_VERIFY_WITH_TIMEOUT(form->view->Viewer()->Legend()->isVisible(), 120000);
        QCOMPARE(form->view->Viewer()->FirstPane()->Caption().left(12), QStringLiteral("Butteraugli:"));

        // A new image while the next step's map is under way: nothing of
        // the old image is shown.
        bool asked = false;
        QObject::connect(form->view->Viewer(), &ComparisonViewer::ButteraugliMapRequested, form->view.get(),
                         [&asked] { asked = true; });
        QTest::mouseClick(form->c().start, Qt::LeftButton);
        QVERIFY(form->WaitUntilIdleAfter(before + 2));
        QVERIFY(asked);
        form->Open({Data("photo64-a.png")});
        QTRY_VERIFY_WITH_TIMEOUT(form->view->Studies().IsIdle(), 120000);
        QTest::qWait(200);  // a late report of the old image would arrive by now
        QVERIFY(!form->view->Viewer()->Legend()->isVisible());
        QVERIFY(form->view->Viewer()->FirstPane()->Note().contains(QString::fromUtf8("Ainda não há imagem codificada")));

        // And the form may go away while one runs: the new result's map is
        // asked for as the step's outcome is shown.
        QVERIFY(form->Train("photo500-tiger.png"));
        form.reset();
    }

    void theNewColumnsShowBppAndTheSimilarities() {
        Form form;
        QVERIFY(form.Train("photo500-tiger.png"));
        QTreeWidget* list = form.c().resultsList;
        QCOMPARE(list->columnCount(), 18);
        QCOMPARE(list->headerItem()->text(15), QString("bpp"));
        QCOMPARE(list->headerItem()->text(16), QString("SSIM"));
        QCOMPARE(list->headerItem()->text(17), QString("MS-SSIM"));
        const StepResult& step = form.view->History().back();
        QCOMPARE(form.Cell(0, 15), QString::fromStdString(FormatC("%.4f", step.figures.bpp)));
        QVERIFY(step.figures.similarity.ssim && step.figures.similarity.msSsim);
        QVERIFY(form.Cell(0, 16).startsWith("0."));
        QVERIFY(form.Cell(0, 17).startsWith("0."));
        const auto widths = ResultsColumnWidths(list->contentsRect().width());
        int total = 0;
        for (int column = 0; column < 18; ++column) {
            QCOMPARE(list->columnWidth(column), widths[static_cast<std::size_t>(column)]);
            total += list->columnWidth(column);
            // Every text of the step fits its column.
            QVERIFY2(list->fontMetrics().horizontalAdvance(form.Cell(0, column)) < list->columnWidth(column),
                     qPrintable(QString::number(column)));
        }
        QVERIFY(total <= list->contentsRect().width());
        // MS-SSIM is undefined under 176 pixels a side: "—".
        Form small;
        QVERIFY(small.Train("photo64-a.png"));
        QCOMPARE(small.Cell(0, 17), QString::fromUtf8("—"));
    }

    void exportWritesWhatTrainWrites() {
        TempFolder folder;
        Form form;
        form.Open({Data("photo64-d.png")});
        form.SetSteps("2", "2", "2");
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QVERIFY(form.WaitUntilIdleAfter(2));
        QCOMPARE(form.view->History().size(), std::size_t{2});
        const QString exported = QString::fromStdString(folder.File("form.csv"));
        form.dialogs.saveAnswers.push_back(exported);
        form.view->OnExportResults();
        QVERIFY(form.dialogs.messages.empty());

        const QString written = QString::fromStdString(folder.File("cli.csv"));
        QProcess cli;
        cli.start(PICTORA_CLI, {"train", Data("photo64-d.png"), "--steps", "2", "--results", written});
        QVERIFY(cli.waitForFinished(120000));
        QCOMPARE(cli.exitCode(), 0);
        QFile a(exported), b(written);
        QVERIFY(a.open(QIODevice::ReadOnly) && b.open(QIODevice::ReadOnly));
        const QByteArray formText = a.readAll();
        QCOMPARE(formText.split('\n'), b.readAll().split('\n'));
        QCOMPARE(formText.count('\n'), qsizetype{3});

        // A folder that does not exist is told, in Portuguese.
        form.dialogs.saveAnswers.push_back(QString::fromStdString(folder.File("absent/x.csv")));
        form.view->OnExportResults();
        QVERIFY(form.LastMessage().startsWith(QString::fromUtf8("Não foi possível exportar os resultados")));
    }

    void theRateDistortionTabShowsTheRunAndThenTheReferences() {
        Form form;
        QVERIFY(form.Train("photo64-b.png"));
        RdChartView* chart = form.c().rdChart;
        form.c().resultsTabs->setCurrentIndex(5);
        QVERIFY(!form.c().rdPanel->isHidden());
        QVERIFY(form.c().resultsList->isHidden());
        // Before the ladders: the run alone, and the title says they are coming.
        QCOMPARE(chart->Model().series.size(), std::size_t{1});
        QCOMPARE(chart->Model().series[0].points.size(), std::size_t{1});
        QVERIFY(QString::fromStdString(chart->Model().title).contains(QString::fromUtf8("codificando")));
        QTRY_VERIFY_WITH_TIMEOUT(form.view->ReferenceCurves().size() == 4, 120000);
        QCOMPARE(chart->Model().series.size(), std::size_t{5});
        QCOMPARE(chart->Model().series[1].name, std::string("JPEG"));
        QCOMPARE(chart->Model().yLabel, std::string("pSNR (dB)"));
        // MS-SSIM is undefined on a 64 x 64 image: nothing left to draw.
        form.c().rdQuality->setCurrentIndex(1);
        QCOMPARE(chart->Model().yLabel, std::string("MS-SSIM"));
        QVERIFY(chart->Model().series.empty());
        // Back to the list; the other tabs are as they were.
        form.c().resultsTabs->setCurrentIndex(0);
        QVERIFY(!form.c().resultsList->isHidden());
        QVERIFY(form.c().rdPanel->isHidden());
        form.c().resultsTabs->setCurrentIndex(4);
        QVERIFY(!form.c().chart->isHidden());
        QVERIFY(form.c().rdPanel->isHidden());
    }

    void aOneByOneImageComparesWithoutMeasuresThatNeedWindows() {
        TempFolder folder;
        const std::string path = folder.File("one.png");
        RgbImage one;
        one.height = one.width = 1;
        for (Plane* plane : {&one.red, &one.green, &one.blue}) {
            plane->Allocate(1, 1);
            (*plane)[0][0] = 200;
        }
        QVERIFY(WritePngFile(one, PngPlanes::Rgb, path));
        Form form;
        form.Open({QString::fromStdString(path)});
        form.c().blockSize[0]->setCurrentIndex(0);
        form.view->OnCompareImages();
        ComparisonViewer& viewer = *form.view->Viewer();
        QVERIFY(viewer.SecondPane()->Note().contains(QString::fromUtf8("Ainda não há imagem codificada")));
        viewer.SelectResult(ResultChoice::kWebP);
        QVERIFY(viewer.SecondPane()->Note().contains(QString::fromUtf8("Ainda não há imagem codificada")));
        form.c().resultsTabs->setCurrentIndex(5);
        QTRY_VERIFY_WITH_TIMEOUT(form.view->Studies().IsIdle() && form.handled->count() >= 1, 60000);
    }
};

QTEST_MAIN(CompareFormTest)
#include "CompareFormTest.moc"
