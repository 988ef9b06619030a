#include "ui/CPictoraView.h"

#include <QCheckBox>
#include <QComboBox>
#include <QCoreApplication>
#include <QLineEdit>
#include <QPushButton>
#include <QTabBar>
#include <QSignalBlocker>
#include <QThread>
#include <algorithm>
#include <new>

#include "commands/ErrorText.h"
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
      worker_(std::make_unique<MqKohonenThread>(&compressor_)) {
    CreateControls();
    ConnectControls();
    WriteFields();
    setAcceptDrops(true);
}

CPictoraView::~CPictoraView() {
    // The worker may be waiting for this thread to show its last step: keep
    // serving it (the handler returns at once now) until the loop has ended.
    closing_ = true;
    // The viewer window goes first: the loop below must not deliver its
    // pending events while the frame around the form is being taken apart.
    delete viewer_;
    viewer_ = nullptr;
    worker_->RequestStop();
    while (!worker_->Finished()) {
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
        QThread::msleep(1);
    }
    worker_->Stop();
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

    worker_->SetCompletionHandler([this](int message) {
        if (closing_) return;
        // Shown on the interface thread while the worker waits, so every
        // result read there is stable.
        QMetaObject::invokeMethod(this, [this, message] { OnWorkerMessage(message); }, Qt::BlockingQueuedConnection);
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

bool CPictoraView::LoadImage(const QString& path) {
    if (!worker_->IsIdle()) {
        dialogs_->ShowMessage(QString::fromUtf8("Aguarde o fim do passo em andamento para carregar outra imagem."),
                              UserDialogs::Icon::Information);
        return false;
    }
    if (Status loaded = compressor_.LoadImage(path.toStdString()); !loaded) {
        dialogs_->ShowMessage(QString::fromUtf8("Não foi possível carregar a imagem \"%1\".\n\n%2")
                                  .arg(path, PortugueseSentence(loaded)),
                              UserDialogs::Icon::Warning);
        return false;
    }
    sourcePath_ = path;
    BuildSourcePictures(path);
    for (QComboBox* list : controls_.blockSize) {
        list->clear();
        for (int side = 2; side <= 12; ++side) list->addItem(QString::asprintf("%i X %i", side, side));
        list->setCurrentIndex(6);
    }
    controls_.filterType->clear();
    controls_.filterType->addItem(QString::fromUtf8("Não Filtrar"));
    controls_.filterType->addItem(QString::fromUtf8("Retangular"));
    controls_.filterType->setCurrentIndex(0);
    widthText_ = QString::asprintf("%i", compressor_.GetImageWidth());
    heightText_ = QString::asprintf("%i", compressor_.GetImageHeight());
    WriteFields();
    ShowSourceChannel();
    flags_.imageReloaded = true;
    SourceChanged();
    return true;
}

// The image is loaded for coding even when there is no memory left to show
// it: its pictures stay empty, and the user is told.
bool CPictoraView::BuildSourcePictures(const QString& path) {
    try {
        compressor_.DeriveSourcePlanes();  // the form shows them as pictures
        displays_.BuildSourceDisplays(compressor_.SourceImage());
        return true;
    } catch (const std::bad_alloc&) {
        displays_.FreeDisplays();
        TellMemoryShortage(QString::fromUtf8("Não foi possível mostrar a imagem \"%1\".").arg(path));
        return false;
    }
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
}

TrainingJob CPictoraView::MakeJob(bool restart) const {
    TrainingJob job;
    for (std::size_t c = 0; c < 3; ++c) {
        job.channels[c].radius = channels_[c].R;
        job.channels[c].alfa = channels_[c].ALFA;
        job.channels[c].passes = channels_[c].steps != 0 ? 1 : 0;
        job.channels[c].dimension = BlockDimensionFromSelection(controls_.blockSize[c]->currentIndex());
    }
    job.filter = FilterFromSelections(controls_.filterType->currentIndex(), controls_.filterSize->currentIndex());
    job.restart = restart;
    job.colorSpace = ColorSpaceFromSelection(controls_.colourSpace->currentIndex());
    job.method = method_;
    return job;
}

void CPictoraView::PostStep(bool restart) {
    worker_->StartTrainingJob(MakeJob(restart), LosslessModeFromSelection(controls_.lossless->currentIndex()));
    CountDownSteps(channels_);
}

void CPictoraView::StartOrStop() {
    const ClickAction action = DecideClick(flags_);
    if (action == ClickAction::RequestStop) return;  // the button keeps "Parar" until the step ends
    if (action == ClickAction::NewRun) {
        DebugLog("\n\n\nReinicializando\n\n\n");
        ClearResults();
        failuresTold_.clear();
        compressor_.PrepareNewRun();
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
    PostStep(action == ClickAction::NewRun);
}

void CPictoraView::ContinueOrFinish() {
    if (DecideContinue(flags_, channels_)) {
        PostStep(false);
        return;
    }
    controls_.start->setText(QString::fromUtf8(kEndCaption));
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

void CPictoraView::OnWorkerMessage(int message) {
    if (closing_) return;
    try {
        if (message == MqKohonenThread::kTrainingDone) {
            HandleTrainingDone();
        } else if (message == MqKohonenThread::kStudyDone) {
            HandleStudyDone();
        } else {
            HandleFileDone();
        }
    } catch (const std::bad_alloc&) {
        // Showing the result ran out: what was shown stays, a run ends.
        TellMemoryShortage(QString::fromUtf8("Não foi possível mostrar o resultado."));
        if (message == MqKohonenThread::kTrainingDone) EndRunForMemory();
    }
    emit WorkerMessageHandled(message);
}

// The pictures of a result, built here while the worker waits for this
// handler, so the planes they are made of hold still.
void CPictoraView::ShowResultPictures(StepOrigin origin) {
    if (!compressor_.IsImageLoaded() && origin == StepOrigin::TrainingStep) return;
    const std::uint32_t rows = compressor_.ReconstructionRows();
    const std::uint32_t columns = compressor_.ReconstructionColumns();
    if (origin == StepOrigin::TrainingStep) {
        // A colour space of none codes like RGB but has always shown its
        // masks as 4:2:0.
        const ColorSpace masks =
            compressor_.ColorSpace() == ColorSpace::None ? ColorSpace::YCbCr420 : compressor_.ColorSpace();
        displays_.BuildMaskDisplays(compressor_.SourceImage(), masks, compressor_.Channel(0).Mask(),
                                    compressor_.Channel(1).Mask(), compressor_.Channel(2).Mask());
    }
    displays_.BuildDecodedDisplays(rows, columns, compressor_.ReconstructedPlane(0), compressor_.ReconstructedPlane(1),
                                   compressor_.ReconstructedPlane(2));
}

void CPictoraView::TellTrainingFailure(const Status& status) {
    if (std::find(failuresTold_.begin(), failuresTold_.end(), status.kind()) != failuresTold_.end()) return;
    failuresTold_.push_back(status.kind());
    dialogs_->ShowMessage(QString::fromUtf8("Um ou mais canais não puderam ser treinados.\n\n%1")
                              .arg(PortugueseSentence(status)),
                          UserDialogs::Icon::Warning);
}

void CPictoraView::HandleTrainingDone() {
    DebugLog("Mensagem recebida com sucesso\n");
    const Status status = worker_->LastStatus();
    if (status.kind() == ErrorKind::OutOfMemory && !status) {
        TellMemoryShortage(QString::fromUtf8("O treinamento foi interrompido."));
        EndRunForMemory();
        return;
    }
    if (!status) TellTrainingFailure(status);
    StepResult result = worker_->LastResult();
    result.step = flags_.stepRow;
    resultFiles_.clear();
    tallies_ = worker_->LastTallies();
    ShowResultPictures(StepOrigin::TrainingStep);
    ShowSourceChannel();
    ShowCodedChannel();
    InsertResult(flags_.stepRow - 1, result);
    ResultChanged(result);
    FillChart();
    ++flags_.stepRow;
    ContinueOrFinish();
    WriteFields();
}

void CPictoraView::HandleFileDone() {
    if (Status status = worker_->LastStatus(); !status) {
        const char* heading =
            status.kind() == ErrorKind::OutOfMemory ? "Não foi possível abrir o arquivo." : "Arquivo Inválido";
        dialogs_->ShowMessage(QString::fromUtf8("%1\n\n%2").arg(QString::fromUtf8(heading), PortugueseReason(status)),
                              UserDialogs::Icon::Warning);
        return;
    }
    const StepResult result = worker_->LastResult();
    tallies_ = worker_->LastTallies();
    resultFiles_.clear();
    for (const std::string& file : worker_->LastFiles()) resultFiles_.push_back(QString::fromStdString(file));
    ShowResultPictures(result.origin);
    ShowCodedChannel();
    flags_.stepRow = 1;
    InsertResult(0, result);
    ResultChanged(result);
    FillChart();
    WriteFields();
}

}  // namespace pictora
