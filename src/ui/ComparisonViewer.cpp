#include "ui/ComparisonViewer.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLabel>
#include <QPixmap>
#include <QSettings>
#include <QSignalBlocker>
#include <QToolButton>
#include <QVBoxLayout>
#include <algorithm>

#include "display/MeasureText.h"
#include "display/SsimOverlay.h"
#include "display/ViewImageConversion.h"
#include "support/Truncate.h"
#include "ui/ButteraugliLegend.h"
#include "ui/ComparisonPane.h"

namespace pictora {
namespace {

const QSize kDefaultSize(1100, 720);
constexpr std::array<int, 5> kAmplifications = {1, 2, 4, 8, 16};
constexpr int kScaleWidth = 18;
constexpr int kScaleHeight = 256;

QString SourceCaption() { return QStringLiteral("Original"); }

QSettings ViewerSettings() { return QSettings(QStringLiteral("Pictora"), QStringLiteral("pictora")); }

QString Utf8(const std::string& text) { return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())); }

QString PixelValues(const ViewImage& image, PixelPoint pixel) {
    if (!image.Contains(pixel.x, pixel.y)) return QStringLiteral("—");
    const RgbPixel p = image.At(pixel.x, pixel.y);
    return QStringLiteral("R %1 G %2 B %3").arg(p.red).arg(p.green).arg(p.blue);
}

}  // namespace

ComparisonViewer::ComparisonViewer(QWidget* parent) : QWidget(parent, Qt::Window) {
    setWindowTitle(QStringLiteral("Comparar imagens"));
    setMinimumSize(480, 320);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(6, 6, 6, 4);
    layout->addWidget(CreateToolbar());

    auto* panes = new QHBoxLayout;
    panes->setSpacing(4);
    firstPane_ = new ComparisonPane(&geometry_, this);
    firstPane_->setObjectName(QStringLiteral("firstPane"));
    secondPane_ = new ComparisonPane(&geometry_, this);
    secondPane_->setObjectName(QStringLiteral("secondPane"));
    for (ComparisonPane* pane : {firstPane_, secondPane_}) {
        pane->setFocusPolicy(Qt::StrongFocus);
        panes->addWidget(pane, 1);
        connect(pane, &ComparisonPane::ViewChanged, this, &ComparisonViewer::ViewMoved);
        connect(pane, &ComparisonPane::PointerMoved, this, [this](QPoint position) { ShowPixel(position); });
        connect(pane, &ComparisonPane::PointerLeft, this, [this] { ShowPixel(std::nullopt); });
    }
    // The panes lie side by side with equal stretch, so the first one's size is the view of both.
    connect(firstPane_, &ComparisonPane::Resized, this, [this](QSize size) {
        geometry_.SetViewport(size.width(), size.height());
        ViewMoved();
    });

    ssimScale_ = new QWidget(this);
    auto* scale = new QVBoxLayout(ssimScale_);
    scale->setContentsMargins(2, 0, 0, 0);
    ssimScalePicture_ = new QLabel(ssimScale_);
    ssimScalePicture_->setPixmap(QPixmap::fromImage(ToQImage(SsimScaleImage(kScaleWidth, kScaleHeight))));
    scale->addStretch(1);
    scale->addWidget(new QLabel(QStringLiteral("1"), ssimScale_), 0, Qt::AlignHCenter);
    scale->addWidget(ssimScalePicture_, 0, Qt::AlignHCenter);
    scale->addWidget(new QLabel(QStringLiteral("0"), ssimScale_), 0, Qt::AlignHCenter);
    scale->addStretch(1);
    panes->addWidget(ssimScale_);
    butteraugliLegend_ = new ButteraugliLegend(this);
    panes->addWidget(butteraugliLegend_);
    layout->addLayout(panes, 1);
    layout->addWidget(CreateStatusLine());

    RestoreSettings();
    Refresh();
}

ComparisonViewer::~ComparisonViewer() { SaveSettings(); }

