#include "study/RdCurves.h"

#include "display/RdSeriesStyle.h"

namespace pictora {

void AddRdCurves(RdChartModel& chart, std::span<const RdCurve> curves) {
    for (const RdCurve& curve : curves) {
        std::vector<RateQualityPoint> points;
        for (const RateQualityPoint& point : curve.points)
            if (point.Quality(chart.measure)) points.push_back(point);
        if (points.empty()) continue;
        const RdSeriesStyle style = RdSeriesStyleOf(chart.series.size());
        chart.series.push_back({curve.name, std::move(points), style.colour, style.marker});
    }
}

}  // namespace pictora
