#include "ui/CPictoraView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QSignalBlocker>
#include <algorithm>
#include <new>

#include "commands/ErrorText.h"
#include "commands/OpenCommand.h"
#include "display/ImagePicture.h"
#include "ui/ComparisonViewer.h"
#include "support/DebugLog.h"
#include "support/NumberText.h"

namespace pictora {
namespace {

const char* const kStartCaption = "Aplicar Rede Neural  à Imagem";  // the form's own, two spaces
const char* const kEndCaption = "Aplicar Rede Neural à Imagem";     // set at the end of a run
const char* const kStopCaption = "Parar";

bool ParseSteps(const QString& text, std::uint32_t& value) {
    const QString trimmed = text.trimmed();
    bool ok = false;
    const qulonglong parsed = trimmed.toULongLong(&ok);
    if (!ok || trimmed.startsWith('+') || parsed > 0xFFFFFFFFull) return false;
    value = static_cast<std::uint32_t>(parsed);
    return true;
}

// Typed numbers take a decimal point or, as the user's locale may write
// them, a decimal comma; they are shown with a point, as always.
bool ParseField(const QString& text, double& value) {
    return ParseReal(text.trimmed().toStdString(), value, true);
}

QString FormatReal(double value) { return QString::fromStdString(FormatC("%.15g", value)); }

}  // namespace

CPictoraView::CPictoraView(QWidget* parent, std::unique_ptr<UserDialogs> dialogs)
    : QWidget(parent),
      dialogs_(dialogs ? std::move(dialogs) : std::make_unique<WidgetDialogs>(this)),
      worker_(std::make_unique<CodingWorker>(compressor_)),
      studies_(std::make_unique<StudyWorker>()) {
    CreateControls();
    ConnectControls();
    WriteFields();
    setAcceptDrops(true);
}

// The studies are given up and the worker ends after the step in progress;
// neither waits for this thread. What they handed over and this form has not
// taken in yet is dropped with it.
CPictoraView::~CPictoraView() {
    delete viewer_;
    viewer_ = nullptr;
    studies_.reset();
    worker_.reset();
}

void CPictoraView::ConnectControls() {
    connect(controls_.start, &QPushButton::clicked, this, &CPictoraView::StartOrStop);
    connect(controls_.sameParameters, &QCheckBox::clicked, this, &CPictoraView::ToggleSameParameters);
    connect(controls_.showCodebookMasks, &QCheckBox::clicked, this, [this] {
        showCodebookMasks_ = !showCodebookMasks_;
        ShowSourceChannel();
    });
    connect(controls_.filterType, &QComboBox::activated, this, &CPictoraView::FillFilterSizes);
    connect(controls_.sourceTabs, &QTabBar::currentChanged, this, &CPictoraView::ShowSourceChannel);
    connect(controls_.codedTabs, &QTabBar::currentChanged, this, &CPictoraView::ShowCodedChannel);
    connect(controls_.resultsTabs, &QTabBar::currentChanged, this, &CPictoraView::SwitchResultsView);
    connect(controls_.sourcePicture, &ImagePicture::DoubleClicked, this, &CPictoraView::OnCompareImages);
    connect(controls_.codedPicture, &ImagePicture::DoubleClicked, this, &CPictoraView::OnCompareImages);
    connect(controls_.rdQuality, &QComboBox::currentIndexChanged, this, &CPictoraView::FillRdChart);
    connect(this, &CPictoraView::OutcomeArrived, this, &CPictoraView::TakeOutcome, Qt::QueuedConnection);
    connect(this, &CPictoraView::StudyArrived, this, &CPictoraView::TakeStudyReport, Qt::QueuedConnection);
}

void CPictoraView::OnInitialUpdate() {
    if (initialised_) return;  // a second update would start a second worker
    initialised_ = true;
    controls_.sourcePicture->SetTitle(QStringLiteral("Original"));
    controls_.codedPicture->SetTitle(QStringLiteral("Codificada"));
    SetUpResultsViews();
    for (const char* item : {"Espaço de Cores", "RGB", "YCbCr (4:4:4)", "YCbCr (4:2:0)"})
        controls_.colourSpace->addItem(QString::fromUtf8(item));
    controls_.colourSpace->setCurrentIndex(0);
    for (const char* item : {"Nenhum", "Huffman", "Aritmético", "Contextual"}) controls_.lossless->addItem(QString::fromUtf8(item));
    controls_.lossless->setCurrentIndex(-1);

    // The threads hand their outcomes over and go on; this form takes them
    // in on its own thread, in the order they came.
    worker_->SetOutcomeSink([this](WorkerOutcome outcome) {
        auto shared = std::make_shared<const WorkerOutcome>(std::move(outcome));
        std::lock_guard handingOver(handover_);
        emit OutcomeArrived(std::move(shared));
    });
    studies_->SetReportSink([this](StudyReport report) {
        auto shared = std::make_shared<const StudyReport>(std::move(report));
        std::lock_guard handingOver(handover_);
        emit StudyArrived(std::move(shared));
    });
    worker_->Start();
}

bool CPictoraView::ReadFields() {
    auto readSteps = [this](QLineEdit* field, std::uint32_t& value) {
        if (ParseSteps(field->text(), value)) return true;
        dialogs_->ShowMessage(QString::fromUtf8("Digite um número inteiro positivo."), UserDialogs::Icon::Warning);
        field->setFocus();
        return false;
    };
    auto readReal = [this](QLineEdit* field, double& value) {
        if (ParseField(field->text(), value)) return true;
        dialogs_->ShowMessage(QString::fromUtf8("Digite um número."), UserDialogs::Icon::Warning);
        field->setFocus();
        return false;
    };
    // The order in which the form has always exchanged its fields.
    return readSteps(controls_.steps[0], channels_[0].steps) && readReal(controls_.radius[0], channels_[0].R) &&
           readReal(controls_.alfa[0], channels_[0].ALFA) &&
           ((heightText_ = controls_.heightField->text()), (widthText_ = controls_.widthField->text()), true) &&
           readSteps(controls_.steps[1], channels_[1].steps) && readSteps(controls_.steps[2], channels_[2].steps) &&
           readReal(controls_.radius[1], channels_[1].R) && readReal(controls_.radius[2], channels_[2].R) &&
           readReal(controls_.alfa[1], channels_[1].ALFA) && readReal(controls_.alfa[2], channels_[2].ALFA);
}

void CPictoraView::WriteFields() {
    for (std::size_t c = 0; c < 3; ++c) {
        controls_.steps[c]->setText(QString::number(channels_[c].steps));
        controls_.radius[c]->setText(FormatReal(channels_[c].R));
        controls_.alfa[c]->setText(FormatReal(channels_[c].ALFA));
    }
    controls_.widthField->setText(widthText_);
    controls_.heightField->setText(heightText_);
}

void CPictoraView::ToggleSameParameters() {
    sameParameters_ = !sameParameters_;
    controls_.sameParameters->setChecked(sameParameters_);
    for (std::size_t c = 1; c < 3; ++c) {
        controls_.steps[c]->setEnabled(!sameParameters_);
        controls_.radius[c]->setEnabled(!sameParameters_);
        controls_.alfa[c]->setEnabled(!sameParameters_);
        controls_.blockSize[c]->setEnabled(!sameParameters_);
    }
}

void CPictoraView::FillFilterSizes() {
    const int type = controls_.filterType->currentIndex();
    if (type != 1 && type != 2) return;
    controls_.filterSize->clear();
    for (const char* size : {"3 x 3", "5 x 5", "7 x 7", "9 x 9"}) controls_.filterSize->addItem(size);
    controls_.filterSize->setCurrentIndex(0);
}

bool CPictoraView::RunTellingMemoryShortage(const std::function<void()>& command) {
    try {
        command();
        return true;
    } catch (const std::bad_alloc&) {
        TellMemoryShortage(QString());
        return false;
    }
}

void CPictoraView::TellMemoryShortage(const QString& context) {
    const QString sentence = PortugueseSentence(Status::Error(ErrorKind::OutOfMemory, "not enough memory"));
    dialogs_->ShowMessage(context.isEmpty() ? sentence : context + "\n\n" + sentence, UserDialogs::Icon::Warning);
}

// Nothing of a step that ran out of memory is shown: its networks are gone,
// so the run ends there and the next click starts a new one.
void CPictoraView::EndRunForMemory() {
    EndRun(flags_);
    controls_.start->setText(QString::fromUtf8(kEndCaption));
    PostWantedStudies();
}

// The settings of the next step, as the form shows them now; the run gives
// it its passes and restart.
RunSettings CPictoraView::MakeSettings() const {
    RunSettings settings;
    TrainingJob& job = settings.job;
    for (std::size_t c = 0; c < 3; ++c) {
        job.channels[c].radius = channels_[c].R;
        job.channels[c].alfa = channels_[c].ALFA;
        job.channels[c].dimension = BlockDimensionFromSelection(controls_.blockSize[c]->currentIndex());
    }
    job.filter = FilterFromSelections(controls_.filterType->currentIndex(), controls_.filterSize->currentIndex());
    job.colorSpace = ColorSpaceFromSelection(controls_.colourSpace->currentIndex());
    job.method = method_;
    settings.lossless = LosslessModeFromSelection(controls_.lossless->currentIndex());
    return settings;
}

ChannelSteps CPictoraView::FieldSteps() const {
    return {channels_[0].steps, channels_[1].steps, channels_[2].steps};
}

// The fields show at once the steps that will be left once the posted step
// is done, as they always have.
void CPictoraView::PostStep(TrainStepRequest request) {
    worker_->Post(std::move(request));
    const ChannelSteps left = TrainingRun::StepsAfterJob(FieldSteps());
    for (std::size_t c = 0; c < 3; ++c) channels_[c].steps = left[c];
}

bool CPictoraView::RefuseStart() {
    QString refusal = FileTaskWait();
    if (refusal.isEmpty() && !worker_->IsIdle()) refusal = QString::fromUtf8(kEarlierCommandRunning);
    if (refusal.isEmpty() && !imageLoaded_) refusal = QString::fromUtf8(kLoadAnImageFirst);
    if (refusal.isEmpty()) return false;
    dialogs_->ShowMessage(refusal, UserDialogs::Icon::Information);
    return true;
}

void CPictoraView::StartOrStop() {
    if (!RunInProgress() && RefuseStart()) return;
    const ClickAction action = DecideClick(flags_);
    if (action == ClickAction::RequestStop) return;  // the button keeps "Parar" until the step ends
    CancelStudies();  // asked again once the run pauses or ends
    if (action == ClickAction::NewRun) {
        DebugLog("\n\n\nReinicializando\n\n\n");
        ClearResults();
        failuresTold_.clear();
    }
    controls_.start->setText(QString::fromUtf8(kStopCaption));
    ReadFields();  // a field that does not parse stops the exchange, not the start
    if (sameParameters_) {
        for (std::size_t c = 1; c < 3; ++c) {
            channels_[c] = channels_[0];
            controls_.blockSize[c]->setCurrentIndex(controls_.blockSize[0]->currentIndex());
        }
        WriteFields();
    }
    // A new run, or a paused one going on, takes the steps the fields show.
    PostStep({MakeSettings(), action == ClickAction::NewRun, FieldSteps()});
}

void CPictoraView::ContinueOrFinish(bool stepsRemain) {
    if (DecideContinue(flags_, stepsRemain)) {
        PostStep({MakeSettings(), false, std::nullopt});
        return;
    }
    controls_.start->setText(QString::fromUtf8(kEndCaption));
    PostWantedStudies();
}

void CPictoraView::ShowSourceChannel() {
    const int tab = controls_.sourceTabs->currentIndex();
    WriteFields();
    const std::optional<DisplaySlot> maskSlot = MaskSlot(tab);
    const bool maskShown = showCodebookMasks_ && maskSlot && displays_.GetDisplay(*maskSlot) != nullptr;
    const std::optional<DisplaySlot> slot = SourceSlot(tab, controls_.colourSpace->currentIndex(), maskShown);
    if (slot) controls_.sourcePicture->SetBitmap(displays_.GetDisplay(*slot));
    ReadFields();
    SwitchResultsView();
}

void CPictoraView::ShowCodedChannel() {
    const std::optional<DisplaySlot> slot = CodedSlot(controls_.codedTabs->currentIndex());
    if (slot) controls_.codedPicture->SetBitmap(displays_.GetDisplay(*slot));
}

// Qt queues a signal between threads behind locks of its own, which race
// checkers cannot see. The threads hold this lock while they queue an
// outcome or report; passing it before reading orders what they wrote (the
// value, Qt's copy of it, the compressor) before what this form reads, in a
// way the checkers see too.
void CPictoraView::PassHandover() const { std::lock_guard lock(handover_); }

// The worker waits for this form until it is told the outcome is taken in,
// so what it left in the compressor is read here.
void CPictoraView::TakeOutcome(const std::shared_ptr<const WorkerOutcome>& outcome) {
    PassHandover();
    imageLoaded_ = compressor_.IsImageLoaded();
    hasResult_ = compressor_.HasReconstruction();
    if (std::holds_alternative<LoadOutcome>(*outcome) || std::holds_alternative<SaveOutcome>(*outcome)) {
        TakeFileTask(*outcome);
        return;
    }
    const bool step = std::holds_alternative<StepOutcome>(*outcome);
    try {
        if (step) HandleStepDone(std::get<StepOutcome>(*outcome));
        else HandleFileDone(std::get<FileOutcome>(*outcome));
    } catch (const std::bad_alloc&) {
        // Showing the result ran out: what was shown stays, a run ends.
        TellMemoryShortage(QString::fromUtf8("Não foi possível mostrar o resultado."));
        if (step) EndRunForMemory();
    }
    worker_->OutcomeTaken();
    emit OutcomeHandled();
}

// The pictures of a result, built from the planes the worker handed over
// with it.
void CPictoraView::ShowResultPictures(const ResultPictures& pictures, StepOrigin origin) {
    if (!pictures.imageLoaded && origin == StepOrigin::TrainingStep) return;
    if (origin == StepOrigin::TrainingStep && pictures.masks) {
        const std::array<Plane, 3>& masks = *pictures.masks;
        displays_.BuildMaskDisplays(compressor_.SourceImage(), pictures.maskSpace, masks[0], masks[1], masks[2]);
    }
    displays_.BuildDecodedDisplays(pictures.rows, pictures.columns, pictures.planes[0], pictures.planes[1],
                                   pictures.planes[2]);
}

void CPictoraView::TellTrainingFailure(const Status& status) {
    if (std::find(failuresTold_.begin(), failuresTold_.end(), status.kind()) != failuresTold_.end()) return;
    failuresTold_.push_back(status.kind());
    dialogs_->ShowMessage(QString::fromUtf8("Um ou mais canais não puderam ser treinados.\n\n%1")
                              .arg(PortugueseSentence(status)),
                          UserDialogs::Icon::Warning);
}

void CPictoraView::HandleStepDone(const StepOutcome& outcome) {
    DebugLog("Mensagem recebida com sucesso\n");
    const Status& status = outcome.status;
    if (status.kind() == ErrorKind::OutOfMemory && !status) {
        TellMemoryShortage(QString::fromUtf8("O treinamento foi interrompido."));
        EndRunForMemory();
        return;
    }
    if (!status) TellTrainingFailure(status);
    StepResult result = outcome.result;
    result.step = flags_.stepRow;
    resultFiles_.clear();
    tallies_ = outcome.tallies;
    ShowResultPictures(outcome.pictures, StepOrigin::TrainingStep);
    ShowSourceChannel();
    ShowCodedChannel();
    InsertResult(flags_.stepRow - 1, result);
    ResultChanged(result, outcome.pictures.reconstruction);
    FillChart();
    ++flags_.stepRow;
    ContinueOrFinish(outcome.stepsRemain);
    WriteFields();
}

void CPictoraView::HandleFileDone(const FileOutcome& outcome) {
    if (const Status& status = outcome.status; !status) {
        const char* heading =
            status.kind() == ErrorKind::OutOfMemory ? "Não foi possível abrir o arquivo." : "Arquivo Inválido";
        dialogs_->ShowMessage(QString::fromUtf8("%1\n\n%2").arg(QString::fromUtf8(heading), PortugueseReason(status)),
                              UserDialogs::Icon::Warning);
        return;
    }
    const StepResult& result = outcome.result;
    tallies_ = outcome.tallies;
    resultFiles_.clear();
    for (const std::string& file : outcome.files) resultFiles_.push_back(QString::fromStdString(file));
    ShowResultPictures(outcome.pictures, result.origin);
    ShowCodedChannel();
    flags_.stepRow = 1;
    InsertResult(0, result);
    ResultChanged(result, outcome.pictures.reconstruction);
    FillChart();
    WriteFields();
}

}  // namespace pictora
