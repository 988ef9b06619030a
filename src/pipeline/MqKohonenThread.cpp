#include "pipeline/MqKohonenThread.h"

#include <new>

#include "entropy/EntropyCoderSlot.h"
#include "pipeline/ImageCompressor.h"
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

bool MqKohonenThread::StartTrainingJob(const TrainingJob& job, int entropyMode) {
    DebugLog("Aguardando pronto\n");
    DebugLog("Pronto Ok\n");
    Request request;
    request.command = kTrain;
    request.job = job;
    request.entropyMode = entropyMode;
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
    return PostFileCommand(Request{kDecode, {}, 0, {path, "", ""}, {}}, 1);
}

bool MqKohonenThread::StartHuffmanDecode(const std::string& path) {
    return PostFileCommand(Request{kHuffmanDecode, {}, 0, {path, "", ""}, {}}, 1);
}

bool MqKohonenThread::StartArithmeticDecode(const std::string& path) {
    return PostFileCommand(Request{kArithmeticDecode, {}, 0, {path, "", ""}, {}}, 1);
}

bool MqKohonenThread::StartApplyCodebook(const std::string& path) {
    return PostFileCommand(Request{kApplyCodebook, {}, 0, {path, "", ""}, {}}, 1);
}

bool MqKohonenThread::StartApplyCodebooks(const std::array<std::string, 3>& paths,
                                          const std::array<int, 3>& positions) {
    return PostFileCommand(Request{kApplyCodebooks, {}, 0, paths, positions}, 3);
}

void MqKohonenThread::WaitForIdle() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return (!running_ && !startSignalled_) || stopping_; });
}

bool MqKohonenThread::IsIdle() const {
    std::lock_guard lock(mutex_);
    return !running_ && !startSignalled_;
}

double MqKohonenThread::EntropyRatio() const {
    std::lock_guard lock(mutex_);
    return entropyRatio_;
}

Status MqKohonenThread::LastStatus() const {
    std::lock_guard lock(mutex_);
    return lastStatus_;
}

int MqKohonenThread::LastCommand() const {
    std::lock_guard lock(mutex_);
    return lastCommand_;
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
        Status status = RunFileCommand(request);
        if (!status) DebugLog("%.90s\n", status.message().c_str());
        Complete(request.command, kFileDone, std::move(status));
    } catch (const std::bad_alloc&) {
        Complete(request.command, request.command == kTrain ? kTrainingDone : kFileDone,
                 Status::Error("not enough memory for this job"));
    }
}

void MqKohonenThread::RunTraining(const Request& request) {
    DebugLog("Iniciando treino\n");
    Status status = compressor_->TrainAndCode(request.job);
    DebugLog("treino finalizado\n");
    const double ratio = request.entropyMode == 0 ? 0.0 : MeasureLosslessStage(request.entropyMode);
    {
        std::lock_guard lock(mutex_);
        entropyRatio_ = ratio;
    }
    Complete(kTrain, kTrainingDone, std::move(status));
}

// Size of the coded image after the lossless stage over its size before, both
// measured on the files the stage reads and writes. 0 when either cannot be made.
double MqKohonenThread::MeasureLosslessStage(int entropyMode) {
    std::string codedPath, losslessPath;
    Status status = TemporaryFilePath(kCodedTemporary, codedPath);
    if (status) status = TemporaryFilePath(kLosslessTemporary, losslessPath);
    if (status) status = compressor_->WriteCodedFile(codedPath);
    if (status) status = EncodeFileWith(entropyMode, codedPath, losslessPath);
    const std::int64_t codedSize = status ? FileSize(codedPath) : -1;
    const std::int64_t losslessSize = status ? FileSize(losslessPath) : -1;
    if (!status || codedSize <= 0 || losslessSize < 0) {
        DebugLog("%.90s\n", status ? "temporary file missing" : status.message().c_str());
        return 0.0;
    }
    return static_cast<double>(losslessSize) / static_cast<double>(codedSize);
}

Status MqKohonenThread::RunFileCommand(const Request& request) {
    const std::string& path = request.paths[0];
    switch (request.command) {
        case kDecode: return compressor_->DecodeCodedFile(path);
        case kHuffmanDecode: return DecodeThroughCoder(kEntropyModeHuffman, path);
        case kArithmeticDecode: return DecodeThroughCoder(kEntropyModeArithmetic, path);
        case kApplyCodebook: return compressor_->ApplyCodebookFile(path);
        case kApplyCodebooks: return compressor_->ApplyCodebookFiles(request.paths, request.positions);
        default: return Status::Error("unknown command " + std::to_string(request.command));
    }
}

// A .huf or .art file is expanded into the temporary coded image, which is
// then decoded; errors name the user's file, not the temporary one.
Status MqKohonenThread::DecodeThroughCoder(int entropyMode, const std::string& path) {
    std::string codedPath;
    if (Status status = TemporaryFilePath(kCodedTemporary, codedPath); !status) return status;
    if (Status status = DecodeFileWith(entropyMode, path, codedPath); !status) return status;
    std::vector<std::uint8_t> bytes;
    if (Status status = ReadWholeFile(codedPath, bytes); !status) return status;
    if (Status status = compressor_->DecodeCodedImage(bytes); !status)
        return Status::Error(path + ": " + status.message());
    return Status::Ok();
}

void MqKohonenThread::Complete(int command, int message, Status status) {
    {
        std::lock_guard lock(mutex_);
        lastCommand_ = command;
        lastStatus_ = std::move(status);
    }
    DebugLog("Enviando mensagem\n");
    if (handler_) handler_(message);
    DebugLog("Mensagem enviada\n");
}

}  // namespace pictora
