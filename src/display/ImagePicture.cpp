#include "display/ImagePicture.h"

#include <QGuiApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QScreen>

#include "display/BitmapImage.h"

namespace pictora {
namespace {

// The colour of a picture with nothing to show: red 1, green 0, blue 0.
const QColor kEmptyColour(1, 0, 0);

}  // namespace

ImagePicture::ImagePicture(QWidget* parent) : QWidget(parent) {}

void ImagePicture::SetBitmap(std::shared_ptr<const DisplayBitmap> bitmap) {
    bitmap_ = std::move(bitmap);
    image_ = ToQImage(bitmap_.get());
    update();
}

void ImagePicture::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    if (image_.isNull()) {
        painter.fillRect(rect(), kEmptyColour);
        return;
    }
    // Plain pixel replication, no smoothing; the source rectangle is one
    // column and one row short of the bitmap, as the picture always showed.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    painter.drawImage(QRectF(rect()), image_, QRectF(0, 0, image_.width() - 1, image_.height() - 1));
}

void ImagePicture::mousePressEvent(QMouseEvent* event) {
    if (event->button() == Qt::LeftButton && bitmap_) {
        auto* window = new ImageZoomWindow(this, bitmap_, title_);
        zoom_ = window;
        window->show();
    }
    QWidget::mousePressEvent(event);
}

void ImagePicture::mouseDoubleClickEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) {
        QWidget::mouseDoubleClickEvent(event);
        return;
    }
    if (zoom_) zoom_->close();  // deletes itself
    emit DoubleClicked();
}

ImageZoomWindow::ImageZoomWindow(QWidget* parent, std::shared_ptr<const DisplayBitmap> bitmap, const QString& title)
    : QWidget(parent, Qt::Window), picture_(new ImagePicture(this)) {
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowTitle(title);
    const QSize size(bitmap->Width(), bitmap->Height());
    picture_->setGeometry(QRect(QPoint(0, 0), size));
    picture_->SetTitle(title);
    picture_->SetBitmap(std::move(bitmap));
    setFixedSize(size);  // whatever the user does, the window keeps the bitmap's size
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size);
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

}  // namespace pictora
