#include "ui/SplashPicture.h"

#include <QFont>
#include <QImage>
#include <QPainter>

namespace pictora {

QPixmap SplashPicture() {
    QPixmap picture(500, 375);
    picture.fill(QColor(20, 40, 30));
    QPainter painter(&picture);
    const QImage photo(QStringLiteral(":/pictora/tulips.png"));
    if (!photo.isNull()) painter.drawImage(QPoint(0, 0), photo, QRect(0, (photo.height() - 375) / 2, 500, 375));
    painter.fillRect(QRect(0, 250, 500, 125), QColor(0, 0, 0, 150));
    painter.setPen(Qt::white);
    QFont title(QStringLiteral("DejaVu Sans"), 44, QFont::Bold);
    painter.setFont(title);
    painter.drawText(QRect(0, 250, 500, 80), Qt::AlignCenter, QStringLiteral("Pictora"));
    QFont subtitle(QStringLiteral("DejaVu Sans"), 13);
    painter.setFont(subtitle);
    painter.drawText(QRect(0, 320, 500, 40), Qt::AlignCenter, QString::fromUtf8("Compressão de imagens com redes neurais"));
    return picture;
}

}  // namespace pictora
