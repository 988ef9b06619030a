#include <QApplication>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QMouseEvent>
#include <QSettings>
#include <QTemporaryDir>
#include <QTest>
#include <QToolButton>
#include <QWindow>
#include <QWheelEvent>
#include <memory>
#include <vector>

#include "display/ButteraugliOverlay.h"
#include "display/HeatScale.h"
#include "display/SsimOverlay.h"
#include "display/ViewImageConversion.h"
#include "ui/ButteraugliLegend.h"
#include "ui/ComparisonPane.h"
#include "ui/ComparisonViewer.h"

#include "common/FilledViewImage.h"

using namespace pictora;

namespace {

using pictora::testing::Filled;

// A pattern in which every pixel differs from its neighbours.
ViewImage Pattern(int width, int height) {
    ViewImage image = ViewImage::Black(width, height);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            image.Set(x, y, {static_cast<std::uint8_t>(x * 7 + y), static_cast<std::uint8_t>(y * 5), static_cast<std::uint8_t>(x ^ y)});
    return image;
}

void SendMouse(QWidget* widget, QEvent::Type type, QPoint at, Qt::MouseButtons buttons) {
    const Qt::MouseButton button = type == QEvent::MouseMove ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent event(type, QPointF(at), widget->mapToGlobal(QPointF(at)), button, buttons, Qt::NoModifier);
    QApplication::sendEvent(widget, &event);
}

void Drag(QWidget* widget, QPoint from, QPoint to) {
    SendMouse(widget, QEvent::MouseButtonPress, from, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseMove, (from + to) / 2, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseMove, to, Qt::LeftButton);
    SendMouse(widget, QEvent::MouseButtonRelease, to, Qt::NoButton);
}

void Wheel(QWidget* widget, QPoint at, int delta) {
    QWheelEvent event(QPointF(at), widget->mapToGlobal(QPointF(at)), QPoint(), QPoint(0, delta), Qt::NoButton,
                      Qt::NoModifier, Qt::NoScrollPhase, false);
    QApplication::sendEvent(widget, &event);
}

void Hover(QWidget* widget, QPoint at) { SendMouse(widget, QEvent::MouseMove, at, Qt::NoButton); }

RgbPixel ColourAt(const QImage& image, QPoint at) {
    const QColor colour = image.pixelColor(at);
    return {static_cast<std::uint8_t>(colour.red()), static_cast<std::uint8_t>(colour.green()),
            static_cast<std::uint8_t>(colour.blue())};
}

// The view point at the middle of an image pixel.
QPoint Centre(const ViewGeometry& geometry, int x, int y) {
    const ViewPoint view = geometry.ToView({x + 0.5, y + 0.5});
    return {static_cast<int>(view.x), static_cast<int>(view.y)};
}

QString Text(const ComparisonViewer& viewer, const char* name) { return viewer.findChild<QLabel*>(name)->text(); }

}  // namespace

class ComparisonViewerTest : public QObject {
    Q_OBJECT

private:
    QTemporaryDir settingsFolder_;

    std::unique_ptr<ComparisonViewer> Shown(const ViewImage& source, const ViewImage& result) {
        auto viewer = std::make_unique<ComparisonViewer>();
        viewer->SetMode(ComparisonMode::kSideBySide);
        viewer->resize(1000, 600);
        viewer->show();
        if (!QTest::qWaitForWindowExposed(viewer.get())) return nullptr;
        viewer->SetSource(source);
        viewer->SetResult(ResultChoice::kReconstruction, result, QStringLiteral("Reconstrução"), {});
        return viewer;
    }

private slots:
    void initTestCase() {
        QVERIFY(settingsFolder_.isValid());
        for (QSettings::Format format : {QSettings::NativeFormat, QSettings::IniFormat})
            QSettings::setPath(format, QSettings::UserScope, settingsFolder_.path());
    }

    void imagesConvertToAndFromQImage() {
        const ViewImage pattern = Pattern(7, 5);  // 21-byte rows: QImage pads them, the plain image does not
        const QImage converted = ToQImage(pattern);
        QCOMPARE(converted.size(), QSize(7, 5));
        QCOMPARE(ColourAt(converted, QPoint(6, 4)), pattern.At(6, 4));
        QVERIFY(ViewImageOf(converted).rgb == pattern.rgb);

        QImage translucent(3, 2, QImage::Format_ARGB32);
        translucent.fill(QColor(10, 20, 30, 40));
        const ViewImage opaque = ViewImageOf(translucent);
        QCOMPARE(opaque.At(2, 1), (RgbPixel{10, 20, 30}));
        QVERIFY(ToQImage(ViewImage{}).isNull());
        QVERIFY(ViewImageOf(QImage()).Empty());
    }

