#pragma once

#include <QFont>
#include <QRect>

namespace pictora {

// Dialog units of the form's 8-point sans-serif font: 1.5 pixels across,
// 1.625 pixels down.
inline QRect DialogRect(int x, int y, int width, int height) {
    auto across = [](int units) { return units * 3 / 2; };
    auto down = [](int units) { return units * 13 / 8; };
    return QRect(across(x), down(y), across(width), down(height));
}

// The font whose dialog units these are: 8-point sans serif.
inline QFont DialogFont() {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(10);
    return font;
}

}  // namespace pictora
