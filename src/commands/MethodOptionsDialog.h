#pragma once

#include <QDialog>
#include <QString>

#include "pipeline/MethodSettings.h"

class QComboBox;
class QLineEdit;

namespace pictora {

// "Opções do método": how the blocks are coded, the refinement iterations,
// the lambda of the rate-aware pruning and the deblocking strength of the
// next training steps. Numbers are shown in the C format and read like the
// form's fields (a decimal comma is taken for a point).
class MethodOptionsDialog : public QDialog {
    Q_OBJECT

public:
    explicit MethodOptionsDialog(const MethodSettings& settings, QWidget* parent = nullptr);

    // The settings the fields hold; false, with `settings` unchanged and
    // `problem` saying which field is wrong (in Portuguese), when one is not
    // a value.
    bool ReadFields(MethodSettings& settings, QString& problem) const;
    // What OK took: the settings the dialog opened with until then.
    const MethodSettings& Settings() const { return settings_; }

    QComboBox* CodeByField() const { return codeBy_; }
    QLineEdit* RefineField() const { return refine_; }
    QLineEdit* LambdaField() const { return lambda_; }
    QComboBox* DeblockField() const { return deblock_; }

    // OK: takes the fields when they all hold values; otherwise tells why and
    // stays open.
    void accept() override;

private:
    MethodSettings settings_;
    QComboBox* codeBy_ = nullptr;
    QLineEdit* refine_ = nullptr;
    QLineEdit* lambda_ = nullptr;
    QComboBox* deblock_ = nullptr;
};

}  // namespace pictora