    void modesShowTheirPanesAndOptions() {
        auto viewer = Shown(Pattern(40, 30), Pattern(40, 30));
        QVERIFY(viewer);
        QCOMPARE(viewer->windowTitle(), QStringLiteral("Comparar imagens"));
        QVERIFY(viewer->SecondPane()->isVisible());
        QVERIFY(!viewer->findChild<QComboBox*>("amplificationBox")->isVisible());

        viewer->findChild<QToolButton*>("split")->click();
        QCOMPARE(viewer->Mode(), ComparisonMode::kSplit);
        QVERIFY(!viewer->SecondPane()->isVisible());
        QVERIFY(viewer->FirstPane()->Splitting());

        viewer->findChild<QToolButton*>("difference")->click();
        QCOMPARE(viewer->Mode(), ComparisonMode::kDifference);
        QVERIFY(!viewer->FirstPane()->Splitting());
        QVERIFY(viewer->findChild<QComboBox*>("amplificationBox")->isVisible());

        viewer->findChild<QToolButton*>("ssim-map")->click();
        QCOMPARE(viewer->Mode(), ComparisonMode::kSsimMap);
        QCOMPARE(viewer->FirstPane()->Note(), QString::fromUtf8("Nenhum mapa SSIM para esta comparação."));
        QVERIFY(!viewer->findChild<QComboBox*>("amplificationBox")->isVisible());

        viewer->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(viewer.get()));
        QTest::keyClick(viewer->windowHandle(), Qt::Key_D, Qt::AltModifier);
        QTRY_COMPARE(viewer->Mode(), ComparisonMode::kSplit);  // a mnemonic clicks after a short animation
        QTest::keyClick(viewer->windowHandle(), Qt::Key_M, Qt::AltModifier);
        QTRY_COMPARE(viewer->Mode(), ComparisonMode::kSsimMap);
        QTest::keyClick(viewer->windowHandle(), Qt::Key_B, Qt::AltModifier);
        QTRY_COMPARE(viewer->Mode(), ComparisonMode::kButteraugliMap);