QWidget* ComparisonViewer::CreateToolbar() {
    auto* bar = new QWidget(this);
    auto* row = new QHBoxLayout(bar);
    row->setContentsMargins(0, 0, 0, 0);

    auto* resultCaption = new QLabel(QStringLiteral("&Resultado:"), bar);
    resultBox_ = new QComboBox(bar);
    resultBox_->setObjectName(QStringLiteral("resultBox"));
    for (ResultChoice choice : kResultChoices) resultBox_->addItem(ResultChoiceCaption(choice));
    resultCaption->setBuddy(resultBox_);
    connect(resultBox_, &QComboBox::activated, this, [this](int index) {
        SelectResult(kResultChoices[static_cast<std::size_t>(index)]);
        firstPane_->setFocus();
    });
    row->addWidget(resultCaption);
    row->addWidget(resultBox_);
    row->addSpacing(12);

    modeButtons_ = new QButtonGroup(bar);
    modeButtons_->setExclusive(true);
    for (ComparisonMode mode : kComparisonModes) {
        auto* button = new QToolButton(bar);
        button->setText(ComparisonModeCaption(mode));
        button->setCheckable(true);
        button->setObjectName(ComparisonModeKey(mode));
        button->setToolButtonStyle(Qt::ToolButtonTextOnly);
        modeButtons_->addButton(button, static_cast<int>(mode));
        row->addWidget(button);
    }
    connect(modeButtons_, &QButtonGroup::idClicked, this, [this](int id) {
        SetMode(static_cast<ComparisonMode>(id));
        firstPane_->setFocus();
    });
    row->addSpacing(12);

    auto* zoomCaption = new QLabel(QStringLiteral("&Zoom:"), bar);
    zoomBox_ = new QComboBox(bar);
    zoomBox_->setObjectName(QStringLiteral("zoomBox"));
    for (ZoomLevel level : kZoomLevels) zoomBox_->addItem(QString::fromUtf8(ZoomCaption(level)));
    zoomCaption->setBuddy(zoomBox_);
    connect(zoomBox_, &QComboBox::activated, this, [this](int index) {
        ZoomTo(kZoomLevels[static_cast<std::size_t>(index)]);
        firstPane_->setFocus();
    });
    row->addWidget(zoomCaption);
    row->addWidget(zoomBox_);
    row->addSpacing(12);

    differenceOptions_ = new QWidget(bar);
    auto* options = new QHBoxLayout(differenceOptions_);
    options->setContentsMargins(0, 0, 0, 0);
    auto* gainCaption = new QLabel(QString::fromUtf8("&Amplificação:"), differenceOptions_);
    amplificationBox_ = new QComboBox(differenceOptions_);
    amplificationBox_->setObjectName(QStringLiteral("amplificationBox"));
    for (int gain : kAmplifications) amplificationBox_->addItem(QString::fromUtf8("×%1").arg(gain), gain);
    gainCaption->setBuddy(amplificationBox_);
    styleBox_ = new QComboBox(differenceOptions_);
    styleBox_->setObjectName(QStringLiteral("styleBox"));
    styleBox_->addItem(QStringLiteral("Cinza"));
    styleBox_->addItem(QStringLiteral("Cores falsas"));
    const auto differenceChosen = [this] {
        SetDifference(amplificationBox_->currentData().toInt(),
                      styleBox_->currentIndex() == 0 ? DifferenceStyle::kGrey : DifferenceStyle::kFalseColour);
        firstPane_->setFocus();
    };
    connect(amplificationBox_, &QComboBox::activated, this, differenceChosen);
    connect(styleBox_, &QComboBox::activated, this, differenceChosen);
    options->addWidget(gainCaption);
    options->addWidget(amplificationBox_);
    options->addWidget(styleBox_);
    row->addWidget(differenceOptions_);
    row->addStretch(1);
    return bar;
}

QWidget* ComparisonViewer::CreateStatusLine() {
    auto* line = new QWidget(this);
    auto* row = new QHBoxLayout(line);
    row->setContentsMargins(2, 0, 2, 0);
    pixelLabel_ = new QLabel(line);
    pixelLabel_->setObjectName(QStringLiteral("pixelLabel"));
    measuresLabel_ = new QLabel(line);
    measuresLabel_->setObjectName(QStringLiteral("measuresLabel"));
    for (QLabel* label : {pixelLabel_, measuresLabel_}) {
        label->setFrameShape(QFrame::Panel);
        label->setFrameShadow(QFrame::Sunken);
        label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    }
    row->addWidget(pixelLabel_, 1);
    row->addWidget(measuresLabel_);
    return line;
}

void ComparisonViewer::RestoreSettings() {
    QSettings settings = ViewerSettings();
    settings.beginGroup(QStringLiteral("ComparisonViewer"));
    const QSize size = settings.value(QStringLiteral("size")).toSize();
    resize(size.isValid() ? size.expandedTo(minimumSize()) : kDefaultSize);
    mode_ = ComparisonModeOfKey(settings.value(QStringLiteral("mode")).toString()).value_or(ComparisonMode::kSideBySide);
}

