#include <gtest/gtest.h>

#include <libxml/parser.h>
#include <libxml/tree.h>

#include <clocale>
#include <memory>
#include <string>

#include "display/RdChartSample.h"
#include "display/RdChartSvg.h"

namespace pictora {
namespace {

struct DocumentDeleter {
    void operator()(xmlDoc* document) const { xmlFreeDoc(document); }
};
using Document = std::unique_ptr<xmlDoc, DocumentDeleter>;

// Strict: any well-formedness error leaves the document null.
Document Parse(const std::string& svg) {
    return Document(xmlReadMemory(svg.data(), static_cast<int>(svg.size()), "chart.svg", "UTF-8",
                                  XML_PARSE_NONET | XML_PARSE_NOERROR | XML_PARSE_NOWARNING));
}

bool Named(const xmlNode* node, const char* name) {
    return node->type == XML_ELEMENT_NODE && xmlStrcmp(node->name, reinterpret_cast<const xmlChar*>(name)) == 0;
}

int CountElements(const xmlNode* node, const char* name) {
    int count = 0;
    for (; node != nullptr; node = node->next) {
        if (Named(node, name)) ++count;
        count += CountElements(node->children, name);
    }
    return count;
}

std::string TextOf(const xmlNode* node) {
    xmlChar* content = xmlNodeGetContent(node);
    std::string text(reinterpret_cast<const char*>(content));
    xmlFree(content);
    return text;
}

bool HasText(const xmlNode* node, const std::string& wanted) {
    for (; node != nullptr; node = node->next) {
        if (Named(node, "text") && TextOf(node) == wanted) return true;
        if (HasText(node->children, wanted)) return true;
    }
    return false;
}

TEST(RdChartSvgTest, IsWellFormedSvgWithOnePathPerCurve) {
    const RdChartModel model = SampleRdChart();
    const Document document = Parse(WriteRdChartSvg(model));
    ASSERT_NE(document, nullptr);
    const xmlNode* root = xmlDocGetRootElement(document.get());
    ASSERT_TRUE(Named(root, "svg"));
    ASSERT_NE(root->ns, nullptr);
    EXPECT_STREQ(reinterpret_cast<const char*>(root->ns->href), "http://www.w3.org/2000/svg");
    EXPECT_EQ(CountElements(root, "path"), 3);
    // Markers: one per point (5 + 4 + 6) and one per legend row.
    EXPECT_EQ(CountElements(root, "circle") + CountElements(root, "polygon"), 15 + 3);
    for (const RdChartSeries& series : model.series) EXPECT_TRUE(HasText(root->children, series.name)) << series.name;
    EXPECT_TRUE(HasText(root->children, model.title));
    EXPECT_TRUE(HasText(root->children, "pSNR (dB)"));
}

TEST(RdChartSvgTest, MarkupInNamesIsEscapedAndSurvivesParsing) {
    RdChartModel model = SampleRdChart();
    const std::string awkward = "a<b & \"c\" > 'd'\x01";
    model.title = awkward;
    model.series[0].name = "</text><path d=\"M0 0\"/>";
    const Document document = Parse(WriteRdChartSvg(model));
    ASSERT_NE(document, nullptr);
    const xmlNode* root = xmlDocGetRootElement(document.get());
    EXPECT_EQ(CountElements(root, "path"), 3);
    EXPECT_TRUE(HasText(root->children, "a<b & \"c\" > 'd' "));  // the control character became a space
    EXPECT_TRUE(HasText(root->children, "</text><path d=\"M0 0\"/>"));
}

TEST(RdChartSvgTest, NumbersUseAPointAndTheOutputIsTheSameInEveryRun) {
    const RdChartModel model = SampleRdChart();
    const std::string svg = WriteRdChartSvg(model, 640, 480);
    const char* previous = std::setlocale(LC_NUMERIC, nullptr);
    const std::string saved = previous != nullptr ? previous : "C";
    std::setlocale(LC_NUMERIC, "pt_BR.UTF-8");
    EXPECT_EQ(WriteRdChartSvg(model, 640, 480), svg);
    std::setlocale(LC_NUMERIC, saved.c_str());
    EXPECT_NE(svg.find("width=\"640\" height=\"480\" viewBox=\"0 0 640 480\""), std::string::npos);
    // Attribute values hold no decimal comma: a comma only separates polygon corners.
    const std::size_t d = svg.find(" d=\"M");
    ASSERT_NE(d, std::string::npos);
    const std::string path = svg.substr(d, svg.find('"', d + 4) - d);
    EXPECT_EQ(path.find(','), std::string::npos) << path;
    EXPECT_NE(path.find('.'), std::string::npos) << path;
}

TEST(RdChartSvgTest, AChartWithoutCurvesIsStillAnEmptyFrame) {
    const RdChartModel model{"nothing yet", "bpp", "MS-SSIM", QualityMeasure::Psnr, {}};
    const Document document = Parse(WriteRdChartSvg(model));
    ASSERT_NE(document, nullptr);
    const xmlNode* root = xmlDocGetRootElement(document.get());
    EXPECT_EQ(CountElements(root, "path"), 0);
    EXPECT_TRUE(HasText(root->children, "MS-SSIM"));
}

}  // namespace
}  // namespace pictora
