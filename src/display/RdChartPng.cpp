#include "display/RdChartPng.h"

#include <cairo.h>

#include <cmath>
#include <memory>
#include <numbers>
#include <string>

#include "display/RdChartLayout.h"
#include "display/RdMarkerOutline.h"
#include "image/PngWriter.h"
#include "support/Plane.h"

namespace pictora {
namespace {

struct SurfaceDeleter {
    void operator()(cairo_surface_t* surface) const { cairo_surface_destroy(surface); }
};
struct ContextDeleter {
    void operator()(cairo_t* cr) const { cairo_destroy(cr); }
};
using Surface = std::unique_ptr<cairo_surface_t, SurfaceDeleter>;
using Context = std::unique_ptr<cairo_t, ContextDeleter>;

void SetColour(cairo_t* cr, const ChartColour& colour) {
    cairo_set_source_rgb(cr, colour.red / 255.0, colour.green / 255.0, colour.blue / 255.0);
}

void StrokeSegments(cairo_t* cr, const std::vector<RdChartSegment>& segments) {
    for (const RdChartSegment& s : segments) {
        cairo_move_to(cr, s.from.x, s.from.y);
        cairo_line_to(cr, s.to.x, s.to.y);
    }
    cairo_stroke(cr);
}

void DrawText(cairo_t* cr, const RdChartText& text) {
    cairo_select_font_face(cr, "DejaVu Sans", CAIRO_FONT_SLANT_NORMAL,
                           text.weight == RdFontWeight::Bold ? CAIRO_FONT_WEIGHT_BOLD : CAIRO_FONT_WEIGHT_NORMAL);
    cairo_set_font_size(cr, text.size);
    cairo_text_extents_t extents;
    cairo_text_extents(cr, text.text.c_str(), &extents);
    double shift = 0.0;
    if (text.anchor == RdTextAnchor::Middle) shift = -extents.x_advance / 2.0;
    if (text.anchor == RdTextAnchor::End) shift = -extents.x_advance;
    cairo_save(cr);
    cairo_translate(cr, text.at.x, text.at.y);
    if (text.vertical) cairo_rotate(cr, -std::numbers::pi / 2.0);
    cairo_move_to(cr, shift, 0.0);
    cairo_show_text(cr, text.text.c_str());
    cairo_restore(cr);
}

void FillMarker(cairo_t* cr, RdMarker marker, const FigurePoint& at, double radius) {
    if (marker == RdMarker::Circle) {
        cairo_new_sub_path(cr);
        cairo_arc(cr, at.x, at.y, radius, 0.0, 2.0 * std::numbers::pi);
    } else {
        const std::vector<FigurePoint> outline = RdMarkerOutline(marker, at.x, at.y, radius);
        cairo_move_to(cr, outline.front().x, outline.front().y);
        for (std::size_t i = 1; i < outline.size(); ++i) cairo_line_to(cr, outline[i].x, outline[i].y);
        cairo_close_path(cr);
    }
    cairo_fill(cr);
}

void DrawRect(cairo_t* cr, const RdChartRect& r) { cairo_rectangle(cr, r.x, r.y, r.width, r.height); }

void Draw(cairo_t* cr, const RdChartLayout& layout) {
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_paint(cr);
    cairo_set_line_cap(cr, CAIRO_LINE_CAP_BUTT);
    cairo_set_source_rgb(cr, 0xd9 / 255.0, 0xd9 / 255.0, 0xd9 / 255.0);
    cairo_set_line_width(cr, layout.gridWidth);
    StrokeSegments(cr, layout.grid);

    cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
    cairo_set_line_width(cr, layout.frameWidth);
    DrawRect(cr, layout.plot);
    cairo_stroke(cr);
    StrokeSegments(cr, layout.ticks);
    for (const RdChartText& text : layout.texts) DrawText(cr, text);

    cairo_set_line_cap(cr, CAIRO_LINE_CAP_ROUND);
    cairo_set_line_join(cr, CAIRO_LINE_JOIN_ROUND);
    cairo_set_line_width(cr, layout.curveWidth);
    for (const RdChartCurve& curve : layout.curves) {
        SetColour(cr, curve.colour);
        cairo_move_to(cr, curve.points.front().x, curve.points.front().y);
        for (std::size_t i = 1; i < curve.points.size(); ++i) cairo_line_to(cr, curve.points[i].x, curve.points[i].y);
        cairo_stroke(cr);
        for (const FigurePoint& p : curve.points) FillMarker(cr, curve.marker, p, layout.markerRadius);
    }

    if (layout.legend.empty()) return;
    DrawRect(cr, layout.legendBox);
    cairo_set_source_rgb(cr, 1.0, 1.0, 1.0);
    cairo_fill_preserve(cr);
    cairo_set_source_rgb(cr, 0x99 / 255.0, 0x99 / 255.0, 0x99 / 255.0);
    cairo_set_line_width(cr, layout.gridWidth);
    cairo_stroke(cr);
    cairo_set_line_width(cr, layout.curveWidth);
    for (const RdLegendEntry& entry : layout.legend) {
        SetColour(cr, entry.colour);
        StrokeSegments(cr, {entry.line});
        FillMarker(cr, entry.marker, entry.markerAt, layout.markerRadius);
        cairo_set_source_rgb(cr, 0.0, 0.0, 0.0);
        DrawText(cr, entry.label);
    }
}

// Cairo keeps an RGB24 pixel as one native-endian 32-bit word, red, green and
// blue in its lower three bytes; the writer takes them as three planes.
void SplitPixels(cairo_surface_t* surface, std::uint32_t width, std::uint32_t height, Plane planes[3]) {
    const unsigned char* data = cairo_image_surface_get_data(surface);
    const auto stride = static_cast<std::size_t>(cairo_image_surface_get_stride(surface));
    for (int c = 0; c < 3; ++c) planes[c].Allocate(height, width);
    for (std::uint32_t y = 0; y < height; ++y) {
        const auto* row = reinterpret_cast<const std::uint32_t*>(data + y * stride);
        for (std::uint32_t x = 0; x < width; ++x) {
            planes[0][y][x] = static_cast<std::uint8_t>(row[x] >> 16);
            planes[1][y][x] = static_cast<std::uint8_t>(row[x] >> 8);
            planes[2][y][x] = static_cast<std::uint8_t>(row[x]);
        }
    }
}

}  // namespace

Status RenderRdChartPng(const RdChartModel& model, int width, int height, std::vector<std::uint8_t>& png) {
    png.clear();
    if (width < 1 || height < 1 || width > kRdChartMaximumSide || height > kRdChartMaximumSide) {
        return Status::Error(ErrorKind::InvalidSetting, "a chart picture must be 1 to " + std::to_string(kRdChartMaximumSide) +
                             " pixels wide and high, not " + std::to_string(width) + " x " + std::to_string(height));
    }
    Surface surface(cairo_image_surface_create(CAIRO_FORMAT_RGB24, width, height));
    if (cairo_surface_status(surface.get()) != CAIRO_STATUS_SUCCESS) {
        return Status::Error(ErrorKind::OutOfMemory, std::string("cannot set up the chart picture: ") +
                             cairo_status_to_string(cairo_surface_status(surface.get())));
    }
    Context cr(cairo_create(surface.get()));
    // Unhinted metrics keep the advances those of the font's outlines, as in
    // the SVG, so a text sits the same in both.
    cairo_font_options_t* options = cairo_font_options_create();
    cairo_font_options_set_hint_metrics(options, CAIRO_HINT_METRICS_OFF);
    cairo_set_font_options(cr.get(), options);
    cairo_font_options_destroy(options);
    Draw(cr.get(), LayOutRdChart(model, width, height));
    if (cairo_status(cr.get()) != CAIRO_STATUS_SUCCESS) {
        return Status::Error(ErrorKind::CodecFailure, std::string("cannot draw the chart: ") + cairo_status_to_string(cairo_status(cr.get())));
    }
    cairo_surface_flush(surface.get());

    Plane planes[3];
    SplitPixels(surface.get(), static_cast<std::uint32_t>(width), static_cast<std::uint32_t>(height), planes);
    const Plane* const rgb[3] = {&planes[0], &planes[1], &planes[2]};
    png = EncodePng(rgb, static_cast<std::uint32_t>(height), static_cast<std::uint32_t>(width));
    return Status::Ok();
}

}  // namespace pictora
