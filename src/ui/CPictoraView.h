#pragma once

#include <QWidget>
#include <array>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <vector>

#include "commands/CommandTarget.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/CodingWorker.h"
#include "pipeline/StudyWorker.h"
#include "display/DisplaySet.h"
#include "pipeline/StepResult.h"
#include "report/ResultsRow.h"
#include "ui/FormMapping.h"
#include "ui/ResultChoice.h"
#include "ui/RunControl.h"
#include "commands/UserDialogs.h"
#include "pipeline/StudyJob.h"

class QCheckBox;
class QMimeData;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTabBar;
class QTreeWidget;

namespace pictora {

class ComparisonViewer;
class ImagePicture;
class MqGrafico;
class RdChartView;

// The form: every coding parameter, the source and coded images channel by
// channel, the start/stop button and the results. It owns the coding
// pipeline, the worker thread that runs it, the chart window and the two
// picture controls.
class CPictoraView : public QWidget, public CommandTarget {
    Q_OBJECT

public:
    // The controls of the form, named after what they hold.
    struct Controls {
        QCheckBox* sameParameters = nullptr;
        std::array<QLineEdit*, 3> steps{};
        std::array<QLineEdit*, 3> radius{};
        std::array<QLineEdit*, 3> alfa{};
        std::array<QComboBox*, 3> blockSize{};
        QComboBox* colourSpace = nullptr;
        QComboBox* filterType = nullptr;
        QComboBox* filterSize = nullptr;
        QComboBox* lossless = nullptr;
        QPushButton* start = nullptr;
        QTabBar* sourceTabs = nullptr;
        QLineEdit* widthField = nullptr;
        QLineEdit* heightField = nullptr;
        ImagePicture* sourcePicture = nullptr;
        QTabBar* codedTabs = nullptr;
        ImagePicture* codedPicture = nullptr;
        QCheckBox* showCodebookMasks = nullptr;
        QTabBar* resultsTabs = nullptr;
        QTreeWidget* resultsList = nullptr;
        MqGrafico* chart = nullptr;
        // The rate-distortion tab: the measure on its y axis and the chart.
        QWidget* rdPanel = nullptr;
        QComboBox* rdQuality = nullptr;
        RdChartView* rdChart = nullptr;
    };

    // `dialogs` answers the form's questions (real dialogs when null).
    explicit CPictoraView(QWidget* parent = nullptr, std::unique_ptr<UserDialogs> dialogs = nullptr);
    ~CPictoraView() override;

    // Fills the lists and tabs and starts the worker thread; once.
    void OnInitialUpdate();

    // Starts loading a PNG as the source image on the worker (refused, told,
    // while the worker is busy). The form is busy until it is done; a
    // failure is then told and leaves the form as it was.
    bool LoadImage(const QString& path) override;
    // Starts writing the current result as a file of `kind` on the worker,
    // as LoadImage does.
    bool SaveResult(ResultFileKind kind, const QString& path) override;
    // While an image loads or a file is saved: the status line's text and
    // the text that refuses another command; both empty otherwise.
    QString BusyText() const;
    QString FileTaskWait() const override;
    bool HasImage() const override { return imageLoaded_; }
    bool HasResult() const override { return hasResult_; }

    // The Open and Save commands of the menu and accelerators.
    void OnFileOpen();
    void OnFileSave();
    // Writes History() as the CSV pictora-cli train writes, to a file the
    // user names; a failure is told.
    void OnExportResults();
    // Opens the comparison viewer on the source and the current result, or
    // raises it when it is open; nothing without an image.
    void OnCompareImages();
    // "Opções do método...": asks for the method's options of the next
    // steps (refused, with a word, while a step or file command runs).
    void OnMethodOptions();
    // The method's options training jobs carry, and that decoded files and
    // applied codebooks are coded and deblocked with; only while the worker
    // is idle.
    void SetMethod(const MethodSettings& method);
    const MethodSettings& Method() const { return method_; }
    // Opens the first local file of dropped data as the Open command would;
    // false when the data names none.
    bool OpenDropped(const QMimeData& data);
    // Opens files named outside the form (on the command line) as if they
    // were chosen together in the Open dialog.
    void OpenGiven(const QStringList& paths);

