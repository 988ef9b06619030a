#include "display/MqGrafico.h"

#include <algorithm>

#include <QFont>
#include <QPainter>
#include <QPen>

#include "display/ChartLayout.h"
#include "support/DebugLog.h"

namespace pictora {
namespace {

constexpr double kViewportWidthShare = 0.9;
constexpr double kViewportHeightShare = 0.8;
constexpr int kMarkPenWidth = 5;
// Large enough for any label or title; a text is aligned to a corner of it.
constexpr double kTextBox = 1.0e5;

QColor ToQColor(ChartColour colour) { return QColor(colour.red, colour.green, colour.blue); }

// Texts are drawn in pixels at their mapped reference points, so the
// anisotropic mapping does not stretch the glyphs; only the font height
// follows the logical units.
void DrawText(QPainter& painter, const QTransform& toDevice, const ChartText& text) {
    const bool leftTop = text.anchor == ChartTextAnchor::LeftTop;
    painter.save();
    painter.translate(toDevice.map(QPointF(text.x, text.y)));
    if (text.vertical) painter.rotate(-90.0);  // counter-clockwise on screen: reads upward
    const QRectF box(leftTop ? 0.0 : -kTextBox, leftTop ? 0.0 : -kTextBox, kTextBox, kTextBox);
    const int flags = leftTop ? Qt::AlignLeft | Qt::AlignTop : Qt::AlignRight | Qt::AlignBottom;
    painter.drawText(box, flags, QString::fromStdString(text.text));
    painter.restore();
}

// Draws in the logical system the painter is set up with.
void DrawPicture(QPainter& painter, const ChartPicture& picture, int viewportHeight) {
    painter.setPen(QPen(Qt::black, 0));
    for (const ChartLine& line : picture.grid) painter.drawLine(line.x1, line.y1, line.x2, line.y2);

    const QTransform toDevice = painter.combinedTransform();
    painter.setViewTransformEnabled(false);
    QFont font(QStringLiteral("Arial"));
    font.setPixelSize(std::max(1, kChartFontHeight * viewportHeight / kChartWindowHeight));
    font.setWeight(QFont::Normal);
    painter.setFont(font);
    painter.setBackgroundMode(Qt::OpaqueMode);
    painter.setBackground(Qt::white);
    for (const ChartText& text : picture.texts) DrawText(painter, toDevice, text);
    // Transparent again, so the gaps of a dashed mark do not blot out the
    // marks beneath it.
    painter.setBackgroundMode(Qt::TransparentMode);
    painter.setViewTransformEnabled(true);

    for (const ChartStroke& mark : picture.marks) {
        painter.setPen(QPen(ToQColor(mark.colour), kMarkPenWidth, Qt::DashDotDotLine));
        painter.drawLine(mark.line.x1, mark.line.y1, mark.line.x2, mark.line.y2);
    }
}

}  // namespace

MqGrafico::MqGrafico(QWidget* parent) : QWidget(parent) {}

void MqGrafico::Lock() { lock_.lock(); }

void MqGrafico::Unlock() { lock_.unlock(); }

void MqGrafico::Clear() {
    model_.Clear();
    update();
}

void MqGrafico::SetOptions(bool relative, bool twoDecimals, double xScale) {
    model_.SetOptions(relative, twoDecimals, xScale);
}

void MqGrafico::SetXTitle(const std::string& text) { model_.SetXTitle(text); }

void MqGrafico::SetYTitle(const std::string& text) { model_.SetYTitle(text); }

void MqGrafico::AddLinePoint(double x, double y, ChartColour colour) {
    model_.AddPoint(ChartPointKind::Line, x, y, colour);
    update();
}

void MqGrafico::AddCrossPoint(double x, double y, ChartColour colour) {
    model_.AddPoint(ChartPointKind::Cross, x, y, colour);
    update();
}

void MqGrafico::paintEvent(QPaintEvent*) {
    const int viewportWidth = static_cast<int>(width() * kViewportWidthShare);
    const int viewportHeight = static_cast<int>(height() * kViewportHeightShare);
    QPainter painter(this);
    std::lock_guard guard(lock_);
    painter.fillRect(rect(), Qt::white);
    DebugLog("%i %f %i %i\n", static_cast<int>(model_.Points().size()), model_.MaxX(), viewportWidth, viewportHeight);
    // Too small to hold the logical system: background only.
    if (viewportWidth <= 0 || viewportHeight <= 0) return;
    painter.setWindow(0, 0, kChartWindowWidth, kChartWindowHeight);
    painter.setViewport(0, 0, viewportWidth, viewportHeight);
    DrawPicture(painter, LayOutChart(model_, viewportWidth, viewportHeight), viewportHeight);
}

}  // namespace pictora
