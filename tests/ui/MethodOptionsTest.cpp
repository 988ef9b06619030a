#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QProcess>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>
#include <QTreeWidget>

#include "commands/MethodOptionsDialog.h"
#include "common/Jobs.h"
#include "ui/CMainFrame.h"
#include "ui/FormHarness.h"
#include "ui/MethodSettingsStore.h"

using namespace pictora;
using pictora::testing::Data;
using pictora::testing::Form;
using pictora::testing::TempFolder;

namespace {

MethodSettings AllOn() {
    MethodSettings method;
    method.coding.codeBy = CodeBy::Error;
    method.coding.refine = 2;
    method.coding.lambda = 2.5;
    method.deblock = DeblockStrength::Light;
    return method;
}

QAction* MenuAction(CMainFrame& frame, const QString& text) {
    for (QAction* menu : frame.menuBar()->actions())
        for (QAction* item : menu->menu()->actions())
            if (item->text() == text) return item;
    return nullptr;
}

QByteArray FileBytes(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

QString ToolTip(const Form& form, int row, int column) {
    return form.c().resultsList->topLevelItem(row)->toolTip(column);
}

QLabel* MethodLabel(CMainFrame& frame) {
    return frame.statusBar()->findChild<QLabel*>(QStringLiteral("methodSettings"));
}

}  // namespace

class MethodOptionsTest : public QObject {
    Q_OBJECT

private slots:
    // The options are kept in the settings: the tests' own stay apart from
    // the user's.
    void initTestCase() { QStandardPaths::setTestModeEnabled(true); }
    void init() {
        QSettings settings(QStringLiteral("Pictora"), QStringLiteral("pictora"));
        SaveMethodSettings(settings, MethodSettings{});
    }

    void theDialogShowsTheSettingsAndReadsTypedNumbersInTheCFormat() {
        MethodOptionsDialog dialog(AllOn());
        QCOMPARE(dialog.windowTitle(), QString::fromUtf8("Opções do método"));
        QCOMPARE(dialog.CodeByField()->currentText(), QString::fromUtf8("Menor erro"));
        QCOMPARE(dialog.RefineField()->text(), QString("2"));
        QCOMPARE(dialog.LambdaField()->text(), QString("2.5"));  // a point in every locale
        QCOMPARE(dialog.DeblockField()->currentIndex(), 1);

        MethodSettings read;
        QString problem;
        QVERIFY(dialog.ReadFields(read, problem));
        QVERIFY(read == AllOn());
        dialog.LambdaField()->setText(" 0,75 ");  // a decimal comma is taken, as in the form's fields
        dialog.CodeByField()->setCurrentIndex(0);
        dialog.DeblockField()->setCurrentIndex(3);
        QVERIFY(dialog.ReadFields(read, problem));
        QCOMPARE(read.coding.lambda, 0.75);
        QVERIFY(read.coding.codeBy == CodeBy::Similarity);
        QVERIFY(read.deblock == DeblockStrength::Strong);
    }

    void aFieldThatIsNoValueIsNamedAndNothingIsTaken() {
        MethodOptionsDialog dialog(MethodSettings{});
        const std::vector<std::pair<QLineEdit*, QString>> bad = {
            {dialog.RefineField(), "-1"}, {dialog.RefineField(), "2.5"}, {dialog.RefineField(), ""},
            {dialog.LambdaField(), "-3"}, {dialog.LambdaField(), "abc"}, {dialog.LambdaField(), "inf"}};
        for (const auto& [field, text] : bad) {
            MethodOptionsDialog fresh(MethodSettings{});
            QLineEdit* same = field == dialog.RefineField() ? fresh.RefineField() : fresh.LambdaField();
            same->setText(text);
            fresh.CodeByField()->setCurrentIndex(1);
            MethodSettings read = AllOn();
            QString problem;
            QVERIFY2(!fresh.ReadFields(read, problem), qPrintable(text));
            QVERIFY(read == AllOn());
            const bool refine = field == dialog.RefineField();
            QVERIFY(problem.contains(refine ? QString::fromUtf8("Iterações") : QString("Lambda")));
        }
        // OK with good fields takes them.
        dialog.RefineField()->setText("4");
        dialog.accept();
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
        QCOMPARE(dialog.Settings().coding.refine, 4u);
    }