    // The start button: starts, resumes, or asks to stop after the step in progress.
    void StartOrStop();

    // Parameters <-> fields. Reading stops at the first field that does not
    // hold a number, after telling the user; earlier fields are taken.
    bool ReadFields();
    void WriteFields();

    void ShowSourceChannel();
    void ShowCodedChannel();

    const Controls& GetControls() const { return controls_; }
    // The pictures the form shows, built from the compressor's planes.
    const DisplaySet& Displays() const { return displays_; }
    // The run's results, one value per row of the list, in list order, and
    // the codebooks' tallies handed over with the latest of them.
    const std::vector<StepResult>& History() const { return history_; }
    const NeuronTallies& Tallies() const { return tallies_; }
    const ChannelSettingsSet& Channels() const { return channels_; }
    const RunFlags& Flags() const { return flags_; }
    // The form's compressor, for tests; the form itself reads it only while
    // the worker waits for it to take an outcome in.
    const ImageCompressor& Compressor() const { return compressor_; }
    CodingWorker& Worker() override { return *worker_; }
    // The comparison studies' thread; idle once nothing is asked or worked on.
    const StudyWorker& Studies() const { return *studies_; }
    UserDialogs& Dialogs() override { return *dialogs_; }
    // The form's comparison viewer while it exists (it outlives its closing).
    ComparisonViewer* Viewer() const;
    // The reference codecs' ladders of the loaded image, once worked out.
    const std::vector<ReferenceCurve>& ReferenceCurves() const { return curves_; }
    void ResetImageTabs() override;
    QStringList InputPaths() const override;
    bool IsRunning() const { return !flags_.awaitingStart || flags_.stopRequested; }

protected:
    // A file dropped on the form opens as if it were chosen in the Open dialog.
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

signals:
    // The worker's outcome of a command, or a study's report, has been taken
    // in (shown, or dropped when it no longer applies).
    void OutcomeHandled();
    // From the worker threads; queued to this form's own thread.
    void OutcomeArrived(std::shared_ptr<const WorkerOutcome> outcome);
    void StudyArrived(std::shared_ptr<const StudyReport> report);
    // The method's options have been changed by the user.
    void MethodChanged();
    // The form has become busy with a load or save (the status line's text)
    // or is no longer (empty).
    void BusyChanged(const QString& text);
    // A load or save has been taken in: done, or refused and told.
    void FileTaskEnded(bool done);

private:
    void ExportResults();
    void CreateControls();
    void CreateParameterControls();
    void CreateImageControls();
    void CreateResultsControls();
    void ConnectControls();

    void ToggleSameParameters();
    void FillFilterSizes();
    RunSettings MakeSettings() const;
    ChannelSteps FieldSteps() const;
    void PostStep(TrainStepRequest request);
    void ContinueOrFinish(bool stepsRemain);

    // Memory running out in a command of the form is told, in Portuguese,
    // and the form goes on; `command` is left where it stopped. False when
    // it ran out.
    bool RunTellingMemoryShortage(const std::function<void()>& command);
    void TellMemoryShortage(const QString& context);
    void EndRunForMemory();
    // A click that would start a run is refused while the worker is busy
    // with a file and before an image is loaded; true when it was (told).
    bool RefuseStart();

    // The load or save the worker runs for the form.
    enum class FileTask { None, Loading, Saving };
    bool StartFileTask(FileTask task, WorkerRequest request, const char* busyText);
    void EndFileTask();
    void TakeFileTask(const WorkerOutcome& outcome);
    bool HandleLoadDone(const LoadOutcome& outcome);
    void BuildSourcePictures(const QString& path);
    bool HandleSaveDone(const SaveOutcome& outcome);

