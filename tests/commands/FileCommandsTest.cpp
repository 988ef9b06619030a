#include <QComboBox>
#include <QDir>
#include <filesystem>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTabBar>
#include <QTest>
#include <QTreeWidget>
#include <QUrl>

#include "commands/CDialogOrdemCodeBook.h"
#include "support/FileIO.h"
#include "ui/CMainFrame.h"
#include "ui/CPictoraApp.h"
#include "ui/CPictoraView.h"
#include "ui/FormHarness.h"

using namespace pictora;
using pictora::testing::Data;
using pictora::testing::Form;

using pictora::testing::TempFolder;

namespace {

}  // namespace

class FileCommandsTest : public QObject {
    Q_OBJECT

private slots:
    void openingAPngRefillsTheLists() {
        Form form;
        form.Open({Data("photo64-a.png"), Data("photo64-b.png")});
        QCOMPARE(form.c().blockSize[1]->currentText(), QString("8 X 8"));
        QCOMPARE(form.c().filterType->currentText(), QString::fromUtf8("Não Filtrar"));
        QCOMPARE(form.c().widthField->text(), QString("64"));
        QVERIFY(form.view->Compressor().IsImageLoaded());
        QVERIFY(form.dialogs.messages.empty());
    }

    void everyKindSavedOpensBackAsTheTrainedPicture() {
        TempFolder folder;
        Form form;
        QVERIFY(form.Train("photo64-c.png"));
        const std::vector<std::uint8_t> trained = form.CodedPixels();
        for (const char* name :
             {"a.mqc", "b.huf", "c.art", "d.MQC", "e.HUF", "f.Art", "g.cod", "h.png", "i.PNG", "j.mqz", "k.png.mqc"}) {
            form.Save(QString::fromStdString(folder.File(name)));
            QVERIFY2(FileSize(folder.File(name)) > 0, name);
        }
        QVERIFY(form.dialogs.messages.empty());
        std::vector<std::uint8_t> lower, upper, doubled;
        QVERIFY(ReadWholeFile(folder.File("a.mqc"), lower));
        QVERIFY(ReadWholeFile(folder.File("d.MQC"), upper));
        QVERIFY(ReadWholeFile(folder.File("k.png.mqc"), doubled));
        QCOMPARE(upper, lower);
        QCOMPARE(doubled, lower);

        // Open tells a file's kind as Save does: by the last extension, whatever its case.
        for (const char* name : {"a.mqc", "b.huf", "c.art", "j.mqz", "d.MQC", "e.HUF", "f.Art", "k.png.mqc"}) {
            Form reader;  // a fresh form: decoding needs no source image
            reader.Open({QString::fromStdString(folder.File(name))});
            QVERIFY2(reader.WaitUntilIdleAfter(1), name);
            QVERIFY2(reader.dialogs.messages.empty(), name);
            reader.c().codedTabs->setCurrentIndex(0);
            reader.view->ShowCodedChannel();
            QCOMPARE(reader.CodedPixels(), trained);
            QCOMPARE(reader.c().resultsList->topLevelItem(0)->text(0), QString("---"));
        }
        Form viewer;
        viewer.Open({QString::fromStdString(folder.File("i.PNG"))});
        QVERIFY(viewer.dialogs.messages.empty());
        QVERIFY(viewer.view->Compressor().IsImageLoaded());
    }

    void codebooksApplyFromOneFileOrThreeInTheChosenOrder() {
        TempFolder folder;
        Form trainer;
        QVERIFY(trainer.Train("photo64-a.png"));
        const QString a = QString::fromStdString(folder.File("a.cod"));
        trainer.Save(a);

        Form form;
        form.Open({a});
        QCOMPARE(form.LastMessage(), QString::fromUtf8("Inicialmente você precisa carregar uma imagem"));
        form.Open({Data("photo64-b.png")});
        form.Open({a});
        QVERIFY(form.WaitUntilIdleAfter(1));
        QCOMPARE(form.c().resultsList->topLevelItemCount(), 1);
        QVERIFY(form.c().resultsList->topLevelItem(0)->text(1).contains("("));

        const QString b = QString::fromStdString(folder.File("b.cod"));
        const QString c = QString::fromStdString(folder.File("c.cod"));
        QVERIFY(QFile::copy(a, b) && QFile::copy(a, c));
        form.dialogs.orderAnswers.push_back({3, 3, 1});
        form.Open({a, b, c});
        QVERIFY(form.WaitUntilIdleAfter(2));
        QCOMPARE(form.dialogs.orderQuestions.back()[0], c);  // the last chosen feeds R/Y
        QCOMPARE(form.dialogs.orderQuestions.back()[2], a);
        const ImageCompressor& compressor = form.view->Compressor();
        QCOMPARE(compressor.GetNeuronCount(0) + compressor.GetPrunedCount(0),
                 trainer.view->Compressor().GetNeuronCount(2));
        QCOMPARE(compressor.GetNeuronCount(2) + compressor.GetPrunedCount(2),
                 trainer.view->Compressor().GetNeuronCount(0));
        QCOMPARE(form.c().resultsList->topLevelItemCount(), 2);

        form.Open({a, b});
        QVERIFY(form.LastMessage().startsWith(QString::fromUtf8("Inicialmente você deve selecionar 1 arquivo ou 3")));
        QVERIFY(form.LastMessage().endsWith(' '));
    }