void ComparisonViewer::SaveSettings() const {
    QSettings settings = ViewerSettings();
    settings.beginGroup(QStringLiteral("ComparisonViewer"));
    settings.setValue(QStringLiteral("size"), size());
    settings.setValue(QStringLiteral("mode"), ComparisonModeKey(mode_));
}

void ComparisonViewer::closeEvent(QCloseEvent* event) {
    SaveSettings();
    QWidget::closeEvent(event);
}

void ComparisonViewer::SetSource(const ViewImage& source) {
    source_ = source;
    sourcePicture_ = ToQImage(source_);
    results_ = {};
    geometry_.ZoomAbout(ZoomLevel::kFit, {});
    Refresh();
    RequestIfMissing();
}

void ComparisonViewer::SetResult(ResultChoice choice, const ViewImage& image, const QString& label,
                                 const std::optional<RateQualityPoint>& figures) {
    Result& result = results_[static_cast<std::size_t>(choice)];
    result = {};
    result.state = ResultState::kReady;
    result.image = image;
    result.picture = ToQImage(image);
    result.label = label.isEmpty() ? ResultChoiceCaption(choice) : label;
    result.figures = figures;
    if (choice != selected_) return;
    Refresh();
    RequestButteraugliIfMissing();
}

void ComparisonViewer::SetResultUnavailable(ResultChoice choice, const QString& message) {
    Result& result = results_[static_cast<std::size_t>(choice)];
    result = {};
    result.state = ResultState::kUnavailable;
    result.message = message;
    if (choice == selected_) Refresh();
}

void ComparisonViewer::SetSsimMap(ResultChoice choice, const SsimMap& map) {
    results_[static_cast<std::size_t>(choice)].ssim = map;
    if (choice == selected_ && mode_ == ComparisonMode::kSsimMap) Refresh();
}

void ComparisonViewer::SetButteraugliMap(ResultChoice choice, const RealPlane& map) {
    Result& result = results_[static_cast<std::size_t>(choice)];
    result.butteraugliLargest = LargestSample(map);
    result.butteraugliScale = ButteraugliScaleOf(result.butteraugliLargest);
    result.butteraugliPicture = ToQImage(ButteraugliPicture(map, result.butteraugliScale));
    result.butteraugli = map;
    result.butteraugliState = ResultState::kReady;
    if (choice == selected_ && mode_ == ComparisonMode::kButteraugliMap) Refresh();
}

void ComparisonViewer::SetButteraugliMapUnavailable(ResultChoice choice, const QString& message) {
    Result& result = results_[static_cast<std::size_t>(choice)];
    result.butteraugli.reset();
    result.butteraugliPicture = {};
    result.butteraugliState = ResultState::kUnavailable;
    result.butteraugliMessage = message;
    if (choice == selected_ && mode_ == ComparisonMode::kButteraugliMap) Refresh();
}

void ComparisonViewer::ForgetResults() {
    results_ = {};
    Refresh();
    RequestIfMissing();
}

void ComparisonViewer::SelectResult(ResultChoice choice) {
    selected_ = choice;
    Refresh();
    RequestIfMissing();
    RequestButteraugliIfMissing();
}

void ComparisonViewer::SetMode(ComparisonMode mode) {
    mode_ = mode;
    Refresh();
    RequestButteraugliIfMissing();
}

void ComparisonViewer::SetDifference(int amplification, DifferenceStyle style) {
    amplification_ = std::clamp(amplification, kAmplifications.front(), kAmplifications.back());
    differenceStyle_ = style;
    if (mode_ == ComparisonMode::kDifference) Refresh();
}

void ComparisonViewer::RequestIfMissing() {
    if (source_.Empty() || Selected().state != ResultState::kMissing) return;
    Selected().state = ResultState::kRequested;
    Refresh();
    emit ResultRequested(selected_);
}

void ComparisonViewer::RequestButteraugliIfMissing() {
    if (mode_ != ComparisonMode::kButteraugliMap || source_.Empty() || Selected().state != ResultState::kReady ||
        Selected().butteraugliState != ResultState::kMissing)
        return;
    Selected().butteraugliState = ResultState::kRequested;
    Refresh();
    emit ButteraugliMapRequested(selected_);
}

QString ComparisonViewer::ResultNote() const {
    if (source_.Empty()) return QStringLiteral("Nenhuma imagem para comparar.");
    switch (Selected().state) {
        case ResultState::kReady: return {};
        case ResultState::kRequested: return QString::fromUtf8("Codificando…");
        case ResultState::kUnavailable: return Selected().message;
        case ResultState::kMissing: break;
    }
    return QString::fromUtf8("Resultado não disponível.");
}

