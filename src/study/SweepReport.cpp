#include "study/SweepReport.h"

#include "display/MarkupText.h"
#include "display/RdChartSvg.h"
#include "study/SweepCharts.h"
#include "support/NumberText.h"

namespace pictora {
namespace {

// The page's look: system fonts only, tables that scroll sideways inside
// their box on a narrow screen, charts that shrink to the width.
constexpr const char* kStyle = R"(<style>
body{font-family:system-ui,-apple-system,"Segoe UI",sans-serif;margin:0 auto;padding:1rem;max-width:1100px;color:#222;line-height:1.4}
h1{font-size:1.5rem}h2{font-size:1.25rem;margin-top:2rem;border-bottom:1px solid #ccc}h3{font-size:1.1rem}
.scroll{overflow-x:auto;-webkit-overflow-scrolling:touch}
table{border-collapse:collapse;font-size:.9rem;margin:.5rem 0}
th,td{border:1px solid #ddd;padding:.25rem .5rem;white-space:nowrap}
th{background:#f2f2f2;cursor:pointer;user-select:none}
th[aria-sort=ascending]::after{content:" \25B2"}th[aria-sort=descending]::after{content:" \25BC"}
td.n{text-align:right;font-variant-numeric:tabular-nums}
.charts{display:flex;flex-wrap:wrap;gap:1rem}
.charts figure{margin:0;flex:1 1 420px;max-width:100%}
.charts svg{width:100%;height:auto}
dl{display:grid;grid-template-columns:max-content 1fr;gap:.2rem 1rem}dt{font-weight:600}dd{margin:0}
pre{background:#f7f7f7;padding:.5rem;overflow-x:auto}
.crops{display:flex;flex-wrap:wrap;gap:.75rem}
.crops figure{margin:0;width:160px}.crops img{image-rendering:pixelated;display:block;max-width:100%;height:auto}
.crops figcaption{font-size:.75rem}
</style>
)";

// Sorts a table by the clicked column: by each cell's data-v number when the
// column has them (cells without one last), by text otherwise; a second
// click reverses. A table whose sorting is in place says so
// (data-sortable="ready"), which the browser test looks for.
constexpr const char* kScript = R"(<script>
document.querySelectorAll("table.sortable").forEach(function(table){
  table.querySelectorAll("th").forEach(function(th,column){
    th.addEventListener("click",function(){
      var ascending=th.getAttribute("aria-sort")!=="ascending";
      table.querySelectorAll("th").forEach(function(other){other.removeAttribute("aria-sort");});
      th.setAttribute("aria-sort",ascending?"ascending":"descending");
      var body=table.tBodies[0];
      var rows=Array.prototype.slice.call(body.rows);
      function key(row){var cell=row.cells[column];var v=cell.getAttribute("data-v");return v===null?cell.textContent:v;}
      rows.sort(function(a,b){
        var x=key(a),y=key(b);
        if(x===""&&y==="")return 0;if(x==="")return 1;if(y==="")return -1;
        var nx=Number(x),ny=Number(y);
        var order=(!isNaN(nx)&&!isNaN(ny))?nx-ny:x.localeCompare(y);
        return ascending?order:-order;
      });
      rows.forEach(function(row){body.appendChild(row);});
    });
  });
  table.setAttribute("data-sortable","ready");
});
</script>
)";

std::string TextCell(const std::string& text) { return "<td>" + EscapedMarkup(text) + "</td>"; }

// A number shown rounded, sorted by its exact value; "—" and sorted last
// when undefined.
std::string NumberCell(const std::optional<double>& value, const char* format) {
    if (!value) return "<td class=\"n\" data-v=\"\">—</td>";
    return "<td class=\"n\" data-v=\"" + FormatC("%.17g", *value) + "\">" + FormatC(format, *value) + "</td>";
}

std::string CountCell(std::size_t count) {
    return "<td class=\"n\" data-v=\"" + std::to_string(count) + "\">" + std::to_string(count) + "</td>";
}

std::string HeaderRow(std::initializer_list<const char*> captions) {
    std::string row = "<thead><tr>";
    for (const char* caption : captions) row += "<th scope=\"col\">" + EscapedMarkup(caption) + "</th>";
    return row + "</tr></thead>\n";
}

std::string MeasureCaption(QualityMeasure measure) {
    switch (measure) {
        case QualityMeasure::Psnr: return "pSNR";
        case QualityMeasure::MsSsim: return "MS-SSIM";
        case QualityMeasure::Butteraugli: return "Butteraugli 3-norm";
    }
    return {};
}

std::string Settings(const SweepJobList& list, const std::string& programVersion) {
    std::string text = "<dl>\n<dt>program</dt><dd>" + EscapedMarkup(programVersion) + "</dd>\n";
    text += "<dt>images</dt><dd>" + std::to_string(list.imageNames.size()) + "</dd>\n";
    ForEachGridDimension([&](const auto& dimension) {
        std::string values;
        for (const auto& value : list.grid.*dimension.inGrid)
            values += (values.empty() ? "" : ", ") + ValueText(value, ValueStyle::Shortest);
        text += "<dt>" + EscapedMarkup(std::string(dimension.name)) + "</dt><dd>" + EscapedMarkup(values) + "</dd>\n";
    });
    std::string codecs;
    for (ReferenceCodecKind codec : list.codecs) codecs += (codecs.empty() ? "" : ", ") + std::string(TraitsOf(codec).name);
    text += "<dt>steps</dt><dd>" + std::to_string(list.steps) + "</dd>\n";
    text += "<dt>codecs</dt><dd>" + EscapedMarkup(codecs.empty() ? "none" : codecs) + "</dd>\n";
    text += "<dt>measures</dt><dd>" + EscapedMarkup(std::string(NameOf(list.measures))) + "</dd>\n</dl>\n";
    return text;
}

std::string SummaryTable(const std::vector<SetSummaryRow>& rows) {
    std::string text = "<div class=\"scroll\"><table class=\"sortable\" id=\"summary\">\n" +
                       HeaderRow({"family", "codec", "measure", "images", "mean BD-rate %", "median %", "95 % low",
                                  "95 % high"}) +
                       "<tbody>\n";
    for (const SetSummaryRow& row : rows) {
        const auto stat = [&row](double MeanStatistics::*field) {
            return row.statistics ? std::optional<double>((*row.statistics).*field) : std::nullopt;
        };
        text += "<tr>" + TextCell(FamilyLegend(row.family)) + TextCell(std::string(TraitsOf(row.reference).name)) +
                TextCell(MeasureCaption(row.measure)) + CountCell(row.images) +
                NumberCell(stat(&MeanStatistics::mean), "%+.2f") + NumberCell(stat(&MeanStatistics::median), "%+.2f") +
                NumberCell(stat(&MeanStatistics::intervalLow), "%+.2f") +
                NumberCell(stat(&MeanStatistics::intervalHigh), "%+.2f") + "</tr>\n";
    }
    return text + "</tbody></table></div>\n";
}

std::string BdRateTable(const std::vector<BdRateRow>& rows, const std::string& image) {
    std::string text = "<div class=\"scroll\"><table class=\"sortable bd-rate\">\n" +
                       HeaderRow({"family", "codec", "measure", "BD-rate %", "overlap from", "overlap to"}) +
                       "<tbody>\n";
    for (const BdRateRow& row : rows) {
        if (row.image != image) continue;
        const auto field = [&row](double BdRateResult::*member) {
            return row.rate ? std::optional<double>((*row.rate).*member) : std::nullopt;
        };
        text += "<tr>" + TextCell(FamilyLegend(row.family)) + TextCell(std::string(TraitsOf(row.reference).name)) +
                TextCell(MeasureCaption(row.measure)) + NumberCell(field(&BdRateResult::percent), "%+.2f") +
                NumberCell(field(&BdRateResult::overlapLow), "%.4g") +
                NumberCell(field(&BdRateResult::overlapHigh), "%.4g") + "</tr>\n";
    }
    return text + "</tbody></table></div>\n";
}

std::string Base64(const std::vector<std::uint8_t>& bytes) {
    static constexpr char kDigits[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";
    std::string text;
    for (std::size_t k = 0; k < bytes.size(); k += 3) {
        const std::uint32_t chunk = (std::uint32_t{bytes[k]} << 16) |
                                    (k + 1 < bytes.size() ? std::uint32_t{bytes[k + 1]} << 8 : 0) |
                                    (k + 2 < bytes.size() ? std::uint32_t{bytes[k + 2]} : 0);
        text += kDigits[(chunk >> 18) & 63];
        text += kDigits[(chunk >> 12) & 63];
        text += k + 1 < bytes.size() ? kDigits[(chunk >> 6) & 63] : '=';
        text += k + 2 < bytes.size() ? kDigits[chunk & 63] : '=';
    }
    return text;
}

// The image's crops side by side at 1:1, each PNG inside the page.
std::string Crops(const std::vector<ReportCrop>& crops) {
    if (crops.empty()) return {};
    std::string text = "<h3>At 1:1, the centre</h3>\n<div class=\"crops\">\n";
    for (const ReportCrop& crop : crops)
        text += "<figure><img alt=\"" + EscapedMarkup(crop.caption) + "\" src=\"data:image/png;base64," + Base64(crop.png) +
                "\"><figcaption>" + EscapedMarkup(crop.caption) + "</figcaption></figure>\n";
    return text + "</div>\n";
}

// The chart's SVG document without its XML declaration, to sit in the page.
std::string InlineChart(const ImageCurves& image, QualityMeasure measure) {
    std::string svg = WriteRdChartSvg(SweepChart(image, measure));
    if (svg.rfind("<?xml", 0) == 0) svg.erase(0, svg.find('\n') + 1);
    return "<figure>" + svg + "</figure>\n";
}

}  // namespace

std::string FormatSweepReport(const SweepReportContent& content) {
    const SweepJobList& list = *content.list;
    std::string page = "<!DOCTYPE html>\n<html lang=\"en\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n"
                       "<title>Pictora sweep report</title>\n";
    page += kStyle;
    page += "</head>\n<body>\n<h1>Rate–distortion study</h1>\n";
    page += Settings(list, content.programVersion);
    if (!content.libraryVersions.empty())
        page += "<h3>Library versions</h3>\n<pre id=\"versions\">" + EscapedMarkup(content.libraryVersions) + "</pre>\n";
    page += "<h2>Over all images</h2>\n<p>BD-rate of each Pictora family against each codec: positive means Pictora "
            "needs more bits for the same quality. Mean and median over the images where it is defined, with a 95 % "
            "bootstrap interval of the mean (10,000 resamples). Click a column's title to sort.</p>\n";
    page += SummaryTable(*content.summary);
    for (const ImageCurves& image : *content.curves) {
        page += "<section class=\"image\">\n<h2>" + EscapedMarkup(image.image) + "</h2>\n<div class=\"charts\">\n";
        for (QualityMeasure measure : kRdMeasures) page += InlineChart(image, measure);
        page += "</div>\n";
        if (content.crops != nullptr)
            for (const ImageCrops& crops : *content.crops)
                if (crops.image == image.image) page += Crops(crops.crops);
        page += BdRateTable(*content.bdRates, image.image) + "</section>\n";
    }
    page += kScript;
    page += "</body>\n</html>\n";
    return page;
}

}  // namespace pictora
