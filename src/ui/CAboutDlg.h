#pragma once

#include <QDialog>

namespace pictora {

// "Sobre Pictora": the program's picture and an OK button.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    explicit CAboutDlg(QWidget* parent = nullptr);
};

}  // namespace pictora
