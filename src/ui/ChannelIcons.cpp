#include "ui/ChannelIcons.h"

#include <QPainter>
#include <QPixmap>

namespace pictora {
namespace {

QIcon Swatch(std::initializer_list<QColor> bands) {
    QPixmap pixmap(6, 16);
    QPainter painter(&pixmap);
    const int width = 6 / static_cast<int>(bands.size());
    int x = 0;
    for (const QColor& colour : bands) {
        painter.fillRect(x, 0, width, 16, colour);
        x += width;
    }
    return QIcon(pixmap);
}

}  // namespace

const std::array<QIcon, 4>& ChannelIcons() {
    static const std::array<QIcon, 4> icons = {Swatch({Qt::red, Qt::green, Qt::blue}), Swatch({Qt::red}),
                                               Swatch({Qt::green}), Swatch({Qt::blue})};
    return icons;
}

}  // namespace pictora
