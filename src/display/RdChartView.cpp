#include "display/RdChartView.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include "display/RdChartLayout.h"
#include "display/RdMarkerOutline.h"

namespace pictora {
namespace {

QColor ColourOf(const ChartColour& colour) { return QColor(colour.red, colour.green, colour.blue); }

void DrawSegments(QPainter& painter, const std::vector<RdChartSegment>& segments) {
    for (const RdChartSegment& s : segments) painter.drawLine(QPointF(s.from.x, s.from.y), QPointF(s.to.x, s.to.y));
}

// The layout measures texts by DejaVu Sans's advances; the font is asked for
// by name and by pixel size so the margins it left fit.
void DrawText(QPainter& painter, const RdChartText& text) {
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(std::max(1, static_cast<int>(text.size)));
    font.setBold(text.weight == RdFontWeight::Bold);
    painter.setFont(font);
    const QString shown = QString::fromStdString(text.text);
    const double advance = painter.fontMetrics().horizontalAdvance(shown);
    double shift = 0.0;
    if (text.anchor == RdTextAnchor::Middle) shift = -advance / 2.0;
    if (text.anchor == RdTextAnchor::End) shift = -advance;
    painter.save();
    painter.translate(text.at.x, text.at.y);
    if (text.vertical) painter.rotate(-90.0);
    painter.drawText(QPointF(shift, 0.0), shown);
    painter.restore();
}

void FillMarker(QPainter& painter, RdMarker marker, const FigurePoint& at, double radius) {
    if (marker == RdMarker::Circle) {
        painter.drawEllipse(QPointF(at.x, at.y), radius, radius);
        return;
    }
    QPolygonF polygon;
    for (const FigurePoint& corner : RdMarkerOutline(marker, at.x, at.y, radius)) polygon << QPointF(corner.x, corner.y);
    painter.drawPolygon(polygon);
}

}  // namespace

RdChartView::RdChartView(QWidget* parent) : QWidget(parent) {}

void RdChartView::SetModel(RdChartModel model) {
    model_ = std::move(model);
    update();
}

void RdChartView::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.fillRect(rect(), Qt::white);
    const RdChartLayout layout = LayOutRdChart(model_, width(), height());

    painter.setPen(QPen(QColor(0xd9, 0xd9, 0xd9), layout.gridWidth, Qt::SolidLine, Qt::FlatCap));
    DrawSegments(painter, layout.grid);
    painter.setPen(QPen(Qt::black, layout.frameWidth, Qt::SolidLine, Qt::FlatCap));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(QRectF(layout.plot.x, layout.plot.y, layout.plot.width, layout.plot.height));
    DrawSegments(painter, layout.ticks);
    for (const RdChartText& text : layout.texts) DrawText(painter, text);

    for (const RdChartCurve& curve : layout.curves) {
        const QColor colour = ColourOf(curve.colour);
        painter.setPen(QPen(colour, layout.curveWidth, Qt::SolidLine, Qt::RoundCap, Qt::RoundJoin));
        painter.setBrush(Qt::NoBrush);
        QPainterPath path(QPointF(curve.points.front().x, curve.points.front().y));
        for (std::size_t i = 1; i < curve.points.size(); ++i) path.lineTo(curve.points[i].x, curve.points[i].y);
        painter.drawPath(path);
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        for (const FigurePoint& p : curve.points) FillMarker(painter, curve.marker, p, layout.markerRadius);
    }

    if (layout.legend.empty()) return;
    painter.setPen(QPen(QColor(0x99, 0x99, 0x99), layout.gridWidth));
    painter.setBrush(Qt::white);
    painter.drawRect(QRectF(layout.legendBox.x, layout.legendBox.y, layout.legendBox.width, layout.legendBox.height));
    for (const RdLegendEntry& entry : layout.legend) {
        const QColor colour = ColourOf(entry.colour);
        painter.setPen(QPen(colour, layout.curveWidth, Qt::SolidLine, Qt::RoundCap));
        DrawSegments(painter, {entry.line});
        painter.setPen(Qt::NoPen);
        painter.setBrush(colour);
        FillMarker(painter, entry.marker, entry.markerAt, layout.markerRadius);
        painter.setPen(Qt::black);
        DrawText(painter, entry.label);
    }
}

}  // namespace pictora