    // The form's next step carries the options: its row is what the engine
    // computes for the same job with the same options.
    void theOptionsReachTheTrainingJob() {
        Form form;
        QSignalSpy changed(form.view.get(), &CPictoraView::MethodChanged);
        form.dialogs.methodAnswers.push_back(AllOn());
        form.view->OnMethodOptions();
        QCOMPARE(changed.count(), 1);
        QVERIFY(form.view->Method() == AllOn());
        QVERIFY(form.view->Compressor().Method() == AllOn());
        form.view->OnMethodOptions();  // cancelled: nothing changes
        QCOMPARE(form.dialogs.methodQuestions, 2);
        QCOMPARE(changed.count(), 1);

        QVERIFY(form.Train("photo64-c.png"));
        ImageCompressor engine;
        QVERIFY(engine.LoadImage(pictora::testing::TestData("photo64-c.png")));
        TrainingJob job = pictora::testing::MakeJob(ColorSpace::Rgb, 8, {1, 1, 1}, true);
        job.method = AllOn();
        QVERIFY(engine.TrainAndCode(job));
        const ResultsRow row = FormatResultsRow(engine.Result(StepOrigin::TrainingStep, 1));
        for (int column = 0; column < kResultsColumnCount; ++column)
            QCOMPARE(form.Cell(0, column), QString::fromStdString(row[static_cast<std::size_t>(column)]));
        TrainingJob plain = job;
        plain.method = MethodSettings{};
        QVERIFY(engine.TrainAndCode(plain));
        QVERIFY(FormatResultsRow(engine.Result(StepOrigin::TrainingStep, 1)) != row);
    }

    // A run with the levers on exports what pictora-cli train --results
    // writes with the same options, the method columns included, and its
    // rows name the options in their tooltips. A coded file opened next is
    // shown with the deblocking alone: its row says so.
    void theListAndTheExportCarryTheOptions() {
        TempFolder folder;
        Form form;
        form.Open({Data("photo64-d.png")});
        form.SetSteps("2", "2", "2");
        form.dialogs.methodAnswers.push_back(AllOn());
        form.view->OnMethodOptions();
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QVERIFY(form.WaitUntilIdleAfter(2));
        QCOMPARE(form.view->History().size(), std::size_t{2});
        const QString shown = QString::fromUtf8("Método: menor erro, refinamento 2, lambda 2.5, desbloqueio 1");
        for (int row = 0; row < 2; ++row)
            for (int column : {0, kResultsColumnCount - 1}) QCOMPARE(ToolTip(form, row, column), shown);

        const QString exported = QString::fromStdString(folder.File("form.csv"));
        form.dialogs.saveAnswers.push_back(exported);
        form.view->OnExportResults();
        QVERIFY(form.dialogs.messages.empty());
        const QString written = QString::fromStdString(folder.File("cli.csv"));
        QProcess cli;
        cli.start(PICTORA_CLI, {"train", Data("photo64-d.png"), "--steps", "2", "--code-by", "error", "--refine", "2",
                                "--lambda", "2.5", "--deblock", "1", "--results", written});
        QVERIFY(cli.waitForFinished(120000));
        QCOMPARE(cli.exitCode(), 0);
        const QList<QByteArray> lines = FileBytes(exported).split('\n');
        QCOMPARE(lines, FileBytes(written).split('\n'));
        QCOMPARE(lines.size(), qsizetype{4});
        QVERIFY(lines[0].endsWith(",butteraugli_3norm,code_by,refine,lambda,deblock"));
        QVERIFY(lines[1].endsWith(",error,2,2.5,1"));

        // The coded file of the same job, opened with only the deblocking left on.
        ImageCompressor engine;
        QVERIFY(engine.LoadImage(pictora::testing::TestData("photo64-d.png")));
        QVERIFY(engine.TrainAndCode(pictora::testing::MakeJob(ColorSpace::Rgb, 8, {1, 1, 1}, true)));
        const QString coded = QString::fromStdString(folder.File("coded.mqc"));
        QVERIFY(engine.WriteCodedFile(coded.toStdString()));
        MethodSettings deblockOnly;
        deblockOnly.deblock = DeblockStrength::Strong;
        form.dialogs.methodAnswers.push_back(deblockOnly);
        form.view->OnMethodOptions();
        const int before = form.handled->count();
        form.Open({coded});
        QVERIFY(form.WaitUntilIdleAfter(before + 1));
        // A file's row goes to the top of the list.
        QCOMPARE(form.view->History().size(), std::size_t{3});
        QCOMPARE(form.Cell(0, 0), QString("---"));
        QCOMPARE(ToolTip(form, 0, 0), QString::fromUtf8("Método: desbloqueio 3"));
        QCOMPARE(ToolTip(form, 1, 0), shown);
        form.dialogs.saveAnswers.push_back(exported);
        form.view->OnExportResults();
        const QList<QByteArray> withFile = FileBytes(exported).split('\n');
        QCOMPARE(withFile.size(), qsizetype{5});
        QVERIFY(withFile[1].endsWith(",similarity,0,0,3"));
        QCOMPARE(withFile[2], lines[1]);
    }

