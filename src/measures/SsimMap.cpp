#include "measures/SsimMap.h"

#include <algorithm>

#include "measures/GaussianWindow.h"
#include "measures/WindowScan.h"

namespace pictora {

std::optional<SsimMap> PlaneSsimMap(const Plane& a, const Plane& b) {
    if (a.Height() != b.Height() || a.Width() != b.Width()) return std::nullopt;
    if (std::min(a.Height(), a.Width()) < GaussianWindow::kSide) return std::nullopt;
    SsimMap map;
    map.rows = a.Height() - (GaussianWindow::kSide - 1);
    map.columns = a.Width() - (GaussianWindow::kSide - 1);
    WindowTerms terms;
    terms.similarity = true;
    ScanWindows(a, b, terms, &map.values);
    return map;
}

}  // namespace pictora
