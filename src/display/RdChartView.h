#pragma once

#include <QWidget>

#include "display/RdChartModel.h"

namespace pictora {

// A rate-distortion chart painted from the same layout as the PNG and SVG
// writers, at the widget's size, so the tab shows the figure a report would.
class RdChartView : public QWidget {
    Q_OBJECT

public:
    explicit RdChartView(QWidget* parent = nullptr);
    void SetModel(RdChartModel model);
    const RdChartModel& Model() const { return model_; }

protected:
    void paintEvent(QPaintEvent* event) override;

private:
    RdChartModel model_;
};

}  // namespace pictora