void ComparisonViewer::Refresh() {
    const Result& result = Selected();
    const bool ready = result.state == ResultState::kReady && !source_.Empty();
    geometry_.SetImageSize(std::max(source_.width, ready ? result.image.width : 0),
                           std::max(source_.height, ready ? result.image.height : 0));
    {
        const QSignalBlocker blockResults(resultBox_);
        resultBox_->setCurrentIndex(static_cast<int>(selected_));
        const QSignalBlocker blockModes(modeButtons_);
        modeButtons_->button(static_cast<int>(mode_))->setChecked(true);
        const QSignalBlocker blockGain(amplificationBox_);
        amplificationBox_->setCurrentIndex(amplificationBox_->findData(amplification_));
        const QSignalBlocker blockStyle(styleBox_);
        styleBox_->setCurrentIndex(differenceStyle_ == DifferenceStyle::kGrey ? 0 : 1);
    }
    differenceOptions_->setVisible(mode_ == ComparisonMode::kDifference);
    ssimScale_->setVisible(mode_ == ComparisonMode::kSsimMap);
    butteraugliLegend_->setVisible(mode_ == ComparisonMode::kButteraugliMap && ready &&
                                   result.butteraugliState == ResultState::kReady);
    secondPane_->setVisible(mode_ == ComparisonMode::kSideBySide);
    secondPane_->SetNote({});
    firstPane_->SetNote({});

    const QString note = ResultNote();
    switch (mode_) {
        case ComparisonMode::kSideBySide:
            firstPane_->ShowPicture(sourcePicture_, SourceCaption());
            secondPane_->ShowPicture(ready ? result.picture : QImage(), ready ? result.label : QString());
            (source_.Empty() ? firstPane_ : secondPane_)->SetNote(note);
            break;
        case ComparisonMode::kSplit:
            if (ready)
                firstPane_->ShowSplit(sourcePicture_, SourceCaption(), result.picture, result.label);
            else
                firstPane_->ShowPicture(sourcePicture_, SourceCaption());
            firstPane_->SetNote(note);
            break;
        case ComparisonMode::kDifference: ShowDifference(); break;
        case ComparisonMode::kSsimMap: ShowSsimMap(); break;
        case ComparisonMode::kButteraugliMap: ShowButteraugliMap(); break;
    }
    ViewMoved();
}

void ComparisonViewer::ShowDifference() {
    const Result& result = Selected();
    if (result.state != ResultState::kReady || source_.Empty()) {
        firstPane_->ShowPicture(QImage(), {});
        firstPane_->SetNote(ResultNote());
        return;
    }
    const ViewImage difference = DifferenceImage(source_, result.image, amplification_, differenceStyle_);
    firstPane_->ShowPicture(ToQImage(difference),
                            QString::fromUtf8("|Original − %1| ×%2").arg(result.label).arg(amplification_));
}

void ComparisonViewer::ShowSsimMap() {
    const Result& result = Selected();
    if (result.state != ResultState::kReady || source_.Empty()) {
        firstPane_->ShowPicture(sourcePicture_, SourceCaption());
        firstPane_->SetNote(ResultNote());
        return;
    }
    if (!result.ssim || result.ssim->Empty()) {
        firstPane_->ShowPicture(sourcePicture_, SourceCaption());
        firstPane_->SetNote(QString::fromUtf8("Nenhum mapa SSIM para esta comparação."));
        return;
    }
    firstPane_->ShowPicture(ToQImage(SsimOverlay(*result.ssim, source_)),
                            QString::fromUtf8("SSIM: Original × %1").arg(result.label));
}

void ComparisonViewer::ShowButteraugliMap() {
    const Result& result = Selected();
    firstPane_->ShowPicture(sourcePicture_, SourceCaption());
    if (result.state != ResultState::kReady || source_.Empty()) {
        firstPane_->SetNote(ResultNote());
        return;
    }
    switch (result.butteraugliState) {
        case ResultState::kMissing:
        case ResultState::kRequested: firstPane_->SetNote(QString::fromUtf8("Calculando o mapa Butteraugli…")); break;
        case ResultState::kUnavailable: firstPane_->SetNote(result.butteraugliMessage); break;
        case ResultState::kReady:
            butteraugliLegend_->SetScale(result.butteraugliScale);
            firstPane_->ShowPicture(result.butteraugliPicture,
                                    QString::fromUtf8("Butteraugli: Original × %1 (máx. %2)")
                                        .arg(result.label, Utf8(MeasureText(result.butteraugliLargest, 2))));
            break;
    }
}