    void SetUpResultsViews();
    void PassHandover() const;
    void TakeOutcome(const std::shared_ptr<const WorkerOutcome>& outcome);
    void HandleStepDone(const StepOutcome& outcome);
    void HandleFileDone(const FileOutcome& outcome);
    void TellTrainingFailure(const Status& status);
    void ShowResultPictures(const ResultPictures& pictures, StepOrigin origin);
    void InsertResult(int position, const StepResult& result);
    void ClearResults();
    void SwitchResultsView();
    void FillChart();
    void FillRdChart();

    // The comparison: the viewer asks for a result, the form answers from
    // what it holds or asks the study thread; studies wanted while a run
    // goes on wait here until it pauses or ends, and a new start, a new
    // image or a new result cancels those under way.
    void OpenViewer();
    void AnswerViewer(ResultChoice choice);
    void GiveResult(ResultChoice choice);
    void AnswerReference(const ReferenceAtSize& reference);
    void GiveReconstructionMap();
    void WantButteraugliMap(ResultChoice choice);
    void TakeButteraugliMap(const Status& status, const StudyOutcome& outcome);
    void Want(StudyJob job);
    void PostWantedStudies();
    void CancelStudies();
    std::shared_ptr<const RgbImage> ComparedImage(const StudyJob& job) const;
    void TakeStudyReport(const std::shared_ptr<const StudyReport>& report);
    void HandleStudyDone(const StudyReport& report);
    // A new image or a new result: what was worked out for the old one is stale.
    void SourceChanged();
    // A step is running or another follows; a finished or paused run is not.
    bool RunInProgress() const { return IsRunning() && !flags_.needsReset; }
    void ResultChanged(const StepResult& result, std::shared_ptr<const RgbImage> reconstruction);

    std::unique_ptr<UserDialogs> dialogs_;
    Controls controls_;
    mutable std::mutex handover_;  // see PassHandover
    ChannelSettingsSet channels_{};
    QString widthText_;
    QString heightText_;
    RunFlags flags_;
    bool showCodebookMasks_ = false;
    bool sameParameters_ = false;
    MethodSettings method_;
    bool initialised_ = false;
    // The kinds of training failure already told in this run: a failure that
    // repeats step after step is told once.
    std::vector<ErrorKind> failuresTold_;

    FileTask fileTask_ = FileTask::None;
    // What the compressor held when the worker's last outcome was taken in.
    bool imageLoaded_ = false;
    bool hasResult_ = false;

    ImageCompressor compressor_;
    QString sourcePath_;         // the loaded image's file
    QStringList resultFiles_;    // the files the current result was read from (none after a step)
    DisplaySet displays_;
    std::vector<StepResult> history_;
    NeuronTallies tallies_;
    std::unique_ptr<CodingWorker> worker_;
    std::unique_ptr<StudyWorker> studies_;

    ComparisonViewer* viewer_ = nullptr;
    std::uint64_t resultTicket_ = 1;  // the tag of the current result's studies
    std::uint64_t imageTicket_ = 1;   // the tag of the loaded image's ladders
    std::vector<ReferenceAtSize> references_;  // of the current result
    std::optional<StepResult> shownResult_;  // the latest step or file read
    std::shared_ptr<const RgbImage> shownReconstruction_;  // its reconstruction, as the worker handed it over
    std::shared_ptr<const RgbImage> studySource_;          // the loaded image, as the worker copied it on loading
    std::optional<SsimMap> reconstructionMap_;
    std::vector<StudyJob> wantedStudies_;  // not yet given to the study thread
    std::vector<StudyJob> postedStudies_;  // given to it, no report yet
    std::vector<ReferenceCurve> curves_;
    bool curvesWanted_ = false;  // asked for the loaded image
};

}  // namespace pictora
