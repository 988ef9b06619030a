#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>

#include "common/Jobs.h"
#include "display/MqGrafico.h"
#include "ui/CMainFrame.h"
#include "ui/CPictoraView.h"
#include "common/SyntheticPng.h"
#include "support/FileIO.h"
#include "ui/FormHarness.h"

using namespace pictora;
using pictora::testing::Data;
using pictora::testing::Form;
using pictora::testing::TempFolder;

namespace {

TrainingJob Job(std::array<std::uint32_t, 3> passes, bool restart) {
    return pictora::testing::MakeJob(ColorSpace::Rgb, 8, passes, restart);
}

}  // namespace

class FormTest : public QObject {
    Q_OBJECT

private slots:
    // The main frame reads the kept settings: the tests' own, not the user's.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }

    void defaultsBeforeAndAfterAnImage() {
        Form form;
        QCOMPARE(form.StepsText(), QString("1,1,1"));
        QCOMPARE(form.c().radius[1]->text(), QString("0.1"));
        QCOMPARE(form.c().alfa[2]->text(), QString("0.1"));
        QCOMPARE(form.c().widthField->text(), QString());
        QCOMPARE(form.c().colourSpace->currentText(), QString::fromUtf8("Espaço de Cores"));
        QCOMPARE(form.c().colourSpace->count(), 4);
        QCOMPARE(form.c().lossless->currentIndex(), -1);
        QCOMPARE(form.c().lossless->count(), 4);
        QCOMPARE(form.c().lossless->itemText(3), QString("Contextual"));
        QCOMPARE(form.c().blockSize[0]->count(), 0);
        QCOMPARE(form.c().filterType->count(), 0);
        QCOMPARE(form.c().start->text(), QString::fromUtf8("Aplicar Rede Neural  à Imagem"));
        QCOMPARE(form.c().sourceTabs->tabText(2), QString("G/Cb"));
        QCOMPARE(form.c().codedTabs->tabText(3), QString("B"));
        QCOMPARE(form.c().sourcePicture->Title(), QString("Original"));
        QVERIFY(!form.c().resultsList->isHidden());  // the list, not the chart, is shown first
        QVERIFY(form.c().chart->isHidden());

        QVERIFY(form.Load(Data("photo64-a.png")));
        QCOMPARE(form.c().blockSize[2]->count(), 11);
        QCOMPARE(form.c().blockSize[0]->currentText(), QString("8 X 8"));
        QCOMPARE(form.c().blockSize[1]->itemText(10), QString("12 X 12"));
        QCOMPARE(form.c().filterType->currentText(), QString::fromUtf8("Não Filtrar"));
        QCOMPARE(form.c().widthField->text(), QString("64"));
        QCOMPARE(form.c().heightField->text(), QString("64"));
        QVERIFY(form.c().sourcePicture->Bitmap() != nullptr);
        QVERIFY(form.view->Flags().imageReloaded);

        form.c().filterType->setCurrentIndex(1);
        emit form.c().filterType->activated(1);
        QCOMPARE(form.c().filterSize->count(), 4);
        QCOMPARE(form.c().filterSize->currentText(), QString("3 x 3"));
    }

    void aFailedLoadTellsTheUserAndKeepsTheForm() {
        Form form;
        QVERIFY(form.Load(Data("photo64-b.png")));
        QVERIFY(!form.Load(Data("refuse/palette-64.png")));
        QCOMPARE(form.dialogs.messages.size(), std::size_t(1));
        QVERIFY(form.dialogs.messages[0].contains("palette-64.png"));
        QCOMPARE(form.c().widthField->text(), QString("64"));
    }

