#pragma once

#include <optional>

#include "display/ZoomLevel.h"

namespace pictora {

// A point of the view (widget pixels) or of the image (source pixels, the
// corner of pixel (0, 0) at 0, 0), in fractions.
struct ViewPoint {
    double x = 0;
    double y = 0;
};

// A whole-pixel position in the image.
struct PixelPoint {
    int x = 0;
    int y = 0;

    bool operator==(const PixelPoint&) const = default;
};

// A rectangle of source pixels.
struct PixelRect {
    int left = 0;
    int top = 0;
    int width = 0;
    int height = 0;

    bool Empty() const { return width <= 0 || height <= 0; }
    PixelRect Intersected(const PixelRect& other) const;
    bool operator==(const PixelRect&) const = default;
};

// A rectangle of the view, in fractional widget pixels.
struct ViewRect {
    double left = 0;
    double top = 0;
    double width = 0;
    double height = 0;
};

// How an image extent is laid over a view: the zoom and where the image's
// top-left corner sits. Every pane of the viewer draws through the same
// geometry, so they always show the same region.
//
// "Fit" centres the image. Zoomed in, the image moves freely as long as a
// strip of it stays in sight, so zooming about any pixel under the cursor
// keeps that pixel in place, and the image can never be dragged out of view.
class ViewGeometry {
public:
    void SetViewport(int width, int height);
    // The extent that is shown: with two images, the larger width and height.
    void SetImageSize(int width, int height);

    int ViewWidth() const { return viewWidth_; }
    int ViewHeight() const { return viewHeight_; }
    int ImageWidth() const { return imageWidth_; }
    int ImageHeight() const { return imageHeight_; }
    ZoomLevel Zoom() const { return zoom_; }
    // Screen pixels per source pixel: the level's factor, or for "fit" the
    // largest scale up to 1 at which the whole extent is seen.
    double Scale() const;
    // The view position of the image's top-left corner.
    ViewPoint Offset() const { return offset_; }

    // Changes the zoom keeping the image pixel under `anchor` (a view point)
    // under it; an anchor beyond the image holds the nearest image edge.
    void ZoomAbout(ZoomLevel level, ViewPoint anchor);
    void ZoomInAbout(ViewPoint anchor) { ZoomAbout(ZoomedIn(zoom_), anchor); }
    void ZoomOutAbout(ViewPoint anchor) { ZoomAbout(ZoomedOut(zoom_), anchor); }
    ViewPoint ViewCentre() const { return {viewWidth_ / 2.0, viewHeight_ / 2.0}; }
    // Moves the image by a view distance, as far as the clamping allows.
    void PanBy(double dx, double dy);

    ViewPoint ToImage(ViewPoint view) const;
    ViewPoint ToView(ViewPoint image) const;
    // The image pixel under a view point, if the point lies over the extent.
    std::optional<PixelPoint> PixelAt(ViewPoint view) const;
    // The source pixels at least partly inside the view: the only part drawn.
    PixelRect VisibleSource() const;
    // Where a rectangle of source pixels lands in the view.
    ViewRect TargetOf(const PixelRect& source) const;

private:
    void Clamp();

    int viewWidth_ = 0;
    int viewHeight_ = 0;
    int imageWidth_ = 0;
    int imageHeight_ = 0;
    ZoomLevel zoom_ = ZoomLevel::kFit;
    ViewPoint offset_;
};

}  // namespace pictora
