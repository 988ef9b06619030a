#include "ui/ComparisonPane.h"

#include <QMouseEvent>
#include <QPainter>
#include <QWheelEvent>
#include <algorithm>
#include <cstdlib>

namespace pictora {
namespace {

const QColor kBackground(48, 48, 48);
// The hatching over the part of the extent a smaller picture does not cover.
const QColor kMissingGround(96, 96, 96);
const QColor kMissingHatch(150, 150, 150);
const QColor kSplitLine(255, 255, 255);
// How close, in view pixels, a press must be to grab the split line.
constexpr int kSplitGrip = 5;

QRectF ToQRectF(const ViewRect& rect) { return {rect.left, rect.top, rect.width, rect.height}; }
QRect ToQRect(const PixelRect& rect) { return {rect.left, rect.top, rect.width, rect.height}; }

}  // namespace

ComparisonPane::ComparisonPane(ViewGeometry* geometry, QWidget* parent) : QWidget(parent), geometry_(geometry) {
    setMouseTracking(true);
    setMinimumSize(120, 90);
    setCursor(Qt::OpenHandCursor);
}

void ComparisonPane::ShowPicture(const QImage& picture, const QString& caption) {
    picture_ = picture;
    caption_ = caption;
    second_ = {};
    secondCaption_.clear();
    fittedPicture_ = fittedSecond_ = {};
    splitting_ = false;
    update();
}

void ComparisonPane::ShowSplit(const QImage& left, const QString& leftCaption, const QImage& right,
                               const QString& rightCaption) {
    picture_ = left;
    caption_ = leftCaption;
    second_ = right;
    secondCaption_ = rightCaption;
    fittedPicture_ = fittedSecond_ = {};
    splitting_ = true;
    update();
}

void ComparisonPane::SetNote(const QString& note) {
    note_ = note;
    update();
}

int ComparisonPane::SplitColumn() const { return static_cast<int>(splitFraction_ * width()); }

void ComparisonPane::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.fillRect(rect(), kBackground);
    // Enlarged pixels stay sharp squares; only the shrunk fit copy is filtered.
    painter.setRenderHint(QPainter::SmoothPixmapTransform, false);
    // Hatching marks what a smaller picture lacks; a pane with no picture at all stays plain.
    const PixelRect extent = geometry_->VisibleSource();
    if (!extent.Empty() && !picture_.isNull()) {
        const QRectF shown = ToQRectF(geometry_->TargetOf(extent));
        painter.fillRect(shown, kMissingGround);
        painter.fillRect(shown, QBrush(kMissingHatch, Qt::BDiagPattern));
    }
    if (splitting_) {
        const int column = SplitColumn();
        painter.save();
        painter.setClipRect(QRect(0, 0, column, height()));
        DrawPicture(painter, picture_, fittedPicture_);
        painter.setClipRect(QRect(column, 0, width() - column, height()));
        DrawPicture(painter, second_, fittedSecond_);
        painter.restore();
        painter.setPen(QPen(kSplitLine, 1));
        painter.drawLine(column, 0, column, height());
        const QRect grip(column - 4, height() / 2 - 12, 9, 24);
        painter.fillRect(grip, kSplitLine);
        DrawCaption(painter, caption_, Qt::AlignLeft);
        DrawCaption(painter, secondCaption_, Qt::AlignRight);
    } else {
        DrawPicture(painter, picture_, fittedPicture_);
        DrawCaption(painter, caption_, Qt::AlignLeft);
    }
    DrawNote(painter);
}