    void stepsThreeOneOneAddThreeRowsAndCountDown() {
        Form form;
        QVERIFY(form.Load(Data("photo64-c.png")));
        form.SetSteps("3", "1", "1");
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QCOMPARE(form.c().start->text(), QString("Parar"));
        QVERIFY(form.WaitForMessages(1));
        QCOMPARE(form.StepsText(), QString("1,0,0"));
        QVERIFY(form.WaitForMessages(3));
        QTRY_VERIFY(form.view->Worker().IsIdle());
        QCOMPARE(form.StepsText(), QString("0,0,0"));
        QCOMPARE(form.c().start->text(), QString::fromUtf8("Aplicar Rede Neural à Imagem"));
        QCOMPARE(form.c().resultsList->topLevelItemCount(), 3);

        // The rows hold what the engine computes for the same three jobs.
        ImageCompressor engine;
        QVERIFY(engine.LoadImage(pictora::testing::TestData("photo64-c.png")));
        const std::array<std::array<std::uint32_t, 3>, 3> passes = {{{1, 1, 1}, {1, 0, 0}, {1, 0, 0}}};
        for (int step = 0; step < 3; ++step) {
            QVERIFY(engine.TrainAndCode(Job(passes[static_cast<std::size_t>(step)], step == 0)));
            const ResultsRow row = FormatResultsRow(engine.Result(StepOrigin::TrainingStep, step + 1));
            for (int column = 0; column < kResultsColumnCount; ++column)
                QCOMPARE(form.Cell(step, column), QString::fromStdString(row[static_cast<std::size_t>(column)]));
        }
    }

    void aStopPausesAfterTheStepAndAClickResumes() {
        Form form;
        QVERIFY(form.Load(Data("photo64-d.png")));
        form.SetSteps("5", "0", "0");
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QVERIFY(form.WaitForMessages(1));
        QTest::mouseClick(form.c().start, Qt::LeftButton);  // during the second step
        QTest::mouseClick(form.c().start, Qt::LeftButton);  // twice behaves like once
        QCOMPARE(form.c().start->text(), QString("Parar"));
        QVERIFY(form.WaitForMessages(2));
        QTRY_VERIFY(form.view->Worker().IsIdle());
        QCOMPARE(form.c().start->text(), QString::fromUtf8("Aplicar Rede Neural à Imagem"));
        QCOMPARE(form.c().steps[0]->text(), QString("3"));
        QCOMPARE(form.c().resultsList->topLevelItemCount(), 2);
        const int neurons = form.view->Compressor().GetNeuronCount(0);

        QTest::mouseClick(form.c().start, Qt::LeftButton);  // resumes with restart 0
        QVERIFY(form.WaitForMessages(5));
        QTRY_VERIFY(form.view->Worker().IsIdle());
        QCOMPARE(form.c().resultsList->topLevelItemCount(), 5);
        QCOMPARE(form.Cell(4, 0), QString("5"));
        QVERIFY(form.view->Compressor().GetNeuronCount(0) >= neurons - neurons / 2);
        QVERIFY(form.view->Flags().needsReset);

        QTest::mouseClick(form.c().start, Qt::LeftButton);  // finished: a new run
        QVERIFY(form.WaitForMessages(6));
        QTRY_VERIFY(form.view->Worker().IsIdle());
        QCOMPARE(form.c().resultsList->topLevelItemCount(), 1);
        QCOMPARE(form.Cell(0, 0), QString("1"));
    }

    void sameParametersGreyOutAndCopyChannelZero() {
        Form form;
        QVERIFY(form.Load(Data("photo64-a.png")));
        QTest::mouseClick(form.c().sameParameters, Qt::LeftButton);
        QVERIFY(!form.c().steps[1]->isEnabled());
        QVERIFY(!form.c().blockSize[2]->isEnabled());
        QVERIFY(form.c().steps[0]->isEnabled());
        form.c().radius[0]->setText("0.25");
        form.c().blockSize[0]->setCurrentIndex(2);
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QCOMPARE(form.c().radius[2]->text(), QString("0.25"));
        QCOMPARE(form.c().blockSize[1]->currentIndex(), 2);
        QVERIFY(form.WaitForMessages(1));
        QCOMPARE(form.view->Compressor().Channel(2).Dimension(), 16u);
        QTRY_VERIFY(form.view->Worker().IsIdle());
        QTest::mouseClick(form.c().sameParameters, Qt::LeftButton);
        QVERIFY(form.c().steps[1]->isEnabled());
    }