    // The chosen sections decide the colour space of every channel by the
    // first: a mixture is applied as chosen, with a warning.
    void codebooksOfDifferentColourSpacesAreAppliedWithAWarning() {
        TempFolder folder;
        const QString rgb = QString::fromStdString(folder.File("rgb.cod"));
        const QString ycbcr = QString::fromStdString(folder.File("ycbcr.cod"));
        Form trainer;
        QVERIFY(trainer.Train("photo64-a.png"));
        trainer.Save(rgb);
        trainer.c().colourSpace->setCurrentIndex(3);  // YCbCr (4:2:0)
        trainer.SetSteps("1", "1", "1");
        QTest::mouseClick(trainer.c().start, Qt::LeftButton);
        QVERIFY(trainer.WaitUntilIdleAfter(2));
        trainer.Save(ycbcr);
        QVERIFY(trainer.dialogs.messages.empty());

        Form form;
        form.Open({Data("photo64-a.png")});
        form.Open({rgb, rgb, rgb});
        QVERIFY(form.WaitUntilIdleAfter(1));
        form.Open({ycbcr});
        QVERIFY(form.WaitUntilIdleAfter(2));
        QVERIFY2(form.dialogs.messages.empty(), qPrintable(form.LastMessage()));

        form.Open({rgb, ycbcr, rgb});  // G/Cb from the YCbCr file
        QVERIFY(form.WaitUntilIdleAfter(3));
        QCOMPARE(form.dialogs.messages.size(), std::size_t{1});
        QVERIFY(form.LastMessage().startsWith(
            QString::fromUtf8("Os codebooks escolhidos não são do mesmo espaço de cores")));
        QCOMPARE(form.c().resultsList->topLevelItemCount(), 3);  // applied all the same
    }

    void namesAndFilesThatCannotBeOpenedAreTold() {
        TempFolder folder;
        Form form;
        form.c().sourceTabs->setCurrentIndex(2);
        form.Open({});  // cancelled
        QCOMPARE(form.c().sourceTabs->currentIndex(), 0);
        QVERIFY(form.dialogs.messages.empty());
        for (const char* name : {"photo.bmp", "photo.mqc.bak", "photo.png.txt", "photo", "folder.mqc/photo"}) {
            form.dialogs.messages.clear();
            form.Open({QString::fromStdString(folder.File(name))});
            QCOMPARE(form.dialogs.messages.size(), std::size_t{1});
            QCOMPARE(form.LastMessage(), QString::fromUtf8("Arquivo Inválido"));
        }

        QVERIFY(form.Train("photo64-a.png"));
        const int rows = form.c().resultsList->topLevelItemCount();
        const std::vector<std::uint8_t> before = form.CodedPixels();
        std::vector<std::uint8_t> junk(300, 7);
        QVERIFY(WriteFileAtomically(folder.File("junk.mqc"), junk));
        form.Open({QString::fromStdString(folder.File("junk.mqc"))});
        QVERIFY(form.WaitUntilIdleAfter(2));
        QVERIFY(form.LastMessage().startsWith(QString::fromUtf8("Arquivo Inválido")));
        QVERIFY(form.LastMessage().contains("junk.mqc"));
        QCOMPARE(form.c().resultsList->topLevelItemCount(), rows);
        QCOMPARE(form.CodedPixels(), before);
        QVERIFY(WriteFileAtomically(folder.File("junk.mqz"), junk));
        form.Open({QString::fromStdString(folder.File("junk.mqz"))});
        QVERIFY(form.WaitUntilIdleAfter(3));
        QVERIFY(form.LastMessage().contains(QString::fromUtf8("danificado")));
        QVERIFY(form.LastMessage().contains("junk.mqz"));
        QCOMPARE(form.c().resultsList->topLevelItemCount(), rows);
        QCOMPARE(form.CodedPixels(), before);

        // A path of any length opens: this one is over 300 characters.
        const std::string deep = folder.File(std::string(200, 'x'));
        std::filesystem::create_directory(deep);
        const QString longName = QString::fromStdString(deep + "/" + std::string(120, 'y') + ".mqc");
        QVERIFY(longName.size() > 300);
        const std::size_t told = form.dialogs.messages.size();
        form.Save(longName);
        QCOMPARE(form.dialogs.messages.size(), told);
        form.Open({longName});
        QVERIFY(form.WaitUntilIdleAfter(4));
        QCOMPARE(form.dialogs.messages.size(), told);
        QCOMPARE(form.c().resultsList->topLevelItemCount(), rows + 1);
        QCOMPARE(form.CodedPixels(), before);
    }

