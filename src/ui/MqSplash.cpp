#include "ui/MqSplash.h"

#include <QLabel>

#include "commands/DialogUnits.h"
#include "ui/SplashPicture.h"

namespace pictora {

MqSplash::MqSplash(QWidget* owner) : QWidget(owner, Qt::SplashScreen | Qt::FramelessWindowHint) {
    setFixedSize(DialogRect(0, 0, 335, 230).size());
    auto* picture = new QLabel(this);
    picture->setPixmap(SplashPicture());
    picture->setGeometry(DialogRect(1, 0, 333, 350));
    picture->setAlignment(Qt::AlignLeft | Qt::AlignTop);
}

}  // namespace pictora
