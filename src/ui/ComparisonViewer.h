#pragma once

#include <QImage>
#include <QString>
#include <QWidget>
#include <array>
#include <optional>

#include "display/ButteraugliOverlay.h"
#include "display/DifferenceImage.h"
#include "display/ViewGeometry.h"
#include "display/ViewImage.h"
#include "measures/RateQualityPoint.h"
#include "measures/RealPlane.h"
#include "measures/SsimMap.h"
#include "ui/ComparisonMode.h"
#include "ui/ResultChoice.h"

class QButtonGroup;
class QComboBox;
class QLabel;

namespace pictora {

class ButteraugliLegend;
class ComparisonPane;

// The window that sets a source image against a result: side by side,
// under a split line, as an amplified difference, as an SSIM heat map or as
// a Butteraugli distance map, with a shared zoom and pan and a status line
// of pixel values and measures.
//
// The owner supplies every image. Choosing a result the viewer does not have
// yet emits ResultRequested once; the pane says "Codificando…" until the
// owner calls SetResult, or SetResultUnavailable with the reason. A
// Butteraugli map is slow, so it is asked for only when the Butteraugli mode
// shows a result without one: ButteraugliMapRequested once, the pane saying
// "Calculando o mapa Butteraugli…" until SetButteraugliMap or
// SetButteraugliMapUnavailable.
// The window remembers its size and mode between sessions.
class ComparisonViewer : public QWidget {
    Q_OBJECT

public:
    explicit ComparisonViewer(QWidget* parent = nullptr);
    ~ComparisonViewer() override;

    // A new source makes every result and map stale: they are forgotten.
    void SetSource(const ViewImage& source);
    // The source stays but every result and map is stale (the coded image
    // changed): they are forgotten, the zoom and pan kept.
    void ForgetResults();
    // `label` names the result in the panes and the status line (e.g. "JPEG q 37");
    // `figures` its bpp, pSNR, SSIM and MS-SSIM, when they are known.
    void SetResult(ResultChoice choice, const ViewImage& image, const QString& label,
                   const std::optional<RateQualityPoint>& figures);
    // The choice cannot be shown; `message` (Portuguese) tells the user why.
    void SetResultUnavailable(ResultChoice choice, const QString& message);
    void SetSsimMap(ResultChoice choice, const SsimMap& map);
    // The result's Butteraugli distance at each pixel of the source.
    void SetButteraugliMap(ResultChoice choice, const RealPlane& map);
    // The map cannot be worked out; `message` (Portuguese) tells the user why.
    void SetButteraugliMapUnavailable(ResultChoice choice, const QString& message);

    void SelectResult(ResultChoice choice);
    ResultChoice SelectedResult() const { return selected_; }
    void SetMode(ComparisonMode mode);
    ComparisonMode Mode() const { return mode_; }
    // `amplification` is one of 1, 2, 4, 8, 16.
    void SetDifference(int amplification, DifferenceStyle style);

    const ViewGeometry& Geometry() const { return geometry_; }
    // The first pane shows the source (or the whole comparison); the second,
    // only side by side, the result.
    ComparisonPane* FirstPane() const { return firstPane_; }
    ComparisonPane* SecondPane() const { return secondPane_; }
    // The key to the Butteraugli map, shown beside it.
    ButteraugliLegend* Legend() const { return butteraugliLegend_; }
    QString PixelText() const;
    QString MeasuresText() const;

signals:
    void ResultRequested(ResultChoice choice);
    void ButteraugliMapRequested(ResultChoice choice);

protected:
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;

private:
    enum class ResultState { kMissing, kRequested, kReady, kUnavailable };
    struct Result {
        ResultState state = ResultState::kMissing;
        ViewImage image;
        QImage picture;
        QString label;
        std::optional<RateQualityPoint> figures;
        QString message;
        std::optional<SsimMap> ssim;
        // The Butteraugli map goes through the same states as the result.
        ResultState butteraugliState = ResultState::kMissing;
        std::optional<RealPlane> butteraugli;
        ButteraugliScale butteraugliScale;
        double butteraugliLargest = 0.0;
        QImage butteraugliPicture;
        QString butteraugliMessage;
    };

    QWidget* CreateToolbar();
    QWidget* CreateStatusLine();
    void RestoreSettings();
    void SaveSettings() const;
    Result& Selected() { return results_[static_cast<std::size_t>(selected_)]; }
    const Result& Selected() const { return results_[static_cast<std::size_t>(selected_)]; }
    void RequestIfMissing();
    void RequestButteraugliIfMissing();
    // Rebuilds what the panes show after the source, result, mode or
    // difference settings changed.
    void Refresh();
    QString ResultNote() const;
    void ShowDifference();
    void ShowSsimMap();
    void ShowButteraugliMap();
    QString ButteraugliPixelText(PixelPoint pixel) const;
    void ZoomTo(ZoomLevel level);
    void ZoomStep(bool in);
    void ViewMoved();
    void ShowPixel(std::optional<QPoint> position);

    ViewGeometry geometry_;
    ViewImage source_;
    QImage sourcePicture_;
    std::array<Result, kResultChoices.size()> results_;
    ResultChoice selected_ = ResultChoice::kReconstruction;
    ComparisonMode mode_ = ComparisonMode::kSideBySide;
    int amplification_ = 4;
    DifferenceStyle differenceStyle_ = DifferenceStyle::kGrey;

    QComboBox* resultBox_;
    QButtonGroup* modeButtons_;
    QComboBox* zoomBox_;
    QWidget* differenceOptions_;
    QComboBox* amplificationBox_;
    QComboBox* styleBox_;
    ComparisonPane* firstPane_;
    ComparisonPane* secondPane_;
    QWidget* ssimScale_;
    QLabel* ssimScalePicture_;
    ButteraugliLegend* butteraugliLegend_;
    QLabel* pixelLabel_;
    QLabel* measuresLabel_;
    std::optional<QPoint> pointer_;
};

}  // namespace pictora
