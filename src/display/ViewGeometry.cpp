#include "display/ViewGeometry.h"

#include <algorithm>

#include "support/Truncate.h"

namespace pictora {
namespace {

// View pixels of the image that panning always leaves in sight on each axis.
constexpr double kKeptInView = 32;

// Keeps at least a strip of the image (all of it, if smaller) inside the view.
double ClampedOffset(double offset, double shown, int view) {
    const double kept = std::min({shown, kKeptInView, static_cast<double>(view)});
    return std::clamp(offset, kept - shown, view - kept);
}

// The first whole pixel at or after a non-negative position.
int CeilingOf(double position) {
    const auto whole = static_cast<int>(TruncateToInt64(position));
    return whole < position ? whole + 1 : whole;
}

// The offset that puts the image position `pixel` (>= 0) under the view
// position `anchor` at `scale`. The whole pixel keeps its exact place and
// only the fraction inside it is rounded, so at whole zoom factors the
// offset stays on whole view pixels when the anchor is one.
double AnchoredOffset(double anchor, double pixel, double scale) {
    const double whole = static_cast<double>(TruncateToInt64(pixel));
    return anchor - whole * scale - static_cast<double>(TruncateToInt64((pixel - whole) * scale));
}

}  // namespace

PixelRect PixelRect::Intersected(const PixelRect& other) const {
    const int l = std::max(left, other.left);
    const int t = std::max(top, other.top);
    const int r = std::min(left + width, other.left + other.width);
    const int b = std::min(top + height, other.top + other.height);
    if (r <= l || b <= t) return {};
    return {l, t, r - l, b - t};
}

void ViewGeometry::SetViewport(int width, int height) {
    viewWidth_ = std::max(width, 0);
    viewHeight_ = std::max(height, 0);
    Clamp();
}

void ViewGeometry::SetImageSize(int width, int height) {
    imageWidth_ = std::max(width, 0);
    imageHeight_ = std::max(height, 0);
    Clamp();
}

double ViewGeometry::Scale() const {
    if (zoom_ != ZoomLevel::kFit) return ZoomFactor(zoom_);
    if (imageWidth_ == 0 || imageHeight_ == 0 || viewWidth_ == 0 || viewHeight_ == 0) return 1;
    return std::min({1.0, static_cast<double>(viewWidth_) / imageWidth_, static_cast<double>(viewHeight_) / imageHeight_});
}

void ViewGeometry::ZoomAbout(ZoomLevel level, ViewPoint anchor) {
    if (level == ZoomLevel::kFit || imageWidth_ == 0 || imageHeight_ == 0) {
        zoom_ = level;
        Clamp();
        return;
    }
    const ViewPoint under = ToImage(anchor);
    // Just inside the last pixel, so an anchor beyond the image holds its edge pixel.
    const double x = std::clamp(under.x, 0.0, imageWidth_ - 0.5);
    const double y = std::clamp(under.y, 0.0, imageHeight_ - 0.5);
    const ViewPoint pinned = ToView({x, y});
    zoom_ = level;
    const double scale = Scale();
    offset_ = {AnchoredOffset(pinned.x, x, scale), AnchoredOffset(pinned.y, y, scale)};
    Clamp();
}

void ViewGeometry::PanBy(double dx, double dy) {
    offset_.x += dx;
    offset_.y += dy;
    Clamp();
}

void ViewGeometry::Clamp() {
    const double scale = Scale();
    const double shownWidth = imageWidth_ * scale;
    const double shownHeight = imageHeight_ * scale;
    if (zoom_ == ZoomLevel::kFit) {
        offset_ = {(viewWidth_ - shownWidth) / 2, (viewHeight_ - shownHeight) / 2};
        return;
    }
    offset_.x = ClampedOffset(offset_.x, shownWidth, viewWidth_);
    offset_.y = ClampedOffset(offset_.y, shownHeight, viewHeight_);
}

ViewPoint ViewGeometry::ToImage(ViewPoint view) const {
    const double scale = Scale();
    return {(view.x - offset_.x) / scale, (view.y - offset_.y) / scale};
}

ViewPoint ViewGeometry::ToView(ViewPoint image) const {
    const double scale = Scale();
    return {offset_.x + image.x * scale, offset_.y + image.y * scale};
}

std::optional<PixelPoint> ViewGeometry::PixelAt(ViewPoint view) const {
    const ViewPoint image = ToImage(view);
    if (image.x < 0 || image.y < 0 || image.x >= imageWidth_ || image.y >= imageHeight_) return std::nullopt;
    return PixelPoint{static_cast<int>(TruncateToInt64(image.x)), static_cast<int>(TruncateToInt64(image.y))};
}

PixelRect ViewGeometry::VisibleSource() const {
    const ViewPoint first = ToImage({0, 0});
    const ViewPoint last = ToImage({static_cast<double>(viewWidth_), static_cast<double>(viewHeight_)});
    const int left = static_cast<int>(TruncateToInt64(std::max(first.x, 0.0)));
    const int top = static_cast<int>(TruncateToInt64(std::max(first.y, 0.0)));
    const int right = std::min(CeilingOf(std::max(last.x, 0.0)), imageWidth_);
    const int bottom = std::min(CeilingOf(std::max(last.y, 0.0)), imageHeight_);
    if (right <= left || bottom <= top) return {};
    return {left, top, right - left, bottom - top};
}

ViewRect ViewGeometry::TargetOf(const PixelRect& source) const {
    const double scale = Scale();
    const ViewPoint corner = ToView({static_cast<double>(source.left), static_cast<double>(source.top)});
    return {corner.x, corner.y, source.width * scale, source.height * scale};
}

}  // namespace pictora
