#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <mutex>
#include <span>
#include <string>
#include <vector>

#include "image/ColorSpace.h"
#include "image/ImageBuffer.h"
#include "image/RgbQuality.h"
#include "pipeline/CodedImage.h"
#include "pipeline/StepResult.h"
#include "pipeline/TrainingJob.h"
#include "quantizer/KohonenNetwork.h"
#include "support/OwnThreads.h"
#include "support/Status.h"

namespace pictora {

// The coding pipeline: owns the source image, its reconstruction and one
// codebook network per colour channel; runs training jobs over the three
// channels, reads and writes the files of its results, and hands its figures
// out as StepResult values. It draws nothing: a front end builds its pictures
// from the planes it exposes.
class ImageCompressor {
public:
    ImageCompressor();
    ImageCompressor(const ImageCompressor&) = delete;
    ImageCompressor& operator=(const ImageCompressor&) = delete;

    // Reads an 8-bit RGB PNG. On failure the image and networks loaded before
    // stay as they were.
    Status LoadImage(const std::string& path);
    // The same from the bytes of a PNG file; `name` heads the messages.
    Status LoadImage(std::span<const std::uint8_t> png, const std::string& name);
    // Rebinds the channels to the RGB planes and empties their work arrays.
    void PrepareNewRun();

    // One training job: trains and codes every channel with passes left,
    // rebuilds, converts back to RGB, filters and measures. Without a loaded
    // image it is refused (NoImage) and nothing changes. A channel that
    // cannot be coded (a block larger than its plane, say) is left out and
    // named in the returned error; the rest of the job still runs. Memory
    // running out is returned as a failure too, with the networks emptied.
    Status TrainAndCode(const TrainingJob& job);
    // LoadImage and then TrainAndCode, for a job that starts a run on a new
    // image: with the fast search and an RGB job the channels train while
    // the file is still being decoded. On a file that cannot be read the
    // compressor holds no image and its networks are empty (even when an
    // image was loaded before).
    Status LoadAndTrain(std::span<const std::uint8_t> png, const std::string& name, const TrainingJob& job);

    // The figures the compressor holds now, as the result of a step (or of a
    // file read) of that origin and number. The lossless ratio is left 0: the
    // lossless stage is measured by whoever runs it.
    // SSIM and MS-SSIM are measured when `measures` asks for them and an
    // image of the reconstruction's size is loaded.
    StepResult Result(StepOrigin origin, int step, MeasureSet measures = MeasureSet::All) const;
    // The coded image held now (one just decoded, say) measured against
    // `source`, an image of the reconstruction's size: the coded sizes
    // counted afresh from the networks, as UpdateStatistics counts them, and
    // pSNR, SSIM and MS-SSIM against `source`. It only reads, so it needs no
    // image loaded and asks for no order of calls.
    StepResult MeasuredAgainst(const RgbImage& source, StepOrigin origin, int step) const;
    // The parts of the coded image the current networks make, as
    // EncodeCodedImage would write them.
    CodedImageRate Rate() const;
    // Trainings and wins of every neuron of the three codebooks.
    NeuronTallies Tallies() const;

    // Progress of long passes: channel, phase, block rows done, rows. The
    // channels train at once, so calls come from several threads, never two
    // at a time.
    using Progress = std::function<void(int channel, const char* phase, std::uint32_t rowsDone, std::uint32_t rows)>;
    void SetProgress(const Progress& progress);

    // The method settings (MethodSettings) that applied codebooks are coded
    // with and that decoded and applied images are deblocked with; every
    // training job brings its own, which then stay.
    void SetMethod(const MethodSettings& method) { method_ = method; }
    const MethodSettings& Method() const { return method_; }

    // Whether the channels search with the plain ordered scan (one neuron
    // after another, one thread) instead of the indexed vector search. The
    // results are the same bit for bit; only the time differs.
    void SetReferenceSearch(bool reference);

    // The coded image the current networks make: their codebooks in pixel
    // form and codes, in the colour space of the last job or file.
    CodedImage Coded() const;
    // Takes a coded image in place of the current networks and reconstructs
    // it (deblocked as Method() says, not filtered), without training; the
    // loaded image stays. An image a .mqc file could not hold
    // (CheckCodedImage) is refused and nothing changes. Statistics and
    // quality figures are not recomputed: a caller that wants them measures
    // the result with MeasuredAgainst.
    Status Adopt(const CodedImage& image);

    // The .mqc bytes of Coded() (EncodeCodedImage).
    Status EncodeCodedImage(std::vector<std::uint8_t>& bytes) const;
    Status WriteCodedFile(const std::string& path) const;
    // The three codebooks (.cod), each section carrying the colour space.
    Status EncodeCodebooks(std::vector<std::uint8_t>& bytes) const;
    Status WriteCodebookFile(const std::string& path) const;
    // The last reconstruction, in RGB and filtered if the last job filtered,
    // as an 8-bit RGB PNG of channel 0's size.
    Status EncodeReconstructionPng(std::vector<std::uint8_t>& bytes) const;
    Status SaveReconstructionPng(const std::string& path) const;

