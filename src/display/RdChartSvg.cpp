#include "display/RdChartSvg.h"

#include <array>
#include <charconv>
#include <cmath>

#include "display/MarkupText.h"
#include "display/RdMarkerOutline.h"

namespace pictora {
namespace {

// Hundredths of a unit are far below what any output device resolves.
std::string Number(double value) {
    if (std::fabs(value) < 0.005) return "0";
    std::array<char, 64> buffer{};
    const auto result =
        std::to_chars(buffer.data(), buffer.data() + buffer.size(), value, std::chars_format::fixed, 2);
    std::string text(buffer.data(), result.ptr);
    while (text.back() == '0') text.pop_back();
    if (text.back() == '.') text.pop_back();
    return text;
}

std::string Colour(const ChartColour& colour) {
    constexpr char kHex[] = "0123456789abcdef";
    std::string text = "#";
    for (const std::uint8_t channel : {colour.red, colour.green, colour.blue}) {
        text += kHex[channel >> 4];
        text += kHex[channel & 15];
    }
    return text;
}

void AppendSegments(std::string& svg, const std::vector<RdChartSegment>& segments) {
    for (const RdChartSegment& s : segments) {
        svg += "<line x1=\"" + Number(s.from.x) + "\" y1=\"" + Number(s.from.y) + "\" x2=\"" + Number(s.to.x) +
               "\" y2=\"" + Number(s.to.y) + "\"/>\n";
    }
}

void AppendRect(std::string& svg, const RdChartRect& r, const std::string& style) {
    svg += "<rect x=\"" + Number(r.x) + "\" y=\"" + Number(r.y) + "\" width=\"" + Number(r.width) +
           "\" height=\"" + Number(r.height) + "\" " + style + "/>\n";
}

void AppendText(std::string& svg, const RdChartText& text) {
    static constexpr const char* kAnchors[] = {"start", "middle", "end"};
    svg += "<text";
    if (text.vertical) {
        svg += " transform=\"translate(" + Number(text.at.x) + "," + Number(text.at.y) + ") rotate(-90)\"";
    } else {
        svg += " x=\"" + Number(text.at.x) + "\" y=\"" + Number(text.at.y) + "\"";
    }
    svg += " font-size=\"" + Number(text.size) + "\"";
    svg += std::string(" text-anchor=\"") + kAnchors[static_cast<int>(text.anchor)] + "\"";
    if (text.weight == RdFontWeight::Bold) svg += " font-weight=\"bold\"";
    svg += ">" + EscapedMarkup(text.text) + "</text>\n";
}

void AppendMarker(std::string& svg, RdMarker marker, const FigurePoint& at, double radius) {
    if (marker == RdMarker::Circle) {
        svg += "<circle cx=\"" + Number(at.x) + "\" cy=\"" + Number(at.y) + "\" r=\"" + Number(radius) + "\"/>\n";
        return;
    }
    svg += "<polygon points=\"";
    bool first = true;
    for (const FigurePoint& p : RdMarkerOutline(marker, at.x, at.y, radius)) {
        if (!first) svg += ' ';
        first = false;
        svg += Number(p.x) + "," + Number(p.y);
    }
    svg += "\"/>\n";
}

void AppendCurve(std::string& svg, const RdChartCurve& curve, const RdChartLayout& layout) {
    const std::string colour = Colour(curve.colour);
    svg += "<g fill=\"" + colour + "\">\n<path fill=\"none\" stroke=\"" + colour + "\" stroke-width=\"" +
           Number(layout.curveWidth) + "\" d=\"";
    for (std::size_t i = 0; i < curve.points.size(); ++i) {
        svg += (i == 0 ? "M" : " L") + Number(curve.points[i].x) + " " + Number(curve.points[i].y);
    }
    svg += "\"/>\n";
    for (const FigurePoint& p : curve.points) AppendMarker(svg, curve.marker, p, layout.markerRadius);
    svg += "</g>\n";
}

void AppendLegend(std::string& svg, const RdChartLayout& layout) {
    if (layout.legend.empty()) return;
    AppendRect(svg, layout.legendBox,
               "fill=\"white\" stroke=\"#999999\" stroke-width=\"" + Number(layout.gridWidth) + "\"");
    for (const RdLegendEntry& entry : layout.legend) {
        const std::string colour = Colour(entry.colour);
        svg += "<g fill=\"" + colour + "\" stroke=\"" + colour + "\" stroke-width=\"" +
               Number(layout.curveWidth) + "\">\n";
        AppendSegments(svg, {entry.line});
        svg += "<g stroke=\"none\">\n";
        AppendMarker(svg, entry.marker, entry.markerAt, layout.markerRadius);
        svg += "</g>\n</g>\n";
        svg += "<g fill=\"black\">\n";
        AppendText(svg, entry.label);
        svg += "</g>\n";
    }
}

}  // namespace

std::string WriteRdChartSvg(const RdChartModel& model, int width, int height) {
    const RdChartLayout layout = LayOutRdChart(model, width, height);
    std::string svg = "<?xml version=\"1.0\" encoding=\"UTF-8\"?>\n";
    svg += "<svg xmlns=\"http://www.w3.org/2000/svg\" version=\"1.1\" width=\"" + Number(width) + "\" height=\"" +
           Number(height) + "\" viewBox=\"0 0 " + Number(width) + " " + Number(height) + "\"" +
           " font-family=\"DejaVu Sans, Verdana, sans-serif\">\n";
    svg += "<title>" + EscapedMarkup(model.title) + "</title>\n";
    AppendRect(svg, {0.0, 0.0, layout.width, layout.height}, "fill=\"white\"");
    svg += "<g stroke=\"#d9d9d9\" stroke-width=\"" + Number(layout.gridWidth) + "\">\n";
    AppendSegments(svg, layout.grid);
    svg += "</g>\n";
    AppendRect(svg, layout.plot,
               "fill=\"none\" stroke=\"black\" stroke-width=\"" + Number(layout.frameWidth) + "\"");
    svg += "<g stroke=\"black\" stroke-width=\"" + Number(layout.frameWidth) + "\">\n";
    AppendSegments(svg, layout.ticks);
    svg += "</g>\n<g fill=\"black\">\n";
    for (const RdChartText& text : layout.texts) AppendText(svg, text);
    svg += "</g>\n<g stroke-linejoin=\"round\" stroke-linecap=\"round\">\n";
    for (const RdChartCurve& curve : layout.curves) AppendCurve(svg, curve, layout);
    svg += "</g>\n";
    AppendLegend(svg, layout);
    svg += "</svg>\n";
    return svg;
}

}  // namespace pictora
