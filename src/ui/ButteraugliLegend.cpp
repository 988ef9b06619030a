#include "ui/ButteraugliLegend.h"

#include <QPainter>
#include <algorithm>

#include "display/ViewImageConversion.h"

namespace pictora {
namespace {

constexpr int kStripWidth = 18;
constexpr int kStripHeight = 256;  // as tall as the SSIM scale
constexpr int kTickLength = 4;
constexpr int kGap = 3;

QString LabelOf(const ButteraugliScale& scale, double mark) { return QString::fromStdString(scale.Label(mark)); }

}  // namespace

ButteraugliLegend::ButteraugliLegend(QWidget* parent) : QWidget(parent) {
    setObjectName(QStringLiteral("butteraugliLegend"));
    SetScale(ButteraugliScaleOf(0.0));
}

void ButteraugliLegend::SetScale(const ButteraugliScale& scale) {
    scale_ = scale;
    strip_ = ToQImage(ButteraugliScaleImage(scale_, kStripWidth, kStripHeight));
    updateGeometry();
    update();
}

std::vector<double> ButteraugliLegend::ShownMarks() const {
    std::vector<double> marks = LegibleMarks(scale_, kStripHeight, fontMetrics().height());
    std::sort(marks.begin(), marks.end(), [](double a, double b) { return a > b; });
    return marks;
}

QStringList ButteraugliLegend::Labels() const {
    QStringList labels;
    for (double mark : ShownMarks()) labels << LabelOf(scale_, mark);
    return labels;
}

QSize ButteraugliLegend::sizeHint() const {
    int widest = 0;
    for (const QString& label : Labels()) widest = std::max(widest, fontMetrics().horizontalAdvance(label));
    return {2 + kStripWidth + kTickLength + kGap + widest + 2, kStripHeight + fontMetrics().height()};
}

int ButteraugliLegend::StripTop() const { return std::max(fontMetrics().height() / 2, (height() - kStripHeight) / 2); }

void ButteraugliLegend::paintEvent(QPaintEvent*) {
    QPainter painter(this);
    const int top = StripTop();
    painter.drawImage(QPoint(2, top), strip_);
    painter.setPen(palette().color(QPalette::WindowText));
    const int tickStart = 2 + kStripWidth;
    const int textHeight = fontMetrics().height();
    for (double mark : ShownMarks()) {
        const int y = top + ButteraugliScaleRow(scale_, mark, kStripHeight);
        painter.drawLine(tickStart, y, tickStart + kTickLength - 1, y);
        const QRect box(tickStart + kTickLength + kGap, y - textHeight / 2, width(), textHeight);
        painter.drawText(box, Qt::AlignLeft | Qt::AlignVCenter, LabelOf(scale_, mark));
    }
}

}  // namespace pictora
