// pictora-viewer-screenshots SAMPLE.png OUTPUT_PREFIX
// Opens the comparison viewer on a sample against a coarsely coded copy of
// it (4 x 4 block means, colours cut to 5 bits) and saves a PNG of each mode
// zoomed to 4× over the middle of the picture (the Butteraugli map the
// library's own), plus the window while a
// reference codec is being encoded and with a result smaller than the source.
#include <QApplication>
#include <QKeyEvent>
#include <QMouseEvent>
#include <QWheelEvent>
#include <cmath>
#include <cstdio>

#include "measures/Butteraugli.h"
#include "measures/SsimMap.h"
#include "image/PngImage.h"
#include "support/Truncate.h"
#include "ui/ComparisonPane.h"
#include "ui/ComparisonViewer.h"

using namespace pictora;

namespace {

constexpr int kBlock = 4;
constexpr int kWindow = 11;

std::uint8_t Cut(double value) { return static_cast<std::uint8_t>(TruncateToInt64(value) & 0xF8); }

ViewImage BlockCoded(const ViewImage& source) {
    ViewImage coded = source;
    for (int by = 0; by < source.height; by += kBlock) {
        for (int bx = 0; bx < source.width; bx += kBlock) {
            double sum[3] = {0, 0, 0};
            int count = 0;
            for (int y = by; y < std::min(by + kBlock, source.height); ++y)
                for (int x = bx; x < std::min(bx + kBlock, source.width); ++x, ++count) {
                    const RgbPixel p = source.At(x, y);
                    sum[0] += p.red;
                    sum[1] += p.green;
                    sum[2] += p.blue;
                }
            const RgbPixel mean{Cut(sum[0] / count), Cut(sum[1] / count), Cut(sum[2] / count)};
            for (int y = by; y < std::min(by + kBlock, source.height); ++y)
                for (int x = bx; x < std::min(bx + kBlock, source.width); ++x) coded.Set(x, y, mean);
        }
    }
    return coded;
}

double Luma(RgbPixel p) { return 0.299 * p.red + 0.587 * p.green + 0.114 * p.blue; }

// Local SSIM of the luma over 11 x 11 box windows, enough to show the map;
// the measures module supplies the real one.
SsimMap BoxSsim(const ViewImage& a, const ViewImage& b) {
    static_assert(kWindow / 2 == SsimMap::kCentreOffset);
    if (a.height < kWindow || a.width < kWindow) return {};
    SsimMap map;
    map.rows = static_cast<std::uint32_t>(a.height - kWindow + 1);
    map.columns = static_cast<std::uint32_t>(a.width - kWindow + 1);
    const double c1 = (0.01 * 255) * (0.01 * 255);
    const double c2 = (0.03 * 255) * (0.03 * 255);
    const double n = kWindow * kWindow;
    for (int r = 0; r < static_cast<int>(map.rows); ++r) {
        for (int c = 0; c < static_cast<int>(map.columns); ++c) {
            double sa = 0, sb = 0, saa = 0, sbb = 0, sab = 0;
            for (int y = r; y < r + kWindow; ++y)
                for (int x = c; x < c + kWindow; ++x) {
                    const double p = Luma(a.At(x, y));
                    const double q = Luma(b.At(x, y));
                    sa += p;
                    sb += q;
                    saa += p * p;
                    sbb += q * q;
                    sab += p * q;
                }
            const double ma = sa / n, mb = sb / n;
            const double va = saa / n - ma * ma, vb = sbb / n - mb * mb, cov = sab / n - ma * mb;
            map.values.push_back(((2 * ma * mb + c1) * (2 * cov + c2)) / ((ma * ma + mb * mb + c1) * (va + vb + c2)));
        }
    }
    return map;
}

RgbImage RgbImageOf(const ViewImage& view) {
    RgbImage image;
    image.width = view.width;
    image.height = view.height;
    for (Plane* plane : {&image.red, &image.green, &image.blue})
        plane->Allocate(static_cast<std::uint32_t>(view.height), static_cast<std::uint32_t>(view.width));
    for (int y = 0; y < view.height; ++y)
        for (int x = 0; x < view.width; ++x) {
            const RgbPixel p = view.At(x, y);
            const auto row = static_cast<std::size_t>(y);
            image.red[row][x] = p.red;
            image.green[row][x] = p.green;
            image.blue[row][x] = p.blue;
        }
    return image;
}

double Psnr(const ViewImage& a, const ViewImage& b) {
    double squares = 0;
    for (std::size_t i = 0; i < a.rgb.size(); ++i) {
        const double d = static_cast<double>(a.rgb[i]) - b.rgb[i];
        squares += d * d;
    }
    const double mse = squares / static_cast<double>(a.rgb.size());
    return 10 * std::log10(255.0 * 255.0 / mse);
}

double Mean(const std::vector<double>& values) {
    double sum = 0;
    for (double v : values) sum += v;
    return values.empty() ? 0 : sum / static_cast<double>(values.size());
}

bool Save(QWidget& widget, const QString& path) {
    QApplication::processEvents();
    const bool saved = widget.grab().save(path);
    std::printf("%s %s\n", saved ? "saved" : "FAILED", path.toLocal8Bit().constData());
    return saved;
}

void ZoomAndPoint(ComparisonViewer& viewer, QPoint at, int steps) {
    QWidget* pane = viewer.FirstPane();
    for (int i = 0; i < steps; ++i) {
        QWheelEvent wheel(QPointF(at), pane->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, 120), Qt::NoButton,
                          Qt::NoModifier, Qt::NoScrollPhase, false);
        QApplication::sendEvent(pane, &wheel);
    }
    QMouseEvent hover(QEvent::MouseMove, QPointF(at), pane->mapToGlobal(QPointF(at)), Qt::NoButton, Qt::NoButton,
                      Qt::NoModifier);
    QApplication::sendEvent(pane, &hover);
}

}  // namespace

