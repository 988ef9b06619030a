#include "ui/CAboutDlg.h"

#include <QLabel>
#include <QPushButton>

#include "commands/DialogUnits.h"
#include "ui/SplashPicture.h"

namespace pictora {

CAboutDlg::CAboutDlg(QWidget* parent) : QDialog(parent) {
    setWindowTitle(QStringLiteral("Sobre Pictora"));
    setFixedSize(DialogRect(0, 0, 348, 246).size());
    auto* picture = new QLabel(this);
    picture->setPixmap(SplashPicture());
    picture->setGeometry(DialogRect(7, 7, 333, 231));
    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setGeometry(DialogRect(289, 7, 50, 14));
    ok->setDefault(true);
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace pictora
