#pragma once

#include <array>
#include <condition_variable>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "quantizer/EntropyCoderSlot.h"
#include "pipeline/StepResult.h"
#include "pipeline/StudyJob.h"
#include "pipeline/TrainingJob.h"
#include "support/Status.h"

namespace pictora {

class ImageCompressor;

// The worker thread that runs every coding command, so that the interface
// stays responsive while a codebook trains. The interface thread posts one
// command at a time; the worker runs it and announces the end through the
// completion handler, in which it waits until the owner has read the results
// (and, after a training step, perhaps posted the next one).
//
// Posting keeps the semantics of an auto-reset start event: a second post
// before the worker wakes replaces the first, and the worker runs only the
// latest. File commands (1 to 5) and studies (6) also take a ready token,
// held while one is pending or running; they are refused while the worker has
// any command pending or running. Training posts never wait.
// The contextual stage (.mqz) works in memory only: its decode (7) and its
// measure after a training step leave no temporary files.
class MqKohonenThread {
public:
    // Completion messages: after a training step, a file command, a study.
    static constexpr int kTrainingDone = 1125;
    static constexpr int kFileDone = 1126;
    static constexpr int kStudyDone = 1127;
    // Longest path a command takes, terminator included.
    static constexpr std::size_t kPathCapacity = 256;

    enum Command { kTrain = 0, kDecode = 1, kHuffmanDecode = 2, kArithmeticDecode = 3, kApplyCodebook = 4, kApplyCodebooks = 5, kStudy = 6, kContextualDecode = 7 };

    // Called on the worker thread with kTrainingDone, kFileDone or kStudyDone; the worker
    // waits for it to return. It may post the next command.
    using CompletionHandler = std::function<void(int message)>;

    explicit MqKohonenThread(ImageCompressor* compressor);
    // Ends the loop after the command in progress and joins the thread.
    ~MqKohonenThread();
    MqKohonenThread(const MqKohonenThread&) = delete;
    MqKohonenThread& operator=(const MqKohonenThread&) = delete;

    // Set before Start.
    void SetCompletionHandler(CompletionHandler handler);
    void Start();
    // Ends the loop after the command in progress (a pending one is dropped)
    // and joins the thread. Must not be called from the completion handler.
    void Stop();
    // Asks the loop to end after the command in progress, without waiting; an
    // owner whose handler needs its own thread keeps serving it until Finished.
    void RequestStop();
    bool Finished() const;

    // Posts a training step; never waits and never fails.
    bool StartTrainingJob(const TrainingJob& job, LosslessMode losslessMode);
    // File commands: false, with nothing changed, while another command is
    // pending or running, or when a path does not fit kPathCapacity.
    bool StartDecode(const std::string& path);
    bool StartHuffmanDecode(const std::string& path);
    bool StartArithmeticDecode(const std::string& path);
    bool StartContextualDecode(const std::string& path);
    bool StartApplyCodebook(const std::string& path);
    bool StartApplyCodebooks(const std::array<std::string, 3>& paths, const std::array<int, 3>& positions);
    // A study of the loaded source (reference codecs) or of the current
    // reconstruction; refused like a file command. It reads the compressor
    // but changes nothing in it, and leaves LastResult and LastTallies as
    // they were: its outcome is LastStudy.
    bool StartStudy(const StudyJob& job);

    // Waits until no command is pending or running. Not from the handler.
    void WaitForIdle();
    bool IsIdle() const;

    // Results of the command last completed, handed over as values and read
    // in the handler or when idle: its figures (for a training step with the
    // lossless-stage rate, 0 without a lossless stage or when it could not be
    // measured; the step number is the owner's to set), the codebooks'
    // trainings and wins, and what the command reported.
    StepResult LastResult() const;
    NeuronTallies LastTallies() const;
    double EntropyRatio() const;
    Status LastStatus() const;
    int LastCommand() const;
    // The files the command last completed read (none after a training step).
    std::vector<std::string> LastFiles() const;
    StudyOutcome LastStudy() const;

private:
    struct Request {
        int command = kTrain;
        TrainingJob job;
        LosslessMode losslessMode = LosslessMode::None;
        std::array<std::string, 3> paths;
        std::array<int, 3> positions{};
        StudyJob study;
    };

    bool PostFileCommand(Request request, std::size_t pathCount);
    void Post(Request request);
    void Run();
    void RunCommand(const Request& request);
    void RunTraining(const Request& request);
    double MeasureLosslessStage(LosslessMode mode);
    Status RunFileCommand(const Request& request);
    Status DecodeThroughCoder(LosslessMode mode, const std::string& path);
    Status DecodeInMemory(LosslessMode mode, const std::string& path);
    void RunStudy(const StudyJob& job);
    void CompleteStudy(Status status, StudyOutcome outcome);
    void Complete(int command, int message, Status status, double entropyRatio = 0.0, std::uint64_t losslessBytes = 0,
                  std::vector<std::string> files = {});
    void Publish(int command, int message, Status status, StepResult result, NeuronTallies tallies,
                 std::vector<std::string> files);
    static StepOrigin OriginOf(int command);

    ImageCompressor* compressor_;
    CompletionHandler handler_;
    std::thread thread_;

    mutable std::mutex mutex_;
    std::condition_variable changed_;
    bool startSignalled_ = false;   // the auto-reset start event
    bool stopping_ = false;
    bool finished_ = false;         // the loop has ended
    bool running_ = false;          // a command is being run
    bool readyTokenFree_ = true;    // the ready token of file commands
    Request pending_;

    std::uint64_t losslessBytes_ = 0;  // the worker's own, of the step in progress
    StepResult lastResult_;
    NeuronTallies lastTallies_;
    Status lastStatus_ = Status::Ok();
    int lastCommand_ = kTrain;
    std::vector<std::string> lastFiles_;
    StudyOutcome lastStudy_;
};

}  // namespace pictora
