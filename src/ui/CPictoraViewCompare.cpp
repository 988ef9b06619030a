// The form's side of the comparison: the viewer window, the reference codecs'
// files and ladders worked out on the worker, and the rate-distortion tab.
#include <QComboBox>
#include <algorithm>
#include <new>

#include "commands/ErrorText.h"
#include "display/RdChartView.h"
#include "measures/RgbSsimMap.h"
#include "report/RunRdChart.h"
#include "support/NumberText.h"
#include "ui/CPictoraView.h"
#include "ui/ComparisonViewer.h"

namespace pictora {
namespace {

// Up to this many pixels the reconstruction's SSIM map is worked out on the
// interface thread at once (some tens of milliseconds); a larger image's map
// goes to the worker so the form does not stall.
constexpr std::int64_t kInlineMapPixels = 512 * 512;

// The knob as the codec's users write it: "JPEG q 37", "AVIF qp 20".
QString ReferenceLabel(ReferenceCodecKind kind, double knob) {
    const ReferenceCodecTraits& codec = TraitsOf(kind);
    return QString::fromUtf8("%1 %2 %3")
        .arg(QString::fromUtf8(codec.title.data(), static_cast<qsizetype>(codec.title.size())),
             QString::fromUtf8(codec.knobSymbol.data(), static_cast<qsizetype>(codec.knobSymbol.size())),
             QString::fromStdString(ReferenceCodec::KnobText(knob)));
}

bool SameStudy(const StudyJob& a, const StudyJob& b) {
    return a.task == b.task && a.codec == b.codec && a.ticket == b.ticket;
}

}  // namespace

ComparisonViewer* CPictoraView::Viewer() const { return viewer_; }

void CPictoraView::OnCompareImages() {
    RunTellingMemoryShortage([this] { OpenViewer(); });
}

void CPictoraView::OpenViewer() {
    if (!studySource_) {
        dialogs_->ShowMessage(QString::fromUtf8("Abra uma imagem antes de comparar."), UserDialogs::Icon::Information);
        return;
    }
    if (!viewer_) {
        viewer_ = new ComparisonViewer(this);
        connect(viewer_, &ComparisonViewer::ResultRequested, this, &CPictoraView::AnswerViewer);
        connect(viewer_, &ComparisonViewer::ButteraugliMapRequested, this, &CPictoraView::WantButteraugliMap);
        viewer_->SetSource(ViewImageOf(*studySource_));
    }
    viewer_->show();
    viewer_->raise();
    viewer_->activateWindow();
}

void CPictoraView::AnswerViewer(ResultChoice choice) {
    try {
        GiveResult(choice);
    } catch (const std::bad_alloc&) {
        viewer_->SetResultUnavailable(choice, PortugueseSentence(Status::Error(ErrorKind::OutOfMemory, "not enough memory")));
    }
}

void CPictoraView::GiveResult(ResultChoice choice) {
    const std::optional<ReferenceCodecKind> codec = CodecOf(choice);
    if (!shownResult_) {
        viewer_->SetResultUnavailable(
            choice, QString::fromUtf8("Ainda não há imagem codificada: aplique a rede neural à imagem ou abra um "
                                      "arquivo codificado."));
        return;
    }
    if (!codec) {
        viewer_->SetResult(choice, ViewImageOf(*shownReconstruction_), ResultChoiceCaption(choice),
                           shownResult_->figures);
        GiveReconstructionMap();
        return;
    }
    const auto cached = std::find_if(references_.begin(), references_.end(),
                                     [&](const ReferenceAtSize& reference) { return reference.codec == *codec; });
    if (cached != references_.end()) {
        AnswerReference(*cached);
        return;
    }
    Want({StudyTask::ReferenceAtSize, *codec, shownResult_->rate.Total(), resultTicket_});
}

void CPictoraView::AnswerReference(const ReferenceAtSize& reference) {
    if (!viewer_) return;
    const ResultChoice choice = ChoiceOf(reference.codec);
    if (!reference.fits) {
        viewer_->SetResultUnavailable(
            choice, QString::fromUtf8("%1 não consegue codificar a imagem em %2 bytes ou menos.")
                        .arg(ResultChoiceCaption(choice))
                        .arg(static_cast<qulonglong>(shownResult_ ? shownResult_->rate.Total() : 0)));
        return;
    }
    viewer_->SetResult(choice, ViewImageOf(reference.decoded), ReferenceLabel(reference.codec, reference.knob),
                       reference.figures);
    if (reference.ssimMap) viewer_->SetSsimMap(choice, *reference.ssimMap);
}

void CPictoraView::GiveReconstructionMap() {
    if (!reconstructionMap_) {
        if (!studySource_) return;
        const RgbImage& source = *studySource_;
        if (static_cast<std::int64_t>(source.width) * source.height > kInlineMapPixels) {
            Want({StudyTask::ReconstructionSsimMap, ReferenceCodecKind::Jpeg, 0, resultTicket_});
            return;
        }
        reconstructionMap_ = RgbSsimMap(source, *shownReconstruction_);
    }
    if (reconstructionMap_) viewer_->SetSsimMap(ResultChoice::kReconstruction, *reconstructionMap_);
}

// The map is slow at any size: always on the study thread.
void CPictoraView::WantButteraugliMap(ResultChoice choice) {
    const std::optional<ReferenceCodecKind> codec = CodecOf(choice);
    try {
        Want({codec ? StudyTask::ReferenceButteraugliMap : StudyTask::ReconstructionButteraugliMap,
              codec.value_or(ReferenceCodecKind::Jpeg), 0, resultTicket_});
    } catch (const std::bad_alloc&) {
        viewer_->SetButteraugliMapUnavailable(
            choice, PortugueseSentence(Status::Error(ErrorKind::OutOfMemory, "not enough memory")));
    }
}

void CPictoraView::TakeButteraugliMap(const Status& status, const StudyOutcome& outcome) {
    const ResultChoice choice = outcome.job.task == StudyTask::ReferenceButteraugliMap ? ChoiceOf(outcome.job.codec)
                                                                                      : ResultChoice::kReconstruction;
    if (status && outcome.butteraugliMap) {
        viewer_->SetButteraugliMap(choice, *outcome.butteraugliMap);
        return;
    }
    const QString reason = status.kind() == ErrorKind::OutOfMemory
                               ? PortugueseSentence(status)
                               : QString::fromUtf8("O Butteraugli só compara imagens do mesmo tamanho.");
    viewer_->SetButteraugliMapUnavailable(choice,
                                          QString::fromUtf8("Não foi possível calcular o mapa Butteraugli.\n%1").arg(reason));
}

void CPictoraView::Want(StudyJob job) {
    const auto same = [&](const StudyJob& asked) { return SameStudy(asked, job); };
    if (std::any_of(wantedStudies_.begin(), wantedStudies_.end(), same) ||
        std::any_of(postedStudies_.begin(), postedStudies_.end(), same))
        return;
    wantedStudies_.push_back(job);
    PostWantedStudies();
}

// Studies run only between runs, so a step never shares its cores with one
// it did not ask for.
void CPictoraView::PostWantedStudies() {
    if (RunInProgress()) return;
    for (const StudyJob& job : wantedStudies_) {
        studies_->Post({job, studySource_, ComparedImage(job)});
        postedStudies_.push_back(job);
    }
    wantedStudies_.clear();
}

// The studies under way are given up and wanted again, ahead of the others.
void CPictoraView::CancelStudies() {
    studies_->CancelAll();
    for (const StudyJob& job : wantedStudies_) postedStudies_.push_back(job);
    wantedStudies_ = std::move(postedStudies_);
    postedStudies_.clear();
}


// What a map study sets against the source: the reconstruction, or the
// reference codec's decoded file at the current result's size.
std::shared_ptr<const RgbImage> CPictoraView::ComparedImage(const StudyJob& job) const {
    if (!ComparesTwoImages(job.task)) return nullptr;
    if (job.task != StudyTask::ReferenceButteraugliMap) return shownReconstruction_;
    const auto reference = std::find_if(references_.begin(), references_.end(),
                                        [&](const ReferenceAtSize& cached) { return cached.codec == job.codec; });
    if (reference == references_.end() || !reference->fits) return nullptr;
    return std::make_shared<const RgbImage>(reference->decoded);
}

void CPictoraView::TakeStudyReport(const std::shared_ptr<const StudyReport>& report) {
    PassHandover();
    try {
        HandleStudyDone(*report);
    } catch (const std::bad_alloc&) {
        TellMemoryShortage(QString::fromUtf8("Não foi possível mostrar o resultado."));
    }
    emit OutcomeHandled();
}

// An outcome for a result or image since replaced is dropped; a closed
// viewer still takes it, hidden, for when it is shown again.
void CPictoraView::HandleStudyDone(const StudyReport& report) {
    const Status& status = report.status;
    StudyOutcome outcome = report.outcome;
    const auto same = [&](const StudyJob& asked) { return SameStudy(asked, outcome.job); };
    std::erase_if(postedStudies_, same);
    std::erase_if(wantedStudies_, same);
    switch (outcome.job.task) {
        case StudyTask::ReferenceAtSize: {
            if (outcome.job.ticket != resultTicket_) break;
            if (!status) {
                if (viewer_)
                    viewer_->SetResultUnavailable(ChoiceOf(outcome.job.codec),
                                                  QString::fromUtf8("Não foi possível codificar a referência.\n%1")
                                                      .arg(PortugueseSentence(status)));
                break;
            }
            references_.push_back(std::move(outcome.atSize));
            AnswerReference(references_.back());
            break;
        }
        case StudyTask::ReferenceLadders:
            if (outcome.job.ticket != imageTicket_) break;
            if (!status) {
                dialogs_->ShowMessage(QString::fromUtf8("Não foi possível codificar as curvas de referência.\n\n%1")
                                          .arg(PortugueseSentence(status)),
                                      UserDialogs::Icon::Warning);
                break;
            }
            curves_ = std::move(outcome.curves);
            FillRdChart();
            break;
        case StudyTask::ReconstructionSsimMap:
            if (outcome.job.ticket != resultTicket_ || !outcome.ssimMap) break;
            reconstructionMap_ = std::move(outcome.ssimMap);
            if (viewer_) viewer_->SetSsimMap(ResultChoice::kReconstruction, *reconstructionMap_);
            break;
        case StudyTask::ReconstructionButteraugliMap:
        case StudyTask::ReferenceButteraugliMap:
            if (outcome.job.ticket == resultTicket_ && viewer_) TakeButteraugliMap(status, outcome);
            break;
    }
}

void CPictoraView::SourceChanged() {
    ++imageTicket_;
    curves_.clear();
    curvesWanted_ = false;
    studies_->CancelAll();
    wantedStudies_.clear();
    postedStudies_.clear();
    shownResult_.reset();
    shownReconstruction_.reset();
    ++resultTicket_;
    references_.clear();
    reconstructionMap_.reset();
    if (viewer_) {
        bool shown = false;
        try {
            if (studySource_) viewer_->SetSource(ViewImageOf(*studySource_));
            shown = studySource_ != nullptr;
        } catch (const std::bad_alloc&) {
            shown = false;
        }
        if (!shown) {
            // It would compare with the image before: gone, the menu makes a
            // new one once the image can be shown.
            viewer_->deleteLater();
            viewer_ = nullptr;
        }
    }
    FillRdChart();
}

// The reconstruction is the one the worker handed over with the result.
void CPictoraView::ResultChanged(const StepResult& result, std::shared_ptr<const RgbImage> reconstruction) {
    shownResult_ = result;
    shownReconstruction_ = std::move(reconstruction);
    ++resultTicket_;
    references_.clear();
    reconstructionMap_.reset();
    const auto stale = [](const StudyJob& job) { return job.task != StudyTask::ReferenceLadders; };
    std::erase_if(wantedStudies_, stale);
    std::erase_if(postedStudies_, stale);  // their reports, if any, are dropped by ticket
    if (viewer_) viewer_->ForgetResults();
}

void CPictoraView::FillRdChart() {
    const QualityMeasure measure =
        controls_.rdQuality->currentIndex() == 1 ? QualityMeasure::MsSsim : QualityMeasure::Psnr;
    RdChartModel model = RunRdChart(history_, curves_, measure);
    if (curvesWanted_ && curves_.empty()) model.title += " (codificando as referências…)";
    controls_.rdChart->SetModel(std::move(model));
}

}  // namespace pictora
