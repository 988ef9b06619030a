#include "pipeline/SsimHeatMapOf.h"

#include "measures/RgbSsimMap.h"

namespace pictora {

std::optional<SsimHeatMap> RgbSsimHeatMap(const RgbImage& source, const RgbImage& reconstruction) {
    if (source.width != reconstruction.width || source.height != reconstruction.height) return std::nullopt;
    std::optional<SsimMap> map = RgbSsimMap({&source.red, &source.green, &source.blue},
                                            {&reconstruction.red, &reconstruction.green, &reconstruction.blue});
    if (!map) return std::nullopt;
    SsimHeatMap heat;
    heat.rows = static_cast<int>(map->rows);
    heat.columns = static_cast<int>(map->columns);
    heat.offset = static_cast<int>(SsimMap::kCentreOffset);
    heat.values = std::move(map->values);
    return heat;
}

}  // namespace pictora