    // The defaults leave the list's rows as they were: no tooltip.
    void defaultRowsNameNoOptions() {
        Form form;
        QVERIFY(form.Train("photo64-c.png"));
        QCOMPARE(ToolTip(form, 0, 0), QString());
    }

    void changingTheOptionsWhileAStepRunsIsRefused() {
        Form form;
        QVERIFY(form.Load(Data("photo64-c.png")));
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        form.dialogs.methodAnswers.push_back(AllOn());
        form.view->OnMethodOptions();
        QCOMPARE(form.dialogs.methodQuestions, 0);
        QVERIFY(form.LastMessage().contains(QString::fromUtf8("treinamento parado")));
        QVERIFY(form.view->Method().IsDefault());
        QVERIFY(form.WaitUntilIdleAfter(1));
    }

    // The menu item of "Arquivo" asks; the status line shows what is on and
    // the next session starts with it.
    void theMenuAsksTheStatusLineShowsAndTheSettingsKeep() {
        ScriptedDialogs::Script script;
        {
            CMainFrame frame(std::make_unique<ScriptedDialogs>(script));
            QAction* item = MenuAction(frame, QString::fromUtf8("Opções do &método..."));
            QVERIFY(item != nullptr);
            QVERIFY(MethodLabel(frame) != nullptr);
            QVERIFY(MethodLabel(frame)->isHidden());
            script.methodAnswers.push_back(AllOn());
            item->trigger();
            QVERIFY(!MethodLabel(frame)->isHidden());
            QCOMPARE(MethodLabel(frame)->text(),
                     QString::fromUtf8("Método: menor erro, refinamento 2, lambda 2.5, desbloqueio 1"));
        }
        {
            CMainFrame frame(std::make_unique<ScriptedDialogs>(script));
            QVERIFY(frame.View()->Method() == AllOn());
            QVERIFY(!MethodLabel(frame)->isHidden());
            MethodSettings off;
            script.methodAnswers.push_back(off);
            MenuAction(frame, QString::fromUtf8("Opções do &método..."))->trigger();
            QVERIFY(MethodLabel(frame)->isHidden());
        }
        CMainFrame frame(std::make_unique<ScriptedDialogs>(script));
        QVERIFY(frame.View()->Method().IsDefault());
    }

    void unreadableKeptValuesGiveTheDefaults() {
        QSettings settings(QStringLiteral("Pictora"), QStringLiteral("pictora"));
        settings.setValue(QStringLiteral("metodo/codeBy"), QStringLiteral("nearest"));
        settings.setValue(QStringLiteral("metodo/refine"), QStringLiteral("-2"));
        settings.setValue(QStringLiteral("metodo/lambda"), QStringLiteral("3"));
        settings.setValue(QStringLiteral("metodo/deblock"), QStringLiteral("7"));
        const MethodSettings read = LoadMethodSettings(settings);
        QVERIFY(read.coding.codeBy == CodeBy::Similarity);
        QCOMPARE(read.coding.refine, 0u);
        QCOMPARE(read.coding.lambda, 3.0);
        QVERIFY(read.deblock == DeblockStrength::Off);
        QCOMPARE(MethodStatusText(MethodSettings{}), QString());
    }
};

QTEST_MAIN(MethodOptionsTest)
#include "MethodOptionsTest.moc"