    void aBusyWorkerIsTold() {
        Form form;
        form.Open({Data("photo500-tiger.png")});
        form.c().steps[0]->setText("20");
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QVERIFY(form.handled->wait(30000));  // step 2 is posted by now
        TempFolder folder;
        form.Open({Data("photo64-a.png").replace(".png", ".mqc")});
        QVERIFY(form.LastMessage().contains("ainda não terminou"));
        form.Save(QString::fromStdString(folder.File("busy.mqc")));
        QVERIFY(form.LastMessage().startsWith("Aguarde"));
        QCOMPARE(FileSize(folder.File("busy.mqc")), std::int64_t(-1));
        QTest::mouseClick(form.c().start, Qt::LeftButton);  // stop, and let the form go
        QVERIFY(form.WaitUntilIdleAfter(2));
    }

    void saveAsksAgainForANameWithoutAKnownExtension() {
        TempFolder folder;
        Form form;
        form.Save(QString::fromStdString(folder.File("early.mqc")));  // nothing coded yet: nothing, silently
        QVERIFY(form.dialogs.messages.empty());
        QCOMPARE(FileSize(folder.File("early.mqc")), std::int64_t(-1));

        QVERIFY(form.Train("photo64-b.png"));
        form.dialogs.saveAnswers = {QString::fromStdString(folder.File("noextension")),
                                    QString::fromStdString(folder.File("picture.bmp")),
                                    QString::fromStdString(folder.File("fine.cod"))};
        const int asked = form.dialogs.saveQuestions;
        form.view->OnFileSave();
        QVERIFY(form.FinishFileTask());
        QCOMPARE(form.dialogs.saveQuestions - asked, 3);
        QCOMPARE(form.dialogs.messages.size(), std::size_t(2));
        QVERIFY(form.dialogs.messages[0].startsWith(QString::fromUtf8("Você deve digitar a extensão")));
        QVERIFY(FileSize(folder.File("fine.cod")) > 0);

        std::vector<std::uint8_t> old{1, 2, 3};
        QVERIFY(WriteFileAtomically(folder.File("keep.png"), old));
        form.Save(QString::fromStdString(folder.File("missing/keep.png")));
        QVERIFY(form.LastMessage().startsWith(QString::fromUtf8("Não foi possível salvar")));
        QCOMPARE(FileSize(folder.File("keep.png")), std::int64_t(3));
    }

    // The photo, and the files a result was read from, are never replaced
    // by a save; the name is asked for again.
    void saveRefusesToReplaceWhatTheResultWasReadFrom() {
        TempFolder folder;
        const QString photo = QString::fromStdString(folder.File("photo.png"));
        QVERIFY(QFile::copy(Data("photo64-b.png"), photo));
        std::filesystem::create_directories(folder.File("sub"));
        std::vector<std::uint8_t> original;
        QVERIFY(ReadWholeFile(photo.toStdString(), original));
        Form form;
        form.Open({photo});
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QVERIFY(form.WaitUntilIdleAfter(1));
        const QString book = QString::fromStdString(folder.File("book.cod"));
        form.dialogs.saveAnswers = {photo, QString::fromStdString(folder.File("sub/../photo.png")), book};
        const int asked = form.dialogs.saveQuestions;
        form.view->OnFileSave();
        QVERIFY(form.FinishFileTask());
        QCOMPARE(form.dialogs.saveQuestions - asked, 3);
        QCOMPARE(form.dialogs.messages.size(), std::size_t(2));
        QVERIFY(form.LastMessage().contains(QString::fromUtf8("não pode ser substituído")));
        std::vector<std::uint8_t> kept;
        QVERIFY(ReadWholeFile(photo.toStdString(), kept));
        QCOMPARE(kept, original);
        QVERIFY(FileSize(book.toStdString()) > 0);
        form.dialogs.saveAnswers = {photo};  // nor do the results go over it
        form.view->OnExportResults();
        QCOMPARE(form.dialogs.messages.size(), std::size_t(3));
        QVERIFY(form.LastMessage().contains(QString::fromUtf8("não pode ser substituído")));
        QVERIFY(ReadWholeFile(photo.toStdString(), kept));
        QCOMPARE(kept, original);

        form.Open({book});  // its codebooks applied: the result now comes from it
        QVERIFY(form.WaitUntilIdleAfter(2));
        form.Save(book);
        QCOMPARE(form.dialogs.messages.size(), std::size_t(4));
        const QString coded = QString::fromStdString(folder.File("coded.mqc"));
        form.Save(coded);
        QCOMPARE(form.dialogs.messages.size(), std::size_t(4));
        QVERIFY(FileSize(coded.toStdString()) > 0);

        form.SetSteps("1", "1", "1");
        QTest::mouseClick(form.c().start, Qt::LeftButton);  // a new run: the codebook file is no input now
        QVERIFY(form.WaitUntilIdleAfter(3));
        form.Save(book);
        QCOMPARE(form.dialogs.messages.size(), std::size_t(4));
    }