void ComparisonPane::DrawPicture(QPainter& painter, const QImage& picture, QImage& fitted) {
    if (picture.isNull()) return;
    const PixelRect whole{0, 0, picture.width(), picture.height()};
    const PixelRect visible = geometry_->VisibleSource().Intersected(whole);
    if (visible.Empty()) return;
    if (geometry_->Scale() >= 1) {
        painter.drawImage(ToQRectF(geometry_->TargetOf(visible)), picture, ToQRect(visible));
        return;
    }
    // Shrunk, the whole picture is in view: filter it once per fit size.
    const QRectF target = ToQRectF(geometry_->TargetOf(whole));
    const QSize size = target.size().toSize().expandedTo(QSize(1, 1));
    if (fitted.size() != size) fitted = picture.scaled(size, Qt::IgnoreAspectRatio, Qt::SmoothTransformation);
    painter.drawImage(target.topLeft(), fitted);
}

void ComparisonPane::DrawCaption(QPainter& painter, const QString& caption, Qt::Alignment side) {
    if (caption.isEmpty()) return;
    const QFontMetrics metrics(font());
    QRect box = metrics.boundingRect(caption).adjusted(-6, -3, 6, 3);
    box.moveTop(6);
    if (side == Qt::AlignLeft)
        box.moveLeft(6);
    else
        box.moveRight(width() - 7);
    painter.fillRect(box, QColor(0, 0, 0, 160));
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter, caption);
}

void ComparisonPane::DrawNote(QPainter& painter) {
    if (note_.isEmpty()) return;
    const QFontMetrics metrics(font());
    QRect box = metrics.boundingRect(QRect(0, 0, std::max(width() - 40, 40), height()), Qt::TextWordWrap, note_)
                    .adjusted(-12, -8, 12, 8);
    box.moveCenter(rect().center());
    painter.fillRect(box, QColor(0, 0, 0, 190));
    painter.setPen(Qt::white);
    painter.drawText(box, Qt::AlignCenter | Qt::TextWordWrap, note_);
}

void ComparisonPane::resizeEvent(QResizeEvent* event) {
    QWidget::resizeEvent(event);
    emit Resized(size());
}

void ComparisonPane::wheelEvent(QWheelEvent* event) {
    const int steps = event->angleDelta().y();
    if (steps == 0) return;
    const ViewPoint anchor{event->position().x(), event->position().y()};
    if (steps > 0)
        geometry_->ZoomInAbout(anchor);
    else
        geometry_->ZoomOutAbout(anchor);
    emit ViewChanged();
    emit PointerMoved(event->position().toPoint());
    event->accept();
}

bool ComparisonPane::NearSplitLine(int x) const { return splitting_ && std::abs(x - SplitColumn()) <= kSplitGrip; }

void ComparisonPane::mousePressEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mousePressEvent(event);
    const QPoint position = event->position().toPoint();
    drag_ = NearSplitLine(position.x()) ? Drag::kSplitLine : Drag::kPan;
    lastPosition_ = position;
    if (drag_ == Drag::kPan) setCursor(Qt::ClosedHandCursor);
    setFocus(Qt::MouseFocusReason);
}

void ComparisonPane::mouseMoveEvent(QMouseEvent* event) {
    const QPoint position = event->position().toPoint();
    if (drag_ == Drag::kSplitLine) {
        splitFraction_ = width() > 0 ? std::clamp(static_cast<double>(position.x()) / width(), 0.0, 1.0) : 0.5;
        update();
    } else if (drag_ == Drag::kPan) {
        const QPoint delta = position - lastPosition_;
        geometry_->PanBy(delta.x(), delta.y());
        emit ViewChanged();
    } else {
        setCursor(NearSplitLine(position.x()) ? Qt::SizeHorCursor : Qt::OpenHandCursor);
    }
    lastPosition_ = position;
    emit PointerMoved(position);
}

void ComparisonPane::mouseReleaseEvent(QMouseEvent* event) {
    if (event->button() != Qt::LeftButton) return QWidget::mouseReleaseEvent(event);
    drag_ = Drag::kNone;
    setCursor(NearSplitLine(event->position().toPoint().x()) ? Qt::SizeHorCursor : Qt::OpenHandCursor);
}

void ComparisonPane::leaveEvent(QEvent* event) {
    QWidget::leaveEvent(event);
    emit PointerLeft();
}

}  // namespace pictora