    // Decodes .mqc bytes (DecodeCodedImage) and adopts the image as Adopt
    // does; refused bytes leave networks and colour space as they were.
    Status DecodeCodedImage(std::span<const std::uint8_t> bytes);
    Status DecodeCodedFile(const std::string& path);
    // Codes the loaded image with the first three codebooks of a codebook
    // file, or with section positions[c] (1-based) of files[c] for each
    // channel c, then rebuilds and measures it. Refused files change nothing;
    // `name` (or paths[c]) heads the messages.
    Status ApplyCodebooks(std::span<const std::uint8_t> file, const std::string& name);
    Status ApplyCodebookFile(const std::string& path);
    Status ApplyCodebookFiles(const std::array<std::string, 3>& paths, const std::array<int, 3>& positions);
    Status ApplyCodebookSections(const std::array<std::span<const std::uint8_t>, 3>& files,
                                 const std::array<std::string, 3>& names, const std::array<int, 3>& positions);

    void UpdateStatistics();
    void MeasureQuality();

    // Result accessors; channel -1 stands for the whole image.
    double GetCompressionRate(int channel) const;
    int GetNeuronCount(int channel) const;
    int GetPrunedCount(int channel) const;
    // The reconstruction's errors and pSNR against the source image, as the
    // last step, applied codebooks or MeasureQuality left them.
    const RgbQuality& Quality() const { return quality_; }
    bool IsImageLoaded() const { return imageLoaded_; }
    int GetImageHeight() const { return sourceImage_.GetHeight(); }
    int GetImageWidth() const { return sourceImage_.GetWidth(); }
    // Whether a reconstruction has been made (by a step, a decode or applied
    // codebooks) that a front end can show and save.
    bool HasReconstruction() const;

    pictora::ColorSpace ColorSpace() const { return colorSpace_; }
    std::uint32_t CodedBytes() const { return codedBytes_; }
    KohonenNetwork& Channel(int c) { return channels_[c]; }
    const KohonenNetwork& Channel(int c) const { return channels_[c]; }
    // The source image. Its Y, Cb, Cr and 4:2:0 planes are derived when a job
    // codes in YCbCr, or on DeriveSourcePlanes for a front end that shows them.
    const ImageBuffer& SourceImage() const { return sourceImage_; }
    void DeriveSourcePlanes() { sourceImage_.DeriveYCbCrPlanes(); }
    // The RGB reconstruction a front end shows and a .png holds: plane c of
    // channel c (R, G, B), ReconstructionRows() x ReconstructionColumns().
    const Plane& ReconstructedPlane(int c) const;
    std::uint32_t ReconstructionRows() const { return channels_[0].Rows(); }
    std::uint32_t ReconstructionColumns() const { return channels_[0].Columns(); }
    // A copy of that reconstruction as an image of its own (empty without one).
    RgbImage ReconstructedImage() const;

private:
    using Channels = std::array<KohonenNetwork, 3>;

    void BindRgbSources(Channels& channels);
    void BindSourcesFor(Channels& channels, pictora::ColorSpace colorSpace);
    void AdoptChannels(Channels& channels, pictora::ColorSpace colorSpace);
    void AdoptChecked(const CodedImage& image);
    void InstallProgress(KohonenNetwork& channel, int c) const;
    Status ApplyLoadedCodebooks(Channels& loaded, pictora::ColorSpace colorSpace);
    bool ChannelsHoldWork() const;
    Status TrainChannels(const TrainingJob& job, TaskPriority priority);
    Status DropStepForMemory();
    void FinishStep(LowPassFilter filter);
    void Reconstruct(LowPassFilter filter);
    void ReleaseReconstruction();
    void SumCodedBytes();
    // What a result reports of the coded sizes: each channel's, their sum and
    // the sum over the image's samples.
    struct CodedTotals {
        std::array<CodedSize, 3> channels{};
        std::uint32_t bytes = 0;
        double rate = 0.0;
    };
    CodedTotals KeptTotals() const;
    CodedTotals CountedTotals() const;
    RgbQuality QualityAgainst(const RgbImage& source) const;
    StepResult MakeResult(StepOrigin origin, int step, const CodedTotals& totals, const RgbQuality& quality,
                          const RgbImage* source, bool butteraugli) const;

    pictora::ColorSpace colorSpace_ = pictora::ColorSpace::Rgb;
    std::uint32_t codedBytes_ = 0;
    double compressionRate_ = 0.0;
    bool imageLoaded_ = false;
    ImageBuffer sourceImage_;
    // The reconstruction's errors and pSNR against the source, as last
    // measured (zero for an image just loaded).
    RgbQuality quality_;
    Channels channels_;
    // The RGB image the networks' coded image stands for (Reconstruct), as
    // the last step, decode or applied codebooks made it; empty when the
    // networks have been emptied or bound to a new image since.
    RgbImage reconstruction_;
    Progress progress_;
    std::shared_ptr<std::mutex> progressLock_ = std::make_shared<std::mutex>();
    bool referenceSearch_ = false;
    MethodSettings method_;
};

// The colour space each chosen codebook section declares: section
// positions[c] (from 1) of the file paths[c]. Sections applied together code
// every channel in the colour space of the first, so front ends look first
// when the sections come from different files.
Status ReadChosenColourSpaces(const std::array<std::string, 3>& paths, const std::array<int, 3>& positions,
                              std::array<ColorSpace, 3>& spaces);

// The scale a channel's plane has in a colour space: the chroma of YCbCr
// 4:2:0 is half size; channel 0 is always full size.
PlaneScale ChannelScale(ColorSpace colorSpace, int channel);

}  // namespace pictora
