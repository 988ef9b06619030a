#include "commands/MethodOptionsDialog.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>

#include "commands/DialogUnits.h"
#include "commands/UserDialogs.h"
#include "pipeline/MethodSettingsText.h"
#include "support/NumberText.h"

namespace pictora {

MethodOptionsDialog::MethodOptionsDialog(const MethodSettings& settings, QWidget* parent)
    : QDialog(parent), settings_(settings) {
    setWindowTitle(QString::fromUtf8("Opções do método"));
    setFont(DialogFont());
    auto* form = new QFormLayout(this);

    codeBy_ = new QComboBox(this);
    codeBy_->addItems({QStringLiteral("Similaridade"), QStringLiteral("Menor erro")});
    codeBy_->setCurrentIndex(settings.coding.codeBy == CodeBy::Error ? 1 : 0);
    form->addRow(QString::fromUtf8("Codificar os blocos por:"), codeBy_);

    refine_ = new QLineEdit(QString::number(settings.coding.refine), this);
    form->addRow(QString::fromUtf8("Iterações de refinamento:"), refine_);

    lambda_ = new QLineEdit(QString::fromStdString(ShortestText(settings.coding.lambda)), this);
    form->addRow(QString::fromUtf8("Lambda da poda por taxa (0: desligada):"), lambda_);

    deblock_ = new QComboBox(this);
    deblock_->addItems({QStringLiteral("Desligado"), QStringLiteral("1 (leve)"), QString::fromUtf8("2 (médio)"),
                        QStringLiteral("3 (forte)")});
    deblock_->setCurrentIndex(static_cast<int>(DeblockLevel(settings.deblock)));
    form->addRow(QStringLiteral("Desbloqueio:"), deblock_);

    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("Cancelar"));
    connect(buttons, &QDialogButtonBox::accepted, this, &MethodOptionsDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &QDialog::reject);
    form->addRow(buttons);
}

bool MethodOptionsDialog::ReadFields(MethodSettings& settings, QString& problem) const {
    MethodSettings read = settings_;
    read.coding.codeBy = codeBy_->currentIndex() == 1 ? CodeBy::Error : CodeBy::Similarity;
    if (!ParseRefine(refine_->text().trimmed().toStdString(), read.coding.refine)) {
        problem = QString::fromUtf8("Iterações de refinamento: digite um número inteiro de 0 em diante.");
        return false;
    }
    if (!ParseTypedLambda(lambda_->text().trimmed().toStdString(), read.coding.lambda)) {
        problem = QString::fromUtf8("Lambda: digite um número de 0 em diante (0 desliga a poda por taxa).");
        return false;
    }
    read.deblock = static_cast<DeblockStrength>(deblock_->currentIndex());
    settings = read;
    return true;
}

void MethodOptionsDialog::accept() {
    QString problem;
    if (!ReadFields(settings_, problem)) {
        QMessageBox::warning(this, QString::fromUtf8(kApplicationTitle), problem);
        return;
    }
    QDialog::accept();
}

}  // namespace pictora
