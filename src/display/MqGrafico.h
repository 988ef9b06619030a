#pragma once

#include <QWidget>
#include <mutex>

#include "display/ChartModel.h"
#include "display/ChartSink.h"

namespace pictora {

// The chart window of the results views: keeps the points the form adds and
// paints them over a white background with a grid, numeric labels and the
// two axis titles, in a logical system of 1000 × 500 units stretched over
// 90 % × 80 % of the widget (see ChartLayout.h).
class MqGrafico : public QWidget, public ChartSink {
    Q_OBJECT

public:
    explicit MqGrafico(QWidget* parent = nullptr);

    // Recursive, so a paint forced while the interface thread holds the lock
    // for a refill does not deadlock; painting takes it too.
    void Lock() override;
    void Unlock() override;

    // Clear also repaints, so an emptied chart does not keep showing its
    // last points.
    void Clear() override;
    void SetOptions(bool relative, bool twoDecimals, double xScale) override;
    void SetXTitle(const std::string& text) override;
    void SetYTitle(const std::string& text) override;
    void AddLinePoint(double x, double y, ChartColour colour) override;
    void AddCrossPoint(double x, double y, ChartColour colour) override;

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    std::recursive_mutex lock_;
    ChartModel model_;
};

}  // namespace pictora
