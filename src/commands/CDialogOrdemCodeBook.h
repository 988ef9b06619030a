#pragma once

#include <QDialog>
#include <QString>

class QLineEdit;
class QRadioButton;

namespace pictora {

// Chooses, for three codebook files opened at once, which of the three
// codebooks stored in each file goes into the channel of its row.
class CDialogOrdemCodeBook : public QDialog {
    Q_OBJECT

public:
    explicit CDialogOrdemCodeBook(QWidget* parent = nullptr);
    // The files shown in the rows "Canal R / Y", "Canal G / Cb", "Canal B / Cr".
    void SetFiles(const QString& r, const QString& g, const QString& b);

    QString fileR, fileG, fileB;
    // Codebook of each row's file: 1 R/Y, 2 G/Cb, 3 B/Cr.
    int choiceR = 1;
    int choiceG = 2;
    int choiceB = 3;

    // The radio buttons of row `row` (0..2), codebook `choice` (1..3).
    QRadioButton* Choice(int row, int choice) const { return choices_[row][choice - 1]; }
    QLineEdit* FileField(int row) const { return files_[row]; }

private:
    void AddRow(int row, const char* caption, int top, const int* editBox, const int* radioX, const char* firstText);

    QLineEdit* files_[3]{};
    QRadioButton* choices_[3][3]{};
};

}  // namespace pictora
