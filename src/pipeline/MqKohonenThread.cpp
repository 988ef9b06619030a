#include "pipeline/MqKohonenThread.h"

#include <new>

#include "quantizer/EntropyCoderSlot.h"
#include "measures/RgbSsimMap.h"
#include "pipeline/ImageCompressor.h"
#include "pipeline/ReferenceStudy.h"
#include "pipeline/ResultFiles.h"
#include "support/DebugLog.h"
#include "support/FileIO.h"
#include "support/TemporaryFolder.h"

namespace pictora {
namespace {

// The worker's two temporary files: the coded image and its lossless form.
constexpr const char* kCodedTemporary = "temporario.mqc";
constexpr const char* kLosslessTemporary = "temporario";

}  // namespace

MqKohonenThread::MqKohonenThread(ImageCompressor* compressor) : compressor_(compressor) {}

MqKohonenThread::~MqKohonenThread() { Stop(); }

void MqKohonenThread::SetCompletionHandler(CompletionHandler handler) { handler_ = std::move(handler); }

void MqKohonenThread::Start() {
    if (!thread_.joinable()) thread_ = std::thread(&MqKohonenThread::Run, this);
}

void MqKohonenThread::RequestStop() {
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
    }
    changed_.notify_all();
}

bool MqKohonenThread::Finished() const {
    std::lock_guard lock(mutex_);
    return finished_ || !thread_.joinable();
}

void MqKohonenThread::Stop() {
    RequestStop();
    if (thread_.joinable()) thread_.join();
}

void MqKohonenThread::Post(Request request) {
    {
        std::lock_guard lock(mutex_);
        pending_ = std::move(request);
        startSignalled_ = true;
    }
    changed_.notify_all();
}

bool MqKohonenThread::StartTrainingJob(const TrainingJob& job, LosslessMode losslessMode) {
    DebugLog("Aguardando pronto\n");
    DebugLog("Pronto Ok\n");
    Request request;
    request.command = kTrain;
    request.job = job;
    request.losslessMode = losslessMode;
    Post(std::move(request));
    return true;
}

bool MqKohonenThread::PostFileCommand(Request request, std::size_t pathCount) {
    for (std::size_t i = 0; i < pathCount; ++i)
        if (request.paths[i].size() >= kPathCapacity) return false;
    {
        std::lock_guard lock(mutex_);
        // Also refused while a training step is pending or running: the step's
        // completion would otherwise post the next step over this command.
        if (!readyTokenFree_ || running_ || startSignalled_) return false;
        readyTokenFree_ = false;
    }
    Post(std::move(request));
    return true;
}

bool MqKohonenThread::StartDecode(const std::string& path) {
    return PostFileCommand(Request{kDecode, {}, LosslessMode::None, {path, "", ""}, {}, {}}, 1);
}

bool MqKohonenThread::StartHuffmanDecode(const std::string& path) {
    return PostFileCommand(Request{kHuffmanDecode, {}, LosslessMode::None, {path, "", ""}, {}, {}}, 1);
}

bool MqKohonenThread::StartArithmeticDecode(const std::string& path) {
    return PostFileCommand(Request{kArithmeticDecode, {}, LosslessMode::None, {path, "", ""}, {}, {}}, 1);
}

bool MqKohonenThread::StartContextualDecode(const std::string& path) {
    return PostFileCommand(Request{kContextualDecode, {}, LosslessMode::None, {path, "", ""}, {}, {}}, 1);
}

bool MqKohonenThread::StartApplyCodebook(const std::string& path) {
    return PostFileCommand(Request{kApplyCodebook, {}, LosslessMode::None, {path, "", ""}, {}, {}}, 1);
}

bool MqKohonenThread::StartApplyCodebooks(const std::array<std::string, 3>& paths,
                                          const std::array<int, 3>& positions) {
    return PostFileCommand(Request{kApplyCodebooks, {}, LosslessMode::None, paths, positions, {}}, 3);
}

bool MqKohonenThread::StartStudy(const StudyJob& job) {
    Request request;
    request.command = kStudy;
    request.study = job;
    return PostFileCommand(std::move(request), 0);
}

void MqKohonenThread::WaitForIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return (!running_ && !startSignalled_) || stopping_; });
}

bool MqKohonenThread::IsIdle() const {
    std::lock_guard lock(mutex_);
    return !running_ && !startSignalled_;
}

StepResult MqKohonenThread::LastResult() const {
    std::lock_guard lock(mutex_);
    return lastResult_;
}

