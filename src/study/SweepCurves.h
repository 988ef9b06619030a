#pragma once

#include <optional>
#include <string>
#include <vector>

#include "measures/QualityMeasure.h"
#include "measures/RateQualityPoint.h"
#include "reference/ReferenceCodecTable.h"
#include "study/RdCurves.h"
#include "study/SweepGrid.h"
#include "study/SweepRow.h"

namespace pictora {

// The points of one curve of an image, before its front is taken: a Pictora
// family (the points sharing every setting a family shares, over all values
// of the others and all steps) or one codec's ladder.
struct SweepCurve {
    std::optional<SweepCell> family;  // the family's settings (the others mean nothing); empty for a codec
    ReferenceCodecKind codec = ReferenceCodecKind::Jpeg;  // for a codec
    std::vector<RateQualityPoint> points;

    // The legend's text: FamilyLegend, or the codec's name.
    std::string Legend() const;
    // The curve as the charts draw it: its Pareto front by `measure`.
    RdCurve Front(QualityMeasure measure) const;
};

struct ImageCurves {
    std::string image;
    std::vector<SweepCurve> families;    // in the grid's order
    std::vector<SweepCurve> references;  // in the codecs' order
};

// The curves of every image, images and curves in the order their first
// points come.
std::vector<ImageCurves> GroupCurves(const std::vector<SweepRow>& rows);

}  // namespace pictora