int main(int argc, char** argv) {
    QApplication application(argc, argv);
    if (argc != 3) {
        std::fprintf(stderr, "usage: pictora-viewer-screenshots SAMPLE.png OUTPUT_PREFIX\n");
        return 2;
    }
    RgbImage png;
    if (Status loaded = ReadPngFile(argv[1], png); !loaded) {
        std::fprintf(stderr, "%s\n", loaded.message().c_str());
        return 1;
    }
    const QString prefix = QString::fromLocal8Bit(argv[2]);
    const ViewImage source = ViewImageOf(png);
    const ViewImage coded = BlockCoded(source);
    const SsimMap map = BoxSsim(source, coded);
    RateQualityPoint figures;
    figures.bpp = 24.0 / (kBlock * kBlock) * (15.0 / 24);
    figures.quality.psnrMean = Psnr(source, coded);
    figures.similarity.ssim = Mean(map.values);

    ComparisonViewer viewer;
    viewer.resize(1200, 760);
    viewer.show();
    viewer.SetSource(source);
    viewer.SetResult(ResultChoice::kReconstruction, coded, QString::fromUtf8("Reconstrução"), figures);
    viewer.SetSsimMap(ResultChoice::kReconstruction, map);
    const std::optional<RealPlane> distances = ButteraugliDistanceMap(png, RgbImageOf(coded));
    if (distances) viewer.SetButteraugliMap(ResultChoice::kReconstruction, *distances);
    viewer.SetDifference(4, DifferenceStyle::kGrey);
    QApplication::processEvents();

    bool ok = true;
    const QPoint detail(viewer.FirstPane()->width() / 2 - 20, viewer.FirstPane()->height() / 2 - 60);
    const std::array<std::pair<ComparisonMode, const char*>, 5> modes = {{{ComparisonMode::kSideBySide, "side-by-side"},
                                                                         {ComparisonMode::kSplit, "split"},
                                                                         {ComparisonMode::kDifference, "difference"},
                                                                         {ComparisonMode::kSsimMap, "ssim"},
                                                                         {ComparisonMode::kButteraugliMap, "butteraugli"}}};
    for (const auto& [mode, name] : modes) {
        viewer.SetMode(mode);
        QApplication::processEvents();
        ZoomAndPoint(viewer, detail, mode == ComparisonMode::kSideBySide ? 4 : 0);
        ok = Save(viewer, prefix + name + ".png") && ok;
    }
    viewer.SetDifference(8, DifferenceStyle::kFalseColour);
    viewer.SetMode(ComparisonMode::kDifference);
    ok = Save(viewer, prefix + "difference-colour.png") && ok;

    viewer.SetMode(ComparisonMode::kSideBySide);
    viewer.SelectResult(ResultChoice::kJpeg);  // nobody answers: the pane keeps saying so
    ok = Save(viewer, prefix + "encoding.png") && ok;

    ViewImage smaller = ViewImage::Black(source.width - 3, source.height - 5);
    for (int y = 0; y < smaller.height; ++y)
        for (int x = 0; x < smaller.width; ++x) smaller.Set(x, y, coded.At(x, y));
    viewer.SetResult(ResultChoice::kReconstruction, smaller, QString::fromUtf8("Reconstrução 4:2:0"), {});
    viewer.SelectResult(ResultChoice::kReconstruction);
    // Zoomed over the bottom-right corner, where the smaller result ends.
    QKeyEvent fit(QEvent::KeyPress, Qt::Key_F, Qt::NoModifier, QStringLiteral("f"));
    QApplication::sendEvent(viewer.FirstPane(), &fit);
    const ViewPoint corner = viewer.Geometry().ToView({source.width - 8.0, source.height - 8.0});
    ZoomAndPoint(viewer, QPoint(static_cast<int>(corner.x), static_cast<int>(corner.y)), 4);
    ok = Save(viewer, prefix + "sizes.png") && ok;
    return ok ? 0 : 1;
}
