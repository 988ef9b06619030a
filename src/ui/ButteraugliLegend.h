#pragma once

#include <QStringList>
#include <QWidget>

#include "display/ButteraugliOverlay.h"

namespace pictora {

// The comparison viewer's key to a Butteraugli map: the heat scale's strip,
// its top above and 0 below, with a tick and a label at each distance that
// fits (the ends, the thresholds 1 and 2, the axis's ticks).
class ButteraugliLegend : public QWidget {
    Q_OBJECT

public:
    explicit ButteraugliLegend(QWidget* parent = nullptr);

    void SetScale(const ButteraugliScale& scale);
    // The labels written beside the strip, from the top of the scale down.
    QStringList Labels() const;

    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    // The strip's top row in the widget: centred, like the SSIM scale.
    int StripTop() const;
    std::vector<double> ShownMarks() const;

    ButteraugliScale scale_;
    QImage strip_;
};

}  // namespace pictora