NeuronTallies MqKohonenThread::LastTallies() const {
    std::lock_guard lock(mutex_);
    return lastTallies_;
}

double MqKohonenThread::EntropyRatio() const {
    std::lock_guard lock(mutex_);
    return lastResult_.losslessRatio;
}

Status MqKohonenThread::LastStatus() const {
    std::lock_guard lock(mutex_);
    return lastStatus_;
}

int MqKohonenThread::LastCommand() const {
    std::lock_guard lock(mutex_);
    return lastCommand_;
}

std::vector<std::string> MqKohonenThread::LastFiles() const {
    std::lock_guard lock(mutex_);
    return lastFiles_;
}

StudyOutcome MqKohonenThread::LastStudy() const {
    std::lock_guard lock(mutex_);
    return lastStudy_;
}

void MqKohonenThread::Run() {
    for (;;) {
        DebugLog("Aguardando operação\n");
        Request request;
        {
            std::unique_lock lock(mutex_);
            changed_.wait(lock, [this] { return startSignalled_ || stopping_; });
            if (stopping_) {
                finished_ = true;
                break;
            }
            startSignalled_ = false;  // the wait consumes the event
            running_ = true;
            request = std::move(pending_);
        }
        DebugLog("Iniciando operação\n");
        RunCommand(request);
        DebugLog("Liberando Pronto\n");
        {
            std::lock_guard lock(mutex_);
            readyTokenFree_ = true;  // never counts above one: after a training step it stays free
            running_ = false;
        }
        changed_.notify_all();
    }
}

void MqKohonenThread::RunCommand(const Request& request) {
    // Memory running out in a job is answered like any other failure, so the
    // owner hears of it and the loop goes on.
    try {
        if (request.command == kTrain) {
            RunTraining(request);
            return;
        }
        if (request.command == kStudy) {
            RunStudy(request.study);
            return;
        }
        Status status = RunFileCommand(request);
        if (!status) DebugLog("%.90s\n", status.message().c_str());
        const std::size_t files = request.command == kApplyCodebooks ? 3 : 1;
        Complete(request.command, kFileDone, std::move(status), 0.0, 0,
                 {request.paths.begin(), request.paths.begin() + static_cast<std::ptrdiff_t>(files)});
    } catch (const std::bad_alloc&) {
        // Told without reading the compressor again (that could run out
        // too), with figures of nothing.
        Status refused = Status::Error(ErrorKind::OutOfMemory, "not enough memory for this job");
        if (request.command == kStudy) {
            CompleteStudy(std::move(refused), StudyOutcome{request.study, {}, {}, {}});
            return;
        }
        StepResult nothing;
        nothing.origin = OriginOf(request.command);
        Publish(request.command, request.command == kTrain ? kTrainingDone : kFileDone, std::move(refused),
                std::move(nothing), {}, {});
    }
}

void MqKohonenThread::RunTraining(const Request& request) {
    DebugLog("Iniciando treino\n");
    losslessBytes_ = 0;
    Status status = compressor_->TrainAndCode(request.job);
    DebugLog("treino finalizado\n");
    const double ratio = request.losslessMode == LosslessMode::None ? 0.0 : MeasureLosslessStage(request.losslessMode);
    Complete(kTrain, kTrainingDone, std::move(status), ratio, losslessBytes_);
}

// Size of the coded image after the lossless stage over its size before, as
// the command line measures it; for the Huffman and arithmetic stages the two
// images are also left in the worker's temporary files, as the program has
// always done. 0 when nothing is coded.
double MqKohonenThread::MeasureLosslessStage(LosslessMode mode) {
    LosslessImage image;
    Status status = EncodeLosslessImage(*compressor_, mode, image);
    losslessBytes_ = image.packed.size();
    if (mode == LosslessMode::Contextual) return image.Ratio();
    std::string codedPath, losslessPath;
    if (status) status = TemporaryFilePath(kCodedTemporary, codedPath);
    if (status) status = TemporaryFilePath(kLosslessTemporary, losslessPath);
    if (status) status = WriteFileAtomically(codedPath, image.coded);
    if (status) status = WriteFileAtomically(losslessPath, image.packed);
    if (!status) DebugLog("%.90s\n", status.message().c_str());
    return image.Ratio();
}

