#include "display/ViewImageConversion.h"

#include <cstring>

namespace pictora {

QImage ToQImage(const ViewImage& image) {
    if (image.Empty()) return {};
    QImage converted(image.width, image.height, QImage::Format_RGB888);
    const auto rowBytes = static_cast<std::size_t>(image.width) * 3;
    for (int y = 0; y < image.height; ++y)
        std::memcpy(converted.scanLine(y), image.rgb.data() + static_cast<std::size_t>(y) * rowBytes, rowBytes);
    return converted;
}

ViewImage ViewImageOf(const QImage& image) {
    if (image.isNull()) return {};
    const QImage rgb = image.convertToFormat(QImage::Format_RGB888);
    ViewImage converted = ViewImage::Black(rgb.width(), rgb.height());
    const auto rowBytes = static_cast<std::size_t>(rgb.width()) * 3;
    for (int y = 0; y < rgb.height(); ++y)
        std::memcpy(converted.rgb.data() + static_cast<std::size_t>(y) * rowBytes, rgb.constScanLine(y), rowBytes);
    return converted;
}

}  // namespace pictora