    void aDroppedFileOpensLikeTheOpenCommand() {
        Form form;
        QMimeData data;
        data.setUrls({QUrl::fromLocalFile(Data("photo64-d.png"))});
        QVERIFY(form.view->acceptDrops());
        QVERIFY(form.view->OpenDropped(data));
        QVERIFY(form.FinishFileTask());
        QVERIFY(form.view->HasImage());
        QCOMPARE(form.c().blockSize[0]->currentIndex(), 6);
    }

    // pictora FILE...: a relative path opens, once the window is up, as the
    // absolute path the Open dialog would have handed over.
    void aFileOnTheCommandLineOpensWhenTheWindowIsUp() {
        const QString before = QDir::currentPath();
        QVERIFY(QDir::setCurrent(QFileInfo(Data("photo64-d.png")).absolutePath()));
        CPictoraApp app;
        const bool started = app.InitInstance({QStringLiteral("photo64-d.png")});
        QDir::setCurrent(before);
        QVERIFY(started);
        const CPictoraView& view = *app.MainFrame()->View();
        QVERIFY(!view.HasImage());
        QVERIFY(QTest::qWaitFor([&] { return view.HasImage(); }, 10000));
        QCOMPARE(view.InputPaths(), QStringList{QFileInfo(Data("photo64-d.png")).absoluteFilePath()});
    }

    // Files given together are one choice of the Open dialog: three codebooks
    // ask for their order, two are refused with the Open command's message.
    void filesGivenTogetherOpenAsOneChoiceOfTheOpenDialog() {
        TempFolder folder;
        Form form;
        QVERIFY(form.Train("photo64-a.png"));
        const QString a = QString::fromStdString(folder.File("a.cod"));
        const QString b = QString::fromStdString(folder.File("b.cod"));
        const QString c = QString::fromStdString(folder.File("c.cod"));
        form.Save(a);
        QVERIFY(QFile::copy(a, b) && QFile::copy(a, c));

        form.view->OpenGiven({a, b});
        QVERIFY(form.LastMessage().startsWith(QString::fromUtf8("Inicialmente você deve selecionar 1 arquivo ou 3")));
        QVERIFY(form.dialogs.orderQuestions.empty());
        const int handled = form.handled->count();
        form.dialogs.orderAnswers.push_back({1, 2, 3});
        form.view->OpenGiven({a, b, c});
        QCOMPARE(form.dialogs.orderQuestions.size(), std::size_t(1));
        QCOMPARE(form.dialogs.orderQuestions.back()[0], c);
        QVERIFY(form.WaitUntilIdleAfter(handled + 1));
        QCOMPARE(form.dialogs.messages.size(), std::size_t(1));
    }

    void theOrderDialogStartsUnmarkedAndTheLastClickCounts() {
        CDialogOrdemCodeBook dialog;
        dialog.SetFiles("r.cod", "g.cod", "b.cod");
        QCOMPARE(dialog.FileField(1)->text(), QString("g.cod"));
        QVERIFY(dialog.FileField(0)->isReadOnly());
        for (int row = 0; row < 3; ++row)
            for (int choice = 1; choice <= 3; ++choice) QVERIFY(!dialog.Choice(row, choice)->isChecked());
        QCOMPARE(dialog.choiceR, 1);
        QCOMPARE(dialog.choiceG, 2);
        QCOMPARE(dialog.choiceB, 3);
        dialog.Choice(0, 3)->click();
        dialog.Choice(0, 1)->click();
        dialog.Choice(2, 1)->click();
        QCOMPARE(dialog.choiceR, 1);
        QCOMPARE(dialog.choiceB, 1);
        QCOMPARE(dialog.Choice(1, 1)->text(), QString(" R / Y"));
        QCOMPARE(dialog.windowTitle(), QString("Selecione quais CodeBooks devem ser carregados"));
    }
};

QTEST_MAIN(FileCommandsTest)
#include "FileCommandsTest.moc"
