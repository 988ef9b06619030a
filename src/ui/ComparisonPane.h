#pragma once

#include <QImage>
#include <QPoint>
#include <QString>
#include <QWidget>

#include "display/ViewGeometry.h"

namespace pictora {

// One picture area of the comparison viewer. It draws through a geometry it
// shares with the other pane, so both always show the same region: the wheel
// zooms about the cursor and dragging pans, and the pane only asks the
// viewer to repaint everything. In split mode it shows two pictures on either
// side of a vertical line the user drags.
//
// Pictures are drawn at the top-left of the geometry's extent; where a
// picture is smaller than the extent the missing area is hatched.
class ComparisonPane : public QWidget {
    Q_OBJECT

public:
    ComparisonPane(ViewGeometry* geometry, QWidget* parent);

    // One picture over the whole pane (null for none), with its caption.
    void ShowPicture(const QImage& picture, const QString& caption);
    // `left` left of the split line, `right` right of it.
    void ShowSplit(const QImage& left, const QString& leftCaption, const QImage& right, const QString& rightCaption);
    // A short message over the middle of the pane; empty for none.
    void SetNote(const QString& note);
    const QString& Note() const { return note_; }
    bool Splitting() const { return splitting_; }
    // The split line's view column.
    int SplitColumn() const;
    const QImage& Picture() const { return picture_; }
    const QString& Caption() const { return caption_; }

signals:
    // The shared geometry moved: every pane must repaint.
    void ViewChanged();
    void PointerMoved(QPoint position);
    void PointerLeft();
    void Resized(QSize size);

protected:
    void paintEvent(QPaintEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    void wheelEvent(QWheelEvent* event) override;
    void mousePressEvent(QMouseEvent* event) override;
    void mouseMoveEvent(QMouseEvent* event) override;
    void mouseReleaseEvent(QMouseEvent* event) override;
    void leaveEvent(QEvent* event) override;

private:
    enum class Drag { kNone, kPan, kSplitLine };

    void DrawPicture(QPainter& painter, const QImage& picture, QImage& fitted);
    void DrawCaption(QPainter& painter, const QString& caption, Qt::Alignment side);
    void DrawNote(QPainter& painter);
    bool NearSplitLine(int x) const;

    ViewGeometry* geometry_;
    QImage picture_;
    QImage second_;
    // The pictures shrunk once to the fit scale, so a fitted paint does not
    // filter the whole picture again.
    QImage fittedPicture_;
    QImage fittedSecond_;
    QString caption_;
    QString secondCaption_;
    QString note_;
    bool splitting_ = false;
    double splitFraction_ = 0.5;
    Drag drag_ = Drag::kNone;
    QPoint lastPosition_;
};

}  // namespace pictora
