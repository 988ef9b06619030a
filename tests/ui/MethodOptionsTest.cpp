#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QSettings>
#include <QSignalSpy>
#include <QStandardPaths>
#include <QStatusBar>
#include <QTest>

#include "commands/MethodOptionsDialog.h"
#include "common/Jobs.h"
#include "ui/CMainFrame.h"
#include "ui/FormHarness.h"
#include "ui/MethodSettingsStore.h"

using namespace pictora;
using pictora::testing::Data;
using pictora::testing::Form;

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
