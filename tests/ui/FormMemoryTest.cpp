#include <QComboBox>
#include <QPushButton>
#include <QTest>
#include <QTreeWidget>

#include "common/AllocationFailure.h"
#include "support/FileIO.h"
#include "ui/FormHarness.h"

using namespace pictora;
using pictora::testing::AllocationFailure;
using pictora::testing::Data;
using pictora::testing::Form;
using pictora::testing::TempFolder;

namespace {

// Allocations from this size on can be refused: the planes, blocks,
// codebooks and pictures of a 64 x 64 photo, not Qt's own small objects.
constexpr std::size_t kLarge = 4096;

const char* const kShortage = "Não há memória suficiente para esta operação.";
const char* const kEndCaption = "Aplicar Rede Neural à Imagem";

// Every `stride`-th of `count` allocations, from the first, so that a long
// command is still tried at a spread of places.
std::vector<std::int64_t> Places(std::int64_t count) {
    std::vector<std::int64_t> places;
    const std::int64_t stride = std::max<std::int64_t>(1, count / 40);
    for (std::int64_t granted = 0; granted < count; granted += stride) places.push_back(granted);
    return places;
}

}  // namespace

class FormMemoryTest : public QObject {
    Q_OBJECT

    // Whatever ran out, the form answers the next run like a fresh one:
    // the same first row as a form that never ran out.
    void ExpectAFreshRunWorks(Form& form, const QString& firstPsnr) {
        form.SetSteps("1", "1", "1");
        const int before = form.handled->count();
        if (form.c().start->text() == QString("Parar")) QTest::mouseClick(form.c().start, Qt::LeftButton);
        QTest::mouseClick(form.c().start, Qt::LeftButton);
        QVERIFY(form.WaitUntilIdleAfter(before + 1));
        QTRY_COMPARE(form.c().start->text(), QString::fromUtf8(kEndCaption));
        QCOMPARE(form.c().resultsList->topLevelItemCount(), 1);
        QCOMPARE(form.Cell(0, 5), firstPsnr);
    }

    // Any message the shortage gave is the Portuguese one.
    static void ExpectOnlyShortageMessages(const Form& form, std::size_t from) {
        for (std::size_t m = from; m < form.dialogs.messages.size(); ++m)
            QVERIFY2(form.dialogs.messages[m].contains(QString::fromUtf8(kShortage)),
                     qPrintable(form.dialogs.messages[m]));
    }

private slots:
    // A step runs out of memory on the worker (training, measuring) or on
    // the interface thread (its pictures, its row): the user is told in
    // Portuguese, the run ends, and the form and its worker go on.
    void aStepThatRunsOutIsToldAndTheFormGoesOn() {
        Form reference;
        QVERIFY(reference.Train("photo64-b.png"));
        const QString firstPsnr = reference.Cell(0, 5);
        std::int64_t large = 0;
        {
            AllocationFailure counting(kLarge, INT64_MAX);
            Form form;
            QVERIFY(form.Train("photo64-b.png"));
            large = AllocationFailure::Large();
        }
        QVERIFY(large > 0);

        Form form;
        form.Open({Data("photo64-b.png")});
        int told = 0;
        for (const std::int64_t granted : Places(large)) {
            const std::size_t messages = form.dialogs.messages.size();
            form.SetSteps("2", "2", "2");
            const int before = form.handled->count();
            {
                AllocationFailure failure(kLarge, granted);
                QTest::mouseClick(form.c().start, Qt::LeftButton);
                QVERIFY(form.WaitUntilIdleAfter(before + 1));
                QTRY_VERIFY(form.view->Worker().IsIdle() && form.c().start->text() != QString("Parar"));
            }
            ExpectOnlyShortageMessages(form, messages);
            if (form.dialogs.messages.size() > messages) {
                ++told;
                QCOMPARE(form.c().start->text(), QString::fromUtf8(kEndCaption));
            }
            ExpectAFreshRunWorks(form, firstPsnr);
        }
        QVERIFY(told > 0);
    }

    // Opening a photo, saving a result and decoding a coded file run out of
    // memory at every place in turn: told, and the form goes on.
    void filesThatRunOutAreToldAndTheFormGoesOn() {
        TempFolder folder;
        Form reference;
        QVERIFY(reference.Train("photo64-b.png"));
        const QString firstPsnr = reference.Cell(0, 5);
        const QString coded = QString::fromStdString(folder.File("b.huf"));
        reference.Save(coded);
        QVERIFY(FileSize(coded.toStdString()) > 0);

        struct Command {
            const char* name;
            std::function<void(Form&)> run;
        };
        const QString saved = QString::fromStdString(folder.File("saved.png"));
        const std::vector<Command> commands = {
            {"open", [](Form& form) { form.Open({Data("photo64-c.png")}); }},
            {"save", [&](Form& form) { form.Save(saved); }},
            {"decode",
             [&](Form& form) {
                 const int before = form.handled->count();
                 form.Open({coded});
                 QVERIFY(form.WaitUntilIdleAfter(before + 1));
             }},
            {"compare", [](Form& form) { form.view->OnCompareImages(); }},
        };
        for (const Command& command : commands) {
            Form form;
            QVERIFY(form.Train("photo64-b.png"));
            std::int64_t large = 0;
            {
                AllocationFailure counting(kLarge, INT64_MAX);
                command.run(form);
                large = AllocationFailure::Large();
            }
            for (const std::int64_t granted : Places(large)) {
                const std::size_t messages = form.dialogs.messages.size();
                {
                    AllocationFailure failure(kLarge, granted);
                    command.run(form);
                }
                ExpectOnlyShortageMessages(form, messages);
                form.Open({Data("photo64-b.png")});
                ExpectAFreshRunWorks(form, firstPsnr);
                if (QTest::currentTestFailed()) {
                    qWarning("%s, %lld allocations granted", command.name, static_cast<long long>(granted));
                    return;
                }
            }
        }
    }
};

QTEST_MAIN(FormMemoryTest)
#include "FormMemoryTest.moc"
