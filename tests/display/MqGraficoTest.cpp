#include <QImage>
#include <QTest>

#include <algorithm>
#include <atomic>
#include <cmath>
#include <chrono>
#include <functional>
#include <thread>

#include "report/ChartFiller.h"
#include "display/MqGrafico.h"
#include "pipeline/ImageCompressor.h"

namespace pictora {
namespace {

// 1000 × 250 pixels: the logical 1000 × 500 units map onto 900 × 200, so
// device x = 0.9 × logical x and device y = 0.4 × logical y.
constexpr int kWidth = 1000;
constexpr int kHeight = 250;
const QRect kPlotArea(63, 18, 901, 201);
const QRect kXTitleBand(0, 237, kWidth, kHeight - 237);
const QRect kYTitleBand(0, 0, 25, kHeight);

using PixelTest = std::function<bool(QRgb)>;

bool IsWhite(QRgb p) { return qRed(p) > 240 && qGreen(p) > 240 && qBlue(p) > 240; }
bool IsDrawn(QRgb p) { return !IsWhite(p); }
bool IsDark(QRgb p) { return qRed(p) < 80 && qGreen(p) < 80 && qBlue(p) < 80; }
bool IsRed(QRgb p) { return qRed(p) > 200 && qGreen(p) < 80 && qBlue(p) < 80; }
bool IsGreen(QRgb p) { return qGreen(p) > 200 && qRed(p) < 80 && qBlue(p) < 80; }
bool IsBlue(QRgb p) { return qBlue(p) > 200 && qRed(p) < 80 && qGreen(p) < 80; }

int Count(const QImage& image, const QRect& region, const PixelTest& test) {
    int count = 0;
    for (int y = region.top(); y <= region.bottom(); ++y)
        for (int x = region.left(); x <= region.right(); ++x) count += test(image.pixel(x, y)) ? 1 : 0;
    return count;
}

// Whether nearly every pixel of a one-pixel row or column passes `test`.
bool NearlyAll(const QImage& image, const QRect& line, const PixelTest& test) {
    return Count(image, line, test) > std::max(line.width(), line.height()) * 8 / 10;
}

// Pixels of the plotting area that pass `test` outside the grid: rows and
// columns drawn on nearly all along are grid lines (a mark may cover a grid
// line, or show it through the gaps of its dashes).
int MarkPixels(const QImage& image, const PixelTest& test) {
    int count = 0;
    for (int x = kPlotArea.left(); x <= kPlotArea.right(); ++x) {
        if (NearlyAll(image, QRect(x, kPlotArea.top(), 1, kPlotArea.height()), IsDrawn)) continue;
        for (int y = kPlotArea.top(); y <= kPlotArea.bottom(); ++y)
            if (test(image.pixel(x, y)) && !NearlyAll(image, QRect(kPlotArea.left(), y, kPlotArea.width(), 1), IsDrawn))
                ++count;
    }
    return count;
}

// The y axis, the grid line at logical x = 70, lands on one of the columns
// around device x = 63.
bool AxisDrawn(const QImage& image) {
    for (int x = 62; x <= 64; ++x)
        if (NearlyAll(image, QRect(x, kPlotArea.top(), 1, kPlotArea.height()), IsDark)) return true;
    return false;
}

QImage Render(MqGrafico& chart) { return chart.grab().toImage().convertToFormat(QImage::Format_RGB32); }

// A step whose channels all have these neurons, pSNR and rate (a fraction).
StepResult Step(std::uint32_t neurons, double psnr, double rate) {
    StepResult result;
    result.figures.quality.psnrMean = psnr;
    result.compressionRate = rate;
    for (int c = 0; c < 3; ++c) {
        result.channels[c].neurons = neurons;
        result.figures.quality.psnr[c] = psnr;
        result.channels[c].compressionRate = rate;
    }
    return result;
}

}  // namespace
}  // namespace pictora

using ResultsList = std::vector<pictora::StepResult>;
Q_DECLARE_METATYPE(ResultsList)

namespace pictora {

class MqGraficoTest : public QObject {
    Q_OBJECT

private slots:
    // Three training steps on a real photo give the rows and codebooks the
    // charts are drawn from.
    void initTestCase() {
        QVERIFY(compressor_.LoadImage(PICTORA_TEST_DATA_DIR "/photo64-a.png"));
        TrainingJob job;
        for (ChannelJob& channel : job.channels) {
            channel.passes = 1;
            channel.dimension = 16;
        }
        for (int step = 1; step <= 3; ++step) {
            job.restart = step == 1;
            QVERIFY(compressor_.TrainAndCode(job));
            history_.push_back(compressor_.Result(StepOrigin::TrainingStep, step));
        }
        tallies_ = compressor_.Tallies();
        chart_.resize(kWidth, kHeight);
    }