void ComparisonViewer::ZoomTo(ZoomLevel level) {
    const ViewPoint anchor = pointer_ ? ViewPoint{static_cast<double>(pointer_->x()), static_cast<double>(pointer_->y())}
                                      : geometry_.ViewCentre();
    geometry_.ZoomAbout(level, anchor);
    ViewMoved();
}

void ComparisonViewer::ZoomStep(bool in) { ZoomTo(in ? ZoomedIn(geometry_.Zoom()) : ZoomedOut(geometry_.Zoom())); }

void ComparisonViewer::keyPressEvent(QKeyEvent* event) {
    switch (event->key()) {
        case Qt::Key_F:
        case Qt::Key_0: ZoomTo(ZoomLevel::kFit); break;
        case Qt::Key_1: ZoomTo(ZoomLevel::k1); break;
        case Qt::Key_Plus:
        case Qt::Key_Equal: ZoomStep(true); break;
        case Qt::Key_Minus: ZoomStep(false); break;
        default: QWidget::keyPressEvent(event); return;
    }
    event->accept();
}

void ComparisonViewer::ViewMoved() {
    {
        const QSignalBlocker block(zoomBox_);
        zoomBox_->setCurrentIndex(static_cast<int>(geometry_.Zoom()));
    }
    firstPane_->update();
    secondPane_->update();
    ShowPixel(pointer_);
}

void ComparisonViewer::ShowPixel(std::optional<QPoint> position) {
    pointer_ = position;
    pixelLabel_->setText(PixelText());
    measuresLabel_->setText(MeasuresText());
}

QString ComparisonViewer::PixelText() const {
    if (!pointer_) return QStringLiteral("—");
    const std::optional<PixelPoint> pixel =
        geometry_.PixelAt({static_cast<double>(pointer_->x()), static_cast<double>(pointer_->y())});
    if (!pixel) return QStringLiteral("—");
    const Result& result = Selected();
    const bool ready = result.state == ResultState::kReady;
    return QStringLiteral("x %1, y %2   %3: %4   %5: %6")
               .arg(pixel->x)
               .arg(pixel->y)
               .arg(SourceCaption(), PixelValues(source_, *pixel), ready ? result.label : ResultChoiceCaption(selected_),
                    ready ? PixelValues(result.image, *pixel) : QStringLiteral("—")) +
           ButteraugliPixelText(*pixel);
}

// In the Butteraugli mode the distance under the pointer follows the pixels.
QString ComparisonViewer::ButteraugliPixelText(PixelPoint pixel) const {
    const Result& result = Selected();
    if (mode_ != ComparisonMode::kButteraugliMap || result.state != ResultState::kReady || !result.butteraugli)
        return {};
    const RealPlane& map = *result.butteraugli;
    const bool inside = pixel.x >= 0 && pixel.y >= 0 && static_cast<std::uint32_t>(pixel.x) < map.Width() &&
                        static_cast<std::uint32_t>(pixel.y) < map.Height();
    return QStringLiteral("   Butteraugli: %1")
        .arg(inside ? Utf8(MeasureText(map.Row(static_cast<std::size_t>(pixel.y))[pixel.x], 2)) : QStringLiteral("—"));
}

QString ComparisonViewer::MeasuresText() const {
    QString zoom = QString::fromUtf8(ZoomCaption(geometry_.Zoom()));
    if (geometry_.Zoom() == ZoomLevel::kFit)
        zoom += QStringLiteral(" (%1%)").arg(TruncateToInt64(geometry_.Scale() * 100));
    const Result& result = Selected();
    // Every measure is unknown until the result is there with its figures.
    const bool known = result.state == ResultState::kReady && result.figures.has_value();
    const RateQualityPoint m = known ? *result.figures : RateQualityPoint{};
    const auto shown = [known](std::optional<double> value) { return known ? value : std::nullopt; };
    const std::optional<double> psnrValue = shown(m.quality.psnrMean);
    const QString psnr = Utf8(MeasureText(psnrValue, 2)) + (psnrValue ? QStringLiteral(" dB") : QString());
    return QStringLiteral("Zoom %1   bpp %2   pSNR %3   SSIM %4   MS-SSIM %5")
        .arg(zoom, Utf8(MeasureText(shown(m.bpp), 3)), psnr, Utf8(MeasureText(shown(m.similarity.ssim), 4)),
             Utf8(MeasureText(shown(m.similarity.msSsim), 4)));
}

}  // namespace pictora