        viewer->findChild<QToolButton*>("side-by-side")->click();
        QVERIFY(viewer->SecondPane()->isVisible());
        QVERIFY(viewer->findChild<QToolButton*>("side-by-side")->isChecked());
        QVERIFY(!viewer->findChild<QToolButton*>("ssim-map")->isChecked());
    }

    void bothPanesFollowTheWheelKeysAndDrags() {
        const ViewImage picture = Pattern(500, 400);
        auto viewer = Shown(picture, picture);
        QVERIFY(viewer);
        ComparisonPane* first = viewer->FirstPane();
        ComparisonPane* second = viewer->SecondPane();
        const ViewGeometry& geometry = viewer->Geometry();
        QCOMPARE(geometry.Zoom(), ZoomLevel::kFit);

        const auto sameRegion = [&] {
            // Below the captions both panes must draw the very same pixels.
            const QImage a = first->grab().toImage();
            const QImage b = second->grab().toImage();
            const int width = std::min(a.width(), b.width());
            return a.copy(0, 40, width, a.height() - 40) == b.copy(0, 40, width, b.height() - 40);
        };

        viewer->findChild<QComboBox*>("zoomBox")->setCurrentIndex(1);
        emit viewer->findChild<QComboBox*>("zoomBox")->activated(1);
        QCOMPARE(geometry.Zoom(), ZoomLevel::k1);
        const QPoint cursor(150, 120);
        const std::optional<PixelPoint> under = geometry.PixelAt({150, 120});
        QVERIFY(under);
        Wheel(second, cursor, 120);
        QCOMPARE(geometry.Zoom(), ZoomLevel::k2);
        QCOMPARE(geometry.PixelAt({150, 120}), under);
        QVERIFY(sameRegion());
        QCOMPARE(viewer->findChild<QComboBox*>("zoomBox")->currentText(), QString::fromUtf8("2×"));

        QTest::keyClick(first, Qt::Key_Plus);
        QCOMPARE(geometry.Zoom(), ZoomLevel::k3);
        QTest::keyClick(first, Qt::Key_Equal);
        QCOMPARE(geometry.Zoom(), ZoomLevel::k4);
        QTest::keyClick(second, Qt::Key_Minus);
        QCOMPARE(geometry.Zoom(), ZoomLevel::k3);
        QVERIFY(sameRegion());

        const ViewPoint before = geometry.Offset();
        Drag(first, QPoint(200, 200), QPoint(170, 180));
        QCOMPARE(geometry.Offset().x, before.x - 30);
        QCOMPARE(geometry.Offset().y, before.y - 20);
        QVERIFY(sameRegion());
        Drag(second, QPoint(100, 100), QPoint(120, 100));
        QCOMPARE(geometry.Offset().x, before.x - 10);
        QVERIFY(sameRegion());

        QTest::keyClick(first, Qt::Key_1);
        QCOMPARE(geometry.Zoom(), ZoomLevel::k1);
        QTest::keyClick(first, Qt::Key_F);
        QCOMPARE(geometry.Zoom(), ZoomLevel::kFit);
        Wheel(first, cursor, 120);
        QTest::keyClick(first, Qt::Key_0);
        QCOMPARE(geometry.Zoom(), ZoomLevel::kFit);
        QVERIFY(sameRegion());
    }

    void statusLineReadsBothImagesUnderThePointer() {
        const ViewImage source = Pattern(60, 50);
        ViewImage result = source;
        result.Set(10, 20, {1, 2, 3});
        auto viewer = Shown(source, result);
        QVERIFY(viewer);
        RateQualityPoint figures;
        figures.bpp = 0.5124;
        figures.quality.psnrMean = 32.104;
        figures.similarity.ssim = 0.91234;
        viewer->SetResult(ResultChoice::kReconstruction, result, QStringLiteral("Passo 3"), figures);
        QTest::keyClick(viewer->FirstPane(), Qt::Key_1);
        QTest::keyClick(viewer->FirstPane(), Qt::Key_Plus);

        Hover(viewer->SecondPane(), Centre(viewer->Geometry(), 10, 20));
        const RgbPixel s = source.At(10, 20);
        QCOMPARE(Text(*viewer, "pixelLabel"),
                 QStringLiteral("x 10, y 20   Original: R %1 G %2 B %3   Passo 3: R 1 G 2 B 3")
                     .arg(s.red)
                     .arg(s.green)
                     .arg(s.blue));
        QCOMPARE(Text(*viewer, "measuresLabel"),
                 QString::fromUtf8("Zoom 2×   bpp 0.512   pSNR 32.10 dB   SSIM 0.9123   MS-SSIM —"));

        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(viewer->SecondPane(), &leave);
        QCOMPARE(Text(*viewer, "pixelLabel"), QString::fromUtf8("—"));
    }

    void theSplitLineFollowsADragAndDividesThePictures() {
        auto viewer = Shown(Filled(300, 200, {200, 0, 0}), Filled(300, 200, {0, 0, 200}));
        QVERIFY(viewer);
        viewer->SetMode(ComparisonMode::kSplit);
        QTest::keyClick(viewer->FirstPane(), Qt::Key_1);
        ComparisonPane* pane = viewer->FirstPane();
        const int middle = pane->width() / 2;
        QCOMPARE(pane->SplitColumn(), middle);
        const ViewPoint offset = viewer->Geometry().Offset();
        const int line = static_cast<int>(offset.x) + 100;
        Drag(pane, QPoint(middle + 2, pane->height() / 2), QPoint(line, 30));
        QCOMPARE(pane->SplitColumn(), line);
        QCOMPARE(viewer->Geometry().Offset().x, offset.x);  // moving the line does not pan

        const QImage shot = pane->grab().toImage();
        const int y = static_cast<int>(offset.y) + 150;
        QCOMPARE(ColourAt(shot, QPoint(line - 3, y)), (RgbPixel{200, 0, 0}));
        QCOMPARE(ColourAt(shot, QPoint(line + 3, y)), (RgbPixel{0, 0, 200}));

        // A press away from the line pans instead.
        Drag(pane, QPoint(line + 40, 100), QPoint(line + 60, 100));
        QCOMPARE(pane->SplitColumn(), line);
    }

    void differenceAndSsimMapsShowTheirValues() {
        ViewImage source = Filled(8, 7, {100, 100, 100});
        ViewImage result = source;
        result.Set(1, 1, {100, 97, 100});  // difference 3
        result.Set(3, 2, {0, 100, 100});   // 100
        auto viewer = Shown(source, result);
        QVERIFY(viewer);
        viewer->SetMode(ComparisonMode::kDifference);
        viewer->SetDifference(8, DifferenceStyle::kGrey);
        QTest::keyClick(viewer->FirstPane(), Qt::Key_1);
        for (int i = 0; i < 8; ++i) QTest::keyClick(viewer->FirstPane(), Qt::Key_Plus);
        QCOMPARE(viewer->Geometry().Zoom(), ZoomLevel::k16);
        const ViewGeometry& geometry = viewer->Geometry();
        QImage shot = viewer->FirstPane()->grab().toImage();
        QCOMPARE(ColourAt(shot, Centre(geometry, 1, 1)), (RgbPixel{24, 24, 24}));
        QCOMPARE(ColourAt(shot, Centre(geometry, 3, 2)), (RgbPixel{255, 255, 255}));
        QCOMPARE(ColourAt(shot, Centre(geometry, 0, 2)), (RgbPixel{0, 0, 0}));

        viewer->findChild<QComboBox*>("styleBox")->setCurrentIndex(1);
        emit viewer->findChild<QComboBox*>("styleBox")->activated(1);
        shot = viewer->FirstPane()->grab().toImage();
        QCOMPARE(ColourAt(shot, Centre(geometry, 1, 1)), HeatColour(24));

        SsimMap map;  // one window, centred on pixel (5, 5)
        map.rows = 1;
        map.columns = 1;
        map.values = {0.5};
        viewer->SetSsimMap(ResultChoice::kReconstruction, map);
        viewer->SetMode(ComparisonMode::kSsimMap);
        QVERIFY(viewer->FirstPane()->Note().isEmpty());
        shot = viewer->FirstPane()->grab().toImage();
        QCOMPARE(ColourAt(shot, Centre(geometry, 5, 5)), SsimColour(0.5));
        QCOMPARE(ColourAt(shot, Centre(geometry, 4, 5)), (RgbPixel{50, 50, 50}));  // the picture dimmed to half its grey
    }

    void theButteraugliMapIsTheFifthModeAskedForOnceAndShownWithItsScale() {
        QCOMPARE(kComparisonModes.back(), ComparisonMode::kButteraugliMap);
        ViewImage source = Filled(8, 7, {100, 100, 100});
        auto viewer = Shown(source, source);
        QVERIFY(viewer);
        std::vector<ResultChoice> requests;
        connect(viewer.get(), &ComparisonViewer::ButteraugliMapRequested, this,
                [&requests](ResultChoice choice) { requests.push_back(choice); });
        QToolButton* button = viewer->findChild<QToolButton*>("butteraugli-map");
        QVERIFY(button);
        QCOMPARE(button->text(), QStringLiteral("Mapa &Butteraugli"));
        QVERIFY(requests.empty());  // the other modes never ask: the map is slow

        button->click();
        QCOMPARE(viewer->Mode(), ComparisonMode::kButteraugliMap);
        QCOMPARE(requests, std::vector<ResultChoice>{ResultChoice::kReconstruction});
        QCOMPARE(viewer->FirstPane()->Note(), QString::fromUtf8("Calculando o mapa Butteraugli…"));
        QVERIFY(!viewer->Legend()->isVisible());
        viewer->SetMode(ComparisonMode::kSsimMap);
        viewer->SetMode(ComparisonMode::kButteraugliMap);
        QCOMPARE(requests.size(), std::size_t(1));

        RealPlane map(7, 8);
        map.Row(1)[1] = 2.5;
        map.Row(2)[3] = 5.0;
        viewer->SetButteraugliMap(ResultChoice::kReconstruction, map);
        QVERIFY(viewer->FirstPane()->Note().isEmpty());
        QVERIFY(viewer->Legend()->isVisible());
        // 0 to 5, a label at every whole distance, the thresholds among them, written the same in every locale.
        QCOMPARE(viewer->Legend()->Labels(), (QStringList{"5", "4", "3", "2", "1", "0"}));
        QTest::keyClick(viewer->FirstPane(), Qt::Key_1);
        for (int i = 0; i < 8; ++i) QTest::keyClick(viewer->FirstPane(), Qt::Key_Plus);
        const ViewGeometry& geometry = viewer->Geometry();
        const QImage shot = viewer->FirstPane()->grab().toImage();
        const ButteraugliScale scale = ButteraugliScaleOf(5.0);
        QCOMPARE(ColourAt(shot, Centre(geometry, 3, 2)), HeatColour(255));
        QCOMPARE(ColourAt(shot, Centre(geometry, 1, 1)), ButteraugliColour(2.5, scale));
        QCOMPARE(ColourAt(shot, Centre(geometry, 6, 5)), HeatColour(0));
        Hover(viewer->FirstPane(), Centre(geometry, 1, 1));
        QVERIFY2(Text(*viewer, "pixelLabel").endsWith(QStringLiteral("   Butteraugli: 2.50")),
                 qPrintable(Text(*viewer, "pixelLabel")));

        // Away and back: the map is kept, and the other modes show no legend.
        viewer->SetMode(ComparisonMode::kDifference);
        QVERIFY(!viewer->Legend()->isVisible());
        QVERIFY(!Text(*viewer, "pixelLabel").contains(QStringLiteral("Butteraugli")));
        viewer->SetMode(ComparisonMode::kButteraugliMap);
        QVERIFY(viewer->Legend()->isVisible());
        QCOMPARE(requests.size(), std::size_t(1));

        // Another result asks for its own map once it is there; a failure is told.
        viewer->SetResult(ResultChoice::kWebP, source, QStringLiteral("WebP q 50"), {});
        viewer->SelectResult(ResultChoice::kWebP);
        QCOMPARE(requests.back(), ResultChoice::kWebP);
        const QString failure = QString::fromUtf8("Não foi possível calcular o mapa Butteraugli.");
        viewer->SetButteraugliMapUnavailable(ResultChoice::kWebP, failure);
        QCOMPARE(viewer->FirstPane()->Note(), failure);
        QVERIFY(!viewer->Legend()->isVisible());

        // A new result makes its map stale: asked for again.
        viewer->SelectResult(ResultChoice::kReconstruction);
        QCOMPARE(requests.size(), std::size_t(2));
        viewer->SetResult(ResultChoice::kReconstruction, source, QStringLiteral("Passo 2"), {});
        QCOMPARE(requests.size(), std::size_t(3));
        QCOMPARE(requests.back(), ResultChoice::kReconstruction);
    }

    void aSmallerResultIsAlignedTopLeftAndItsMissingAreaMarked() {
        const ViewImage source = Filled(9, 7, {0, 200, 0});
        const ViewImage result = Filled(8, 6, {0, 0, 200});
        auto viewer = Shown(source, result);
        QVERIFY(viewer);
        QCOMPARE(viewer->Geometry().ImageWidth(), 9);
        QCOMPARE(viewer->Geometry().ImageHeight(), 7);
        for (int i = 0; i < 6; ++i) QTest::keyClick(viewer->FirstPane(), Qt::Key_Plus);  // 12×
        const ViewGeometry& geometry = viewer->Geometry();
        const QImage shot = viewer->SecondPane()->grab().toImage();
        QCOMPARE(ColourAt(shot, Centre(geometry, 7, 5)), (RgbPixel{0, 0, 200}));
        const RgbPixel missing = ColourAt(shot, Centre(geometry, 8, 6));
        QVERIFY(missing == (RgbPixel{96, 96, 96}) || missing == (RgbPixel{150, 150, 150}));

        Hover(viewer->SecondPane(), Centre(geometry, 8, 3));
        QVERIFY(Text(*viewer, "pixelLabel").endsWith(QString::fromUtf8("Reconstrução: —")));
        viewer->SetMode(ComparisonMode::kDifference);
        QCOMPARE(viewer->FirstPane()->Picture().size(), QSize(8, 6));
    }

    void nothingAndOnePixelAreShownInEveryMode() {
        auto viewer = std::make_unique<ComparisonViewer>();
        viewer->show();
        QVERIFY(QTest::qWaitForWindowExposed(viewer.get()));
        for (ComparisonMode mode : kComparisonModes) {
            viewer->SetMode(mode);
            QTest::keyClick(viewer->FirstPane(), Qt::Key_Plus);
            Wheel(viewer->FirstPane(), QPoint(20, 20), -120);
            Hover(viewer->FirstPane(), QPoint(20, 20));
            QVERIFY(!viewer->FirstPane()->grab().isNull());
            QCOMPARE(viewer->FirstPane()->Note(), QStringLiteral("Nenhuma imagem para comparar."));
        }
        QCOMPARE(Text(*viewer, "pixelLabel"), QString::fromUtf8("—"));

        const ViewImage dot = Filled(1, 1, {10, 20, 30});
        viewer->SetSource(dot);
        viewer->SetResult(ResultChoice::kReconstruction, Filled(1, 1, {12, 20, 30}), {}, {});
        viewer->SetSsimMap(ResultChoice::kReconstruction, SsimMap{1, 1, {0.9}});
        for (ComparisonMode mode : kComparisonModes) {
            viewer->SetMode(mode);
            QTest::keyClick(viewer->FirstPane(), Qt::Key_F);
            for (int i = 0; i < 9; ++i) QTest::keyClick(viewer->FirstPane(), Qt::Key_Plus);
            Drag(viewer->FirstPane(), QPoint(10, 10), QPoint(300, 300));
            QVERIFY(!viewer->FirstPane()->grab().isNull());
        }
        Hover(viewer->FirstPane(), Centre(viewer->Geometry(), 0, 0));
        QCOMPARE(Text(*viewer, "pixelLabel"),
                 QString::fromUtf8("x 0, y 0   Original: R 10 G 20 B 30   Reconstrução: R 12 G 20 B 30"));
    }

    void aMissingResultIsRequestedOnceAndTheAnswerShown() {
        auto viewer = Shown(Pattern(40, 30), Pattern(40, 30));
        QVERIFY(viewer);
        std::vector<ResultChoice> requests;
        connect(viewer.get(), &ComparisonViewer::ResultRequested, this,
                [&requests](ResultChoice choice) { requests.push_back(choice); });
        QComboBox* box = viewer->findChild<QComboBox*>("resultBox");
        QCOMPARE(box->itemText(0), QString::fromUtf8("Reconstrução"));
        QCOMPARE(box->itemText(4), QStringLiteral("JPEG XL"));

        box->setCurrentIndex(1);
        emit box->activated(1);
        QCOMPARE(requests, std::vector<ResultChoice>{ResultChoice::kJpeg});
        QCOMPARE(viewer->SecondPane()->Note(), QString::fromUtf8("Codificando…"));
        viewer->SelectResult(ResultChoice::kReconstruction);
        viewer->SelectResult(ResultChoice::kJpeg);
        QCOMPARE(requests.size(), std::size_t(1));

        viewer->SetResult(ResultChoice::kJpeg, Pattern(40, 30), QStringLiteral("JPEG q 37"), {});
        QVERIFY(viewer->SecondPane()->Note().isEmpty());
        QCOMPARE(viewer->SecondPane()->Picture().size(), QSize(40, 30));

        const QString refusal = QString::fromUtf8("Nenhuma configuração de AVIF cabe no tamanho do arquivo.");
        viewer->SetResultUnavailable(ResultChoice::kAvif, refusal);
        viewer->SelectResult(ResultChoice::kAvif);
        QCOMPARE(requests.size(), std::size_t(1));
        QCOMPARE(viewer->SecondPane()->Note(), refusal);
        QVERIFY(viewer->SecondPane()->Picture().isNull());

        // A new source makes every result stale.
        viewer->SelectResult(ResultChoice::kJpeg);
        viewer->SetSource(Pattern(20, 20));
        QCOMPARE(requests.back(), ResultChoice::kJpeg);
        QCOMPARE(requests.size(), std::size_t(2));
    }

    void modeAndSizeAreRememberedForTheNextWindow() {
        {
            ComparisonViewer first;
            first.SetMode(ComparisonMode::kDifference);
            first.resize(870, 610);
        }
        ComparisonViewer second;
        QCOMPARE(second.Mode(), ComparisonMode::kDifference);
        QCOMPARE(second.size(), QSize(870, 610));
        QVERIFY(QFileInfo(settingsFolder_.path() + "/Pictora/pictora.conf").exists());
    }
};

QTEST_MAIN(ComparisonViewerTest)
#include "ComparisonViewerTest.moc"