Status MqKohonenThread::RunFileCommand(const Request& request) {
    const std::string& path = request.paths[0];
    switch (request.command) {
        case kDecode: return compressor_->DecodeCodedFile(path);
        case kHuffmanDecode: return DecodeThroughCoder(LosslessMode::Huffman, path);
        case kArithmeticDecode: return DecodeThroughCoder(LosslessMode::Arithmetic, path);
        case kContextualDecode: return DecodeInMemory(LosslessMode::Contextual, path);
        case kApplyCodebook: return compressor_->ApplyCodebookFile(path);
        case kApplyCodebooks: return compressor_->ApplyCodebookFiles(request.paths, request.positions);
        default: return Status::Error(ErrorKind::InvalidSetting, "unknown command " + std::to_string(request.command));
    }
}

// A .huf or .art file is expanded into the temporary coded image, which is
// then decoded; errors name the user's file, not the temporary one.
Status MqKohonenThread::DecodeThroughCoder(LosslessMode mode, const std::string& path) {
    std::string codedPath;
    if (Status status = TemporaryFilePath(kCodedTemporary, codedPath); !status) return status;
    if (Status status = DecodeFileWith(mode, path, codedPath); !status) return status;
    std::vector<std::uint8_t> bytes;
    if (Status status = ReadWholeFile(codedPath, bytes); !status) return status;
    return compressor_->DecodeCodedImage(bytes).About(path);
}

Status MqKohonenThread::DecodeInMemory(LosslessMode mode, const std::string& path) {
    std::vector<std::uint8_t> bytes, coded;
    if (Status status = ReadWholeFile(path, bytes); !status) return status;
    if (Status status = DecodeBytesWith(mode, bytes, coded); !status) return status.About(path);
    return compressor_->DecodeCodedImage(coded).About(path);
}

void MqKohonenThread::RunStudy(const StudyJob& job) {
    StudyOutcome outcome;
    outcome.job = job;
    Status status = Status::Ok();
    const ImageBuffer& buffer = compressor_->SourceImage();
    if (!compressor_->IsImageLoaded() || !buffer.rgb) {
        status = Status::Error(ErrorKind::InvalidSetting, "no image is loaded");
    } else if (job.task == StudyTask::ReferenceAtSize) {
        status = EncodeReferenceAtSize(job.codec, *buffer.rgb, job.targetBytes, outcome.atSize);
    } else if (job.task == StudyTask::ReferenceLadders) {
        status = EncodeReferenceLadders(*buffer.rgb, outcome.curves);
    } else {
        outcome.ssimMap = RgbSsimMap(*buffer.rgb, compressor_->ReconstructedImage());
    }
    CompleteStudy(std::move(status), std::move(outcome));
}

void MqKohonenThread::CompleteStudy(Status status, StudyOutcome outcome) {
    {
        std::lock_guard lock(mutex_);
        lastCommand_ = kStudy;
        lastStatus_ = std::move(status);
        lastStudy_ = std::move(outcome);
    }
    if (handler_) handler_(kStudyDone);
}

StepOrigin MqKohonenThread::OriginOf(int command) {
    if (command == kApplyCodebook || command == kApplyCodebooks) return StepOrigin::AppliedCodebook;
    return command == kTrain ? StepOrigin::TrainingStep : StepOrigin::DecodedFile;
}

// The figures are taken here, on the worker, so the owner never reads the
// networks themselves: it gets values that stay as they are while the next
// step runs.
void MqKohonenThread::Complete(int command, int message, Status status, double entropyRatio,
                               std::uint64_t losslessBytes, std::vector<std::string> files) {
    const StepOrigin origin = OriginOf(command);
    // A decoded file keeps the quality figures held before, so it is not
    // measured against the source either.
    StepResult result =
        compressor_->Result(origin, 0, origin == StepOrigin::DecodedFile ? MeasureSet::PsnrOnly : MeasureSet::All);
    result.losslessRatio = entropyRatio;
    result.losslessBytes = losslessBytes;
    NeuronTallies tallies;
    try {
        tallies = compressor_->Tallies();
    } catch (const std::bad_alloc&) {
        // The chart of trainings and wins goes without; the step is still told.
    }
    Publish(command, message, std::move(status), std::move(result), std::move(tallies), std::move(files));
}

// Hands the values over and calls the handler; allocates nothing new.
void MqKohonenThread::Publish(int command, int message, Status status, StepResult result, NeuronTallies tallies,
                              std::vector<std::string> files) {
    {
        std::lock_guard lock(mutex_);
        lastCommand_ = command;
        lastFiles_ = std::move(files);
        lastStatus_ = std::move(status);
        lastResult_ = std::move(result);
        lastTallies_ = std::move(tallies);
    }
    DebugLog("Enviando mensagem\n");
    if (handler_) handler_(message);
    DebugLog("Mensagem enviada\n");
}

}  // namespace pictora
