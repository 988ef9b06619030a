#include "commands/CDialogOrdemCodeBook.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include "commands/DialogUnits.h"

namespace pictora {

CDialogOrdemCodeBook::CDialogOrdemCodeBook(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Selecione quais CodeBooks devem ser carregados"));
    setFont(DialogFont());
    setFixedSize(DialogRect(0, 0, 323, 170).size());
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(DialogRect(266, 14, 50, 16));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
    auto* cancel = new QPushButton(QStringLiteral("Cancel"), this);
    cancel->setGeometry(DialogRect(266, 33, 50, 16));
    cancel->setEnabled(false);
    cancel->hide();

    // Per row: group top, edit (x, y), radio x positions and y, first radio's text.
    const int editR[2] = {88, 19}, editG[2] = {83, 70}, editB[2] = {86, 122};
    const int radiosR[4] = {88, 141, 198, 44}, radiosG[4] = {86, 141, 198, 94}, radiosB[4] = {87, 141, 198, 144};
    AddRow(0, "Canal R / Y", 9, editR, radiosR, "R / Y");
    AddRow(1, "Canal G / Cb", 59, editG, radiosG, " R / Y");
    AddRow(2, "Canal B / Cr", 109, editB, radiosB, "R / Y");
}

void CDialogOrdemCodeBook::AddRow(int row, const char* caption, int top, const int* editBox, const int* radioX,
                                  const char* firstText) {
    auto* group = new QGroupBox(QString::fromUtf8(caption), this);
    group->setGeometry(DialogRect(7, top, 257, 49));
    auto* label = new QLabel(QStringLiteral("CodeBook"), this);
    label->setGeometry(DialogRect(row == 0 ? 18 : 17, top + (row == 0 ? 12 : row == 1 ? 14 : 12), 34, 8));
    files_[row] = new QLineEdit(this);
    files_[row]->setReadOnly(true);
    files_[row]->setGeometry(DialogRect(editBox[0], editBox[1], 155, 14));

    // No button is marked when the dialog opens, although the choices hold 1, 2, 3.
    auto* buttons = new QButtonGroup(this);
    const char* texts[3] = {firstText, "G / Cb", "B / Cr"};
    const int widths[3] = {row == 1 ? 35 : 33, 37, 35};
    int* choice = row == 0 ? &choiceR : row == 1 ? &choiceG : &choiceB;
    for (int k = 0; k < 3; ++k) {
        auto* radio = new QRadioButton(QString::fromUtf8(texts[k]), this);
        radio->setGeometry(DialogRect(radioX[k], radioX[3], widths[k], 10));
        buttons->addButton(radio, k + 1);
        choices_[row][k] = radio;
        connect(radio, &QRadioButton::clicked, this, [choice, k] { *choice = k + 1; });
    }
}

void CDialogOrdemCodeBook::SetFiles(const QString& r, const QString& g, const QString& b) {
    fileR = r;
    fileG = g;
    fileB = b;
    files_[0]->setText(r);
    files_[1]->setText(g);
    files_[2]->setText(b);
}

}  // namespace pictora