    void aClearedChartIsWhite() {
        FillChart(chart_, ResultsView::StepPsnr, 0, history_, tallies_);
        chart_.Lock();
        chart_.Clear();
        chart_.Unlock();
        const QImage image = Render(chart_);
        QCOMPARE(image.size(), QSize(kWidth, kHeight));
        QCOMPARE(Count(image, image.rect(), IsWhite), kWidth * kHeight);
    }

    void everyChartDrawsItsGridAndPoints_data() {
        QTest::addColumn<int>("chartTab");
        QTest::addColumn<int>("channelTab");
        QTest::newRow("trainings x wins, all channels") << 1 << 0;
        QTest::newRow("trainings x wins, G") << 1 << 2;
        QTest::newRow("neurons per step, all") << 2 << 0;
        QTest::newRow("neurons per step, R") << 2 << 1;
        QTest::newRow("pSNR per step, all") << 3 << 0;
        QTest::newRow("pSNR per step, G") << 3 << 2;
        QTest::newRow("rate x pSNR, all channels") << 4 << 0;
        QTest::newRow("rate x pSNR, B") << 4 << 3;
    }

    void everyChartDrawsItsGridAndPoints() {
        QFETCH(int, chartTab);
        QFETCH(int, channelTab);
        FillChart(chart_, ResultsViewOfTab(chartTab), channelTab, history_, tallies_);
        const QImage image = Render(chart_);
        QVERIFY(AxisDrawn(image));
        const PixelTest channelColours[] = {IsDark, IsRed, IsGreen, IsBlue};
        const bool everyChannel = channelTab == 0 && (chartTab == 1 || chartTab == 4);
        for (int k = 0; k < 4; ++k) {
            const bool expected = everyChannel ? k > 0 : k == channelTab;
            QCOMPARE(MarkPixels(image, channelColours[k]) > 0, expected);
        }
    }

    void theTitlesAreDrawnBesideTheirAxes() {
        FillChart(chart_, ResultsView::StepNeurons, 0, history_, tallies_);
        const QImage titled = Render(chart_);
        chart_.SetXTitle("");
        chart_.SetYTitle("");
        const QImage untitled = Render(chart_);
        QVERIFY(Count(titled, kXTitleBand, IsDrawn) > 20);
        QCOMPARE(Count(untitled, kXTitleBand, IsDrawn), 0);
        // The y title reads upward: what it adds is taller than wide.
        QRect added;
        for (int y = 0; y < kHeight; ++y)
            for (int x = kYTitleBand.left(); x <= kYTitleBand.right(); ++x)
                if (titled.pixel(x, y) != untitled.pixel(x, y)) added |= QRect(x, y, 1, 1);
        QVERIFY(added.height() > 3 * added.width());
        QVERIFY(added.top() > kPlotArea.top() && added.bottom() < kPlotArea.bottom());
    }

    // Charts outside the division and scaling rules still paint their grid
    // and their finite points.
    void degenerateChartsPaint_data() {
        QTest::addColumn<int>("chartTab");
        QTest::addColumn<ResultsList>("rows");
        QTest::addColumn<bool>("marks");
        const ResultsList single = {Step(345, 28.53, 0.1234)};
        const ResultsList lossless = {Step(300, 30.0, 0.1), Step(310, INFINITY, 0.11), Step(320, 32.0, 0.12345)};
        const ResultsList zero = {Step(0, 0.0, 0.0)};
        QTest::newRow("one step, line") << 2 << single << false;
        QTest::newRow("one step, cross") << 4 << single << true;
        QTest::newRow("fractional largest rate") << 4 << lossless << true;
        QTest::newRow("infinite pSNR") << 3 << lossless << true;
        QTest::newRow("all values zero") << 4 << zero << true;
        QTest::newRow("no neurons") << 1 << ResultsList{} << false;
    }

    void degenerateChartsPaint() {
        QFETCH(int, chartTab);
        QFETCH(ResultsList, rows);
        QFETCH(bool, marks);
        FillChart(chart_, ResultsViewOfTab(chartTab), 0, rows, NeuronTallies{});
        const QImage image = Render(chart_);
        const bool hasPoints = chartTab != 1;
        QCOMPARE(AxisDrawn(image), hasPoints);
        QCOMPARE(MarkPixels(image, IsDrawn) > 0, marks);
    }

    // The refill lets go only once the paint has been asked for, so a paint
    // that took the chart without its lock would finish before `released`.
    void aPaintWaitsForTheRefillToRelease() {
        std::atomic<bool> locked = false;
        std::atomic<bool> painting = false;
        std::atomic<bool> released = false;
        std::thread refill([&] {
            chart_.Lock();
            locked = true;
            locked.notify_all();
            painting.wait(false);
            released = true;
            chart_.Unlock();
        });
        locked.wait(false);
        painting = true;
        painting.notify_all();
        Render(chart_);
        QVERIFY(released);
        refill.join();
    }

private:
    ImageCompressor compressor_;
    std::vector<StepResult> history_;
    NeuronTallies tallies_;
    MqGrafico chart_;
};

}  // namespace pictora

QTEST_MAIN(pictora::MqGraficoTest)
#include "MqGraficoTest.moc"