    void anInvalidNumberIsToldAndStopsTheExchange() {
        Form form;
        form.c().alfa[0]->setText("abc");
        form.c().steps[1]->setText("7");
        QVERIFY(!form.view->ReadFields());
        QCOMPARE(form.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(form.view->Channels()[1].steps, 1u);  // after the bad field: not read
        form.c().alfa[0]->setText("0.5");
        QVERIFY(form.view->ReadFields());
        QCOMPARE(form.view->Channels()[1].steps, 7u);
        form.c().alfa[0]->setText("0.75");
        form.c().sourceTabs->setCurrentIndex(1);  // the tab handler writes the stored value back
        QCOMPARE(form.c().alfa[0]->text(), QString("0.5"));
    }

    // Users type numbers in their locale (pt_BR: "0,05") or with a point;
    // both are read, and the form shows them with a point as it always did.
    void decimalCommasAreReadAndNumbersShownWithAPoint() {
        Form form;
        QVERIFY(form.Load(Data("photo64-a.png")));
        form.c().radius[0]->setText("0,05");
        form.c().alfa[1]->setText(" 0.25 ");
        form.c().radius[2]->setText("1,5e-1");
        QVERIFY(form.view->ReadFields());
        QCOMPARE(form.view->Channels()[0].R, 0.05);
        QCOMPARE(form.view->Channels()[1].ALFA, 0.25);
        QCOMPARE(form.view->Channels()[2].R, 0.15);
        form.view->WriteFields();
        QCOMPARE(form.c().radius[0]->text(), QString("0.05"));
        form.c().alfa[0]->setText("0,1,2");
        QVERIFY(!form.view->ReadFields());

        // A step's row and chart values are the engine's, whatever the locale.
        form.c().alfa[0]->setText("0.1");
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QVERIFY(form.WaitUntilIdleAfter(1));
        QVERIFY(form.Cell(0, 5).contains('.'));
        QVERIFY(!form.Cell(0, 9).contains(','));
        QCOMPARE(form.view->History().size(), std::size_t(1));
        QCOMPARE(form.Cell(0, 5), QString::fromStdString(FormatResultsRow(form.view->History()[0])[5]));
    }

    // Moving the image tabs back after Open must not exchange the fields: an
    // edit not yet read stays, and an invalid one is not prompted for.
    void openingMovesTheTabsBackWithoutTheFieldExchange() {
        Form form;
        QVERIFY(form.Load(Data("photo64-a.png")));
        form.c().sourceTabs->setCurrentIndex(2);
        form.c().codedTabs->setCurrentIndex(3);
        form.c().alfa[0]->setText("abc");
        form.Open({});  // cancelled
        QCOMPARE(form.c().sourceTabs->currentIndex(), 0);
        QCOMPARE(form.c().codedTabs->currentIndex(), 0);
        QCOMPARE(form.c().alfa[0]->text(), QString("abc"));
        QVERIFY(form.dialogs.messages.empty());
        QCOMPARE(form.c().sourcePicture->Bitmap(), form.view->Displays().GetDisplay(DisplaySlot::SourceColour));
    }

    // The chart of trainings and wins plots the tallies handed over with the
    // last step, not the networks the next step is changing.
    void theTrainingChartUsesTheHandedOverTallies() {
        Form form;
        QVERIFY(form.Load(Data("photo64-a.png")));
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QVERIFY(form.WaitUntilIdleAfter(1));
        std::size_t neurons = 0;
        for (const auto& channel : form.view->Tallies()) neurons += channel.size();
        QCOMPARE(neurons, std::size_t(form.view->History().back().TotalNeurons()));
        QVERIFY(neurons > 0);
    }

    // A failure that repeats every step is told once per run, with its own
    // reason in Portuguese.
    void aRepeatedTrainingFailureIsToldOncePerRun() {
        TempFolder folder;
        QVERIFY(pictora::testing::CropPng(pictora::testing::TestData("photo64-a.png"), folder.File("small.png"), 10, 10));
        Form form;
        QVERIFY(form.Load(QString::fromStdString(folder.File("small.png"))));
        form.c().blockSize[0]->setCurrentIndex(10);  // 12 x 12 blocks do not fit 10 x 10
        form.SetSteps("3", "3", "3");
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QVERIFY(form.WaitUntilIdleAfter(3));
        QCOMPARE(form.dialogs.messages.size(), std::size_t(1));
        QVERIFY(form.LastMessage().contains(QString::fromUtf8("O bloco escolhido é maior que o plano do canal.")));
        QVERIFY(!form.LastMessage().contains("channel"));  // no English detail
        QCOMPARE(form.c().resultsList->topLevelItemCount(), 3);
    }

    // The frame is shrunk to the form: no empty band between the form and the
    // status bar.
    void theMainFrameFitsTheForm() {
        ScriptedDialogs::Script script;
        CMainFrame frame(std::make_unique<ScriptedDialogs>(script));
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        QCOMPARE(frame.centralWidget()->geometry().bottom() + 1, frame.statusBar()->geometry().top());
        QVERIFY(frame.height() <= CMainFrame::kFrameHeight);
        QCOMPARE(frame.centralWidget()->height(), frame.View()->height());
    }

    // Every caption of the form's check box shows whole at the default
    // window size, and it overlaps no other control.
    void theMaskCheckBoxHasRoomForItsCaption() {
        ScriptedDialogs::Script script;
        CMainFrame frame(std::make_unique<ScriptedDialogs>(script));
        frame.show();
        QVERIFY(QTest::qWaitForWindowExposed(&frame));
        const QCheckBox* box = frame.View()->GetControls().showCodebookMasks;
        QCOMPARE(box->text(), QString::fromUtf8("Visualizar CodeBook antes do treinamento"));
        QVERIFY2(box->width() >= box->sizeHint().width(),
                 qPrintable(QString("%1 < %2").arg(box->width()).arg(box->sizeHint().width())));
        QVERIFY(frame.View()->rect().contains(box->geometry()));
        for (const QWidget* other : frame.View()->findChildren<QWidget*>(Qt::FindDirectChildrenOnly)) {
            if (other == box || other->isHidden()) continue;
            QVERIFY2(!other->geometry().intersects(box->geometry()), other->metaObject()->className());
        }
    }

    void sourceTabsFollowTheColourSpaceAndMasks() {
        Form form;
        QVERIFY(form.Load(Data("photo64-b.png")));
        form.c().colourSpace->setCurrentIndex(3);
        form.c().sourceTabs->setCurrentIndex(2);
        QCOMPARE(form.c().sourcePicture->Bitmap(), form.view->Displays().GetDisplay(static_cast<DisplaySlot>(15)));
        form.c().colourSpace->setCurrentIndex(2);
        form.view->ShowSourceChannel();
        QCOMPARE(form.c().sourcePicture->Bitmap(), form.view->Displays().GetDisplay(static_cast<DisplaySlot>(13)));
        QTest::mouseClick(form.c().showCodebookMasks, Qt::LeftButton);  // no masks yet: still the plane
        QCOMPARE(form.c().sourcePicture->Bitmap(), form.view->Displays().GetDisplay(static_cast<DisplaySlot>(13)));
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QVERIFY(form.WaitForMessages(1));
        QCOMPARE(form.c().sourcePicture->Bitmap(), form.view->Displays().GetDisplay(static_cast<DisplaySlot>(5)));
        form.c().codedTabs->setCurrentIndex(1);
        QCOMPARE(form.c().codedPicture->Bitmap(), form.view->Displays().GetDisplay(static_cast<DisplaySlot>(0)));
    }

    // Start without an image is refused: a message, no row, no run.
    void startWithoutAnImageIsRefused() {
        Form form;
        form.view->StartOrStop();
        QCOMPARE(form.dialogs.messages.size(), std::size_t(1));
        QCOMPARE(form.LastMessage(), QString::fromUtf8("Inicialmente você precisa carregar uma imagem"));
        QCOMPARE(form.c().resultsList->topLevelItemCount(), 0);
        QCOMPARE(form.c().start->text(), QString::fromUtf8("Aplicar Rede Neural  à Imagem"));
        QVERIFY(form.view->Worker().IsIdle());
        QVERIFY(form.view->Flags().needsReset);
        QCOMPARE(form.StepsText(), QString("1,1,1"));

        QVERIFY(form.Load(Data("photo64-a.png")));  // and the next start runs as ever
        form.view->StartOrStop();
        QVERIFY(form.WaitUntilIdleAfter(1));
        QCOMPARE(form.c().resultsList->topLevelItemCount(), 1);
        QCOMPARE(form.dialogs.messages.size(), std::size_t(1));
    }

    // The image is read on the worker: until it is taken in, the window
    // shows the wait cursor and says so on the status line, and a start or
    // another load is refused; then both go back and the image is there.
    void aLoadingFormIsBusyAndRefusesAStart() {
        ScriptedDialogs::Script script;
        CMainFrame frame(std::make_unique<ScriptedDialogs>(script));
        CPictoraView& view = *frame.View();
        QSignalSpy ended(&view, &CPictoraView::FileTaskEnded);
        QCOMPARE(frame.statusBar()->currentMessage(), QString("Pronto"));
        QVERIFY(view.LoadImage(Data("photo500-tiger.png")));
        // Nothing the worker hands over is taken in before the event loop runs.
        QCOMPARE(view.cursor().shape(), Qt::WaitCursor);
        QCOMPARE(view.BusyText(), QString::fromUtf8("Carregando imagem..."));
        QCOMPARE(frame.statusBar()->currentMessage(), QString::fromUtf8("Carregando imagem..."));
        view.StartOrStop();
        QCOMPARE(script.messages.size(), std::size_t(1));
        QCOMPARE(script.messages.back(), QString::fromUtf8("Aguarde o fim do carregamento da imagem."));
        QVERIFY(!view.LoadImage(Data("photo64-a.png")));
        QCOMPARE(script.messages.size(), std::size_t(2));
        QCOMPARE(script.messages.back(), QString::fromUtf8("Aguarde o fim do carregamento da imagem."));
        QCOMPARE(view.GetControls().start->text(), QString::fromUtf8("Aplicar Rede Neural  à Imagem"));

        QVERIFY(ended.wait(60000));
        QCOMPARE(ended.count(), 1);
        QVERIFY(ended.last().at(0).toBool());
        QVERIFY(view.BusyText().isEmpty());
        QVERIFY(!view.testAttribute(Qt::WA_SetCursor));
        QCOMPARE(frame.statusBar()->currentMessage(), QString("Pronto"));
        QCOMPARE(view.GetControls().widthField->text(), QString("500"));
        QCOMPARE(view.InputPaths(), QStringList{Data("photo500-tiger.png")});
        QCOMPARE(script.messages.size(), std::size_t(2));
    }

    // Saving is busy the same way; a failure reaches the dialog once the
    // worker is done, never before.
    void aSavingFormIsBusyAndItsFailureIsToldWhenDone() {
        TempFolder folder;
        Form form;
        QVERIFY(form.Train("photo64-b.png"));
        form.dialogs.saveAnswers = {QString::fromStdString(folder.File("missing/b.mqc"))};
        form.view->OnFileSave();
        QCOMPARE(form.view->BusyText(), QString::fromUtf8("Salvando arquivo..."));
        QCOMPARE(form.view->cursor().shape(), Qt::WaitCursor);
        QVERIFY(form.dialogs.messages.empty());
        form.dialogs.saveAnswers = {QString::fromStdString(folder.File("b.cod"))};
        form.view->OnFileSave();  // a second save waits for the first
        QCOMPARE(form.LastMessage(), QString::fromUtf8("Aguarde o fim da gravação do arquivo."));
        QVERIFY(!form.view->LoadImage(Data("photo64-a.png")));
        QCOMPARE(form.LastMessage(), QString::fromUtf8("Aguarde o fim da gravação do arquivo."));
        QCOMPARE(form.dialogs.messages.size(), std::size_t(2));

        QVERIFY(!form.FinishFileTask());
        QVERIFY(form.view->BusyText().isEmpty());
        QCOMPARE(form.dialogs.messages.size(), std::size_t(3));
        QVERIFY(form.LastMessage().startsWith(QString::fromUtf8("Não foi possível salvar o arquivo \"")));
        QVERIFY(form.LastMessage().contains("missing/b.mqc"));
        QCOMPARE(FileSize(folder.File("b.cod")), std::int64_t(-1));
        form.Save(QString::fromStdString(folder.File("b.cod")));  // and the next save runs as ever
        QVERIFY(FileSize(folder.File("b.cod")) > 0);
        QCOMPARE(form.dialogs.messages.size(), std::size_t(3));
    }

    void loadingWhileAStepRunsIsRefusedAndQuittingIsClean() {
        auto form = std::make_unique<Form>();
        QVERIFY(form->Load(Data("photo500-tiger.png")));
        form->SetSteps("50", "50", "50");
        QTest::mouseClick(form->c().start, Qt::LeftButton);
        QVERIFY(form->WaitForMessages(1));
        QVERIFY(!form->view->LoadImage(Data("photo64-a.png")));
        QCOMPARE(form->dialogs.messages.size(), std::size_t(1));
        QVERIFY(form->dialogs.messages[0].startsWith(QString::fromUtf8("Aguarde")));
        form.reset();  // quits in the middle of the run: the worker stops and joins
    }
};

QTEST_MAIN(FormTest)
#include "CPictoraViewTest.moc"
