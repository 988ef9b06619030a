#pragma once

#include <QImage>
#include <QPointer>
#include <QString>
#include <QWidget>
#include <memory>

#include "display/DisplayBitmap.h"

namespace pictora {

class ImageZoomWindow;

// Paints one display bitmap stretched over the whole control, or a
// near-black rectangle when it has none. A left click opens a zoom window
// that shows the same bitmap at its own size; a double-click closes the zoom
// window its first click opened and says so through DoubleClicked instead.
class ImagePicture : public QWidget {
    Q_OBJECT

public:
    explicit ImagePicture(QWidget* parent = nullptr);

    // Shows `bitmap` (null for none) and repaints. The picture shares the
    // bitmap, so the display set may replace its slot meanwhile.
    void SetBitmap(std::shared_ptr<const DisplayBitmap> bitmap);
    void SetTitle(const QString& title) { title_ = title; }
    const QString& Title() const { return title_; }
    const std::shared_ptr<const DisplayBitmap>& Bitmap() const { return bitmap_; }
    // The zoom window opened by the last click, while it is open.
    ImageZoomWindow* Zoom() const { return zoom_; }

signals:
    void DoubleClicked();

protected:
    void paintEvent(QPaintEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseDoubleClickEvent(QMouseEvent* event) override;

private:
    std::shared_ptr<const DisplayBitmap> bitmap_;
    QImage image_;
    QString title_;
    QPointer<ImageZoomWindow> zoom_;
};

// A window showing a bitmap at its own size, titled with the picture's title.
// It keeps the bitmap it was opened with; resizing snaps it back.
class ImageZoomWindow : public QWidget {
    Q_OBJECT

public:
    ImageZoomWindow(QWidget* parent, std::shared_ptr<const DisplayBitmap> bitmap, const QString& title);
    ImagePicture* Picture() const { return picture_; }

private:
    ImagePicture* picture_;
};

}  // namespace pictora
