#include "pipeline/ImageCompressor.h"

#include <algorithm>
#include <array>
#include <mutex>
#include <new>
#include <string>
#include <thread>

#include "measures/Butteraugli.h"
#include "image/PngImage.h"
#include "measures/BitsPerPixel.h"
#include "support/Truncate.h"
#include "support/DebugLog.h"
#include "support/FileIO.h"
#include "support/RowArrival.h"
#include "support/WorkerPool.h"

namespace pictora {

namespace {

Status NoMemoryForImage(const std::string& name) {
    return Status::Error(ErrorKind::OutOfMemory, name + ": not enough memory for an image of this size")
        .Concerning(name);
}

}  // namespace

PlaneScale ChannelScale(ColorSpace colorSpace, int channel) {
    return channel != 0 && colorSpace == ColorSpace::YCbCr420 ? PlaneScale::Half : PlaneScale::Full;
}

ImageCompressor::ImageCompressor() = default;

Status ImageCompressor::LoadImage(const std::string& path) {
    std::vector<std::uint8_t> bytes;
    if (Status read = ReadWholeFile(path, bytes); !read) return read;
    return LoadImage(bytes, path);
}

Status ImageCompressor::LoadImage(std::span<const std::uint8_t> png, const std::string& name) {
    // Read into a fresh buffer so a file that fails leaves the current image alone.
    ImageBuffer loaded;
    try {
        if (Status status = loaded.DecodePng(png, name, DerivedPlanes::OnRequest); !status) return status;
    } catch (const std::bad_alloc&) {
        return NoMemoryForImage(name);
    }
    sourceImage_ = std::move(loaded);
    quality_ = RgbQuality{};
    imageLoaded_ = true;
    BindRgbSources(channels_);
    ReleaseReconstruction();
    return Status::Ok();
}

void ImageCompressor::SetProgress(const Progress& progress) {
    progress_ = progress;
    for (int c = 0; c < 3; ++c) InstallProgress(channels_[c], c);
}

void ImageCompressor::InstallProgress(KohonenNetwork& channel, int c) const {
    if (!progress_) {
        channel.SetProgress(nullptr);
        return;
    }
    // The channels report from their own threads, one at a time.
    channel.SetProgress([progress = progress_, lock = progressLock_, c](const char* phase, std::uint32_t done,
                                                                         std::uint32_t rows) {
        std::lock_guard<std::mutex> guard(*lock);
        progress(c, phase, done, rows);
    });
}

void ImageCompressor::SetReferenceSearch(bool reference) {
    referenceSearch_ = reference;
    for (KohonenNetwork& channel : channels_) channel.SetReferenceSearch(reference);
}

// Takes networks read from a file in place of the current ones.
void ImageCompressor::AdoptChannels(Channels& channels, pictora::ColorSpace colorSpace) {
    for (int c = 0; c < 3; ++c) {
        channels_[c] = std::move(channels[c]);
        InstallProgress(channels_[c], c);
        channels_[c].SetReferenceSearch(referenceSearch_);
    }
    colorSpace_ = colorSpace;
}

void ImageCompressor::PrepareNewRun() {
    if (!imageLoaded_) return;
    BindRgbSources(channels_);
    ReleaseReconstruction();
}

void ImageCompressor::BindRgbSources(Channels& channels) {
    const auto height = static_cast<std::uint32_t>(sourceImage_.GetHeight());
    const auto width = static_cast<std::uint32_t>(sourceImage_.GetWidth());
    channels[0].Configure(height, width, &sourceImage_.rgb->red);
    channels[1].Configure(height, width, &sourceImage_.rgb->green);
    channels[2].Configure(height, width, &sourceImage_.rgb->blue);
}

void ImageCompressor::BindSourcesFor(Channels& channels, pictora::ColorSpace colorSpace) {
    if (IsYCbCr(colorSpace)) sourceImage_.DeriveYCbCrPlanes();
    const ImageBuffer& image = sourceImage_;
    if (colorSpace == ColorSpace::YCbCr444) {
        channels[0].SetSource(&image.lumaY);
        channels[1].SetSource(&image.chromaCb);
        channels[2].SetSource(&image.chromaCr);
    } else if (colorSpace == ColorSpace::YCbCr420) {
        channels[0].SetSource(&image.lumaY);
        channels[1].SetSource(&image.chromaCb420);
        channels[2].SetSource(&image.chromaCr420);
    }
}

bool ImageCompressor::ChannelsHoldWork() const {
    const auto height = static_cast<std::uint32_t>(sourceImage_.GetHeight());
    const auto width = static_cast<std::uint32_t>(sourceImage_.GetWidth());
    for (const KohonenNetwork& channel : channels_) {
        if (!channel.HoldsWork() || channel.Rebuilt().Height() < height || channel.Rebuilt().Width() < width)
            return false;
    }
    return true;
}

Status ImageCompressor::TrainAndCode(const TrainingJob& job) {
    if (!imageLoaded_) return Status::Error(ErrorKind::NoImage, "no image is loaded to train on");
    colorSpace_ = job.colorSpace;
    method_ = job.method;
    try {
        Status trained = TrainChannels(job, TaskPriority::Normal);
        FinishStep(job.filter);
        return trained;
    } catch (const std::bad_alloc&) {
        return DropStepForMemory();
    }
}

// A step that ran out of memory leaves no half-trained networks to show, save
// or continue: their work is released (which also gives the memory back),
// and the next job starts a new run on the image, which stays loaded.
Status ImageCompressor::DropStepForMemory() {
    for (KohonenNetwork& channel : channels_) channel.ReleaseWork();
    ReleaseReconstruction();
    return Status::Error(ErrorKind::OutOfMemory, "not enough memory to train on this image");
}

// The image's planes are filled by a decoding thread while the channels train
// on the rows it has done; the quality is measured once it is through. The
// image is adopted as soon as its header is checked, and dropped again, with
// the networks' work, when the file turns out to be damaged.
Status ImageCompressor::LoadAndTrain(std::span<const std::uint8_t> png, const std::string& name,
                                     const TrainingJob& job) {
    if (!job.restart || IsYCbCr(job.colorSpace) || referenceSearch_) {
        if (Status loaded = LoadImage(png, name); !loaded) return loaded;
        return TrainAndCode(job);
    }
    method_ = job.method;
    auto image = std::make_unique<RgbImage>();
    RgbImage& decoding = *image;
    RowArrival arrival;
    Status decoded = Status::Ok();
    bool memoryRanOut = false;
    bool trainingRanOut = false;
    bool adopted = false;
    Status trained = Status::Ok();
    {
        std::jthread decoder([&] {
            WorkerPool::BusyScope busy;  // a core the channels' jobs leave to it
            try {
                decoded = DecodePngInPlace(png, decoding, arrival);
            } catch (const std::bad_alloc&) {
                memoryRanOut = true;
                arrival.Close();
            }
        });
        if (arrival.WaitForStart()) {
            adopted = true;
            sourceImage_.Release();
            sourceImage_.rgb = std::move(image);
            imageLoaded_ = true;
            BindRgbSources(channels_);
            ReleaseReconstruction();
            colorSpace_ = job.colorSpace;
            for (KohonenNetwork& channel : channels_) channel.SetSourceArrival(&arrival);
            try {
                // The decoder sets the pace: the channels give way to it.
                trained = TrainChannels(job, TaskPriority::Yielding);
            } catch (const std::bad_alloc&) {
                trainingRanOut = true;
            } catch (...) {
                for (KohonenNetwork& channel : channels_) channel.SetSourceArrival(nullptr);
                throw;
            }
            for (KohonenNetwork& channel : channels_) channel.SetSourceArrival(nullptr);
        }
    }
    if (memoryRanOut || !decoded) {
        const Status failure = memoryRanOut ? NoMemoryForImage(name) : decoded.About(name);
        if (adopted) {
            imageLoaded_ = false;
            sourceImage_.Release();  // and with it the image decoded
            for (KohonenNetwork& channel : channels_) {
                channel.ReleaseWork();
                channel.ClearSource();
            }
            ReleaseReconstruction();
        }
        return failure;
    }
    try {
        if (trainingRanOut) return DropStepForMemory();
        FinishStep(job.filter);
        return trained;
    } catch (const std::bad_alloc&) {
        return DropStepForMemory();
    }
}

Status ImageCompressor::TrainChannels(const TrainingJob& job, TaskPriority priority) {
    const auto height = static_cast<std::uint32_t>(sourceImage_.GetHeight());
    const auto width = static_cast<std::uint32_t>(sourceImage_.GetWidth());
    // A job that continues a run needs the work arrays a restart allocates;
    // without them (a new image, say) it starts the run afresh.
    if (job.restart || !ChannelsHoldWork()) {
        for (int c = 0; c < 3; ++c) {
            channels_[c].SetPlaneSize(height, width);
            channels_[c].Reset(job.channels[c].dimension);
        }
        BindSourcesFor(channels_, colorSpace_);
        if (colorSpace_ == ColorSpace::YCbCr420) {
            channels_[1].SetPlaneSize(height / 2, width / 2);
            channels_[2].SetPlaneSize(height / 2, width / 2);
        }
    }

    // The channels are independent: each trains, codes and rebuilds on a
    // thread of its own, unless the plain reference scan is asked for, which
    // stays on this thread. A channel that cannot train is left out; the first
    // failure's kind stands for the job's, every channel's reason is in the
    // message.
    std::array<Status, 3> trained = {Status::Ok(), Status::Ok(), Status::Ok()};
    const auto step = [&](unsigned c) {
        const ChannelJob& settings = job.channels[c];
        if (settings.passes == 0) return;
        channels_[c].SetCodingMethod(method_.coding);
        trained[c] =
            channels_[c].TrainStep(settings.radius, settings.alfa, settings.passes, ChannelScale(colorSpace_, c));
        if (trained[c]) channels_[c].Rebuild(true);
    };
    if (referenceSearch_) {
        for (unsigned c = 0; c < 3; ++c) step(c);
    } else {
        RunOnOwnThreads(3, step, priority);
    }
    Status failure = Status::Ok();
    std::string problems;
    for (int c = 0; c < 3; ++c) {
        if (trained[c]) continue;
        problems += (problems.empty() ? "" : "; ") + std::string("channel ") + std::to_string(c) + ": " +
                    trained[c].message();
        if (failure) failure = trained[c];
    }
    DebugLog("%i %i %i\n", channels_[0].NeuronCount(), channels_[1].NeuronCount(), channels_[2].NeuronCount());
    return failure ? Status::Ok() : Status::Error(failure.kind(), problems);
}

void ImageCompressor::FinishStep(LowPassFilter filter) {
    Reconstruct(filter);
    SumCodedBytes();
    MeasureQuality();
}

// The one way from the networks to the RGB image a front end shows: their
// coded image, reconstructed.
void ImageCompressor::Reconstruct(LowPassFilter filter) {
    reconstruction_ = pictora::Reconstruct(Coded(), filter, method_.deblock);
}

void ImageCompressor::ReleaseReconstruction() { reconstruction_ = RgbImage{}; }

CodedImage ImageCompressor::Coded() const {
    CodedImage image;
    image.colorSpace = colorSpace_;
    for (int c = 0; c < 3; ++c) image.channels[c] = CodedChannelOf(channels_[c]);
    return image;
}

namespace {

// The sum of the channels' coded bytes, and that sum over the samples of
// three planes of channel 0's size.
void SumChannels(const std::array<CodedSize, 3>& channels, std::uint32_t rows, std::uint32_t columns,
                 std::uint32_t& bytes, double& rate) {
    bytes = channels[0].codedBytes + channels[1].codedBytes + channels[2].codedBytes;
    // A 64-bit product: three times a large image's pixel count overflows 32 bits.
    const std::uint64_t samples = UINT64_C(3) * rows * columns;
    rate = samples == 0 ? 0.0 : bytes / static_cast<double>(samples);
}

}  // namespace

void ImageCompressor::SumCodedBytes() {
    SumChannels({channels_[0].Size(), channels_[1].Size(), channels_[2].Size()}, channels_[0].Rows(),
                channels_[0].Columns(), codedBytes_, compressionRate_);
}

ImageCompressor::CodedTotals ImageCompressor::KeptTotals() const {
    return {{channels_[0].Size(), channels_[1].Size(), channels_[2].Size()}, codedBytes_, compressionRate_};
}

ImageCompressor::CodedTotals ImageCompressor::CountedTotals() const {
    CodedTotals totals;
    for (int c = 0; c < 3; ++c) {
        const KohonenNetwork& channel = channels_[c];
        totals.channels[static_cast<std::size_t>(c)] = ComputeCodedSize(
            channel.Rows(), channel.Columns(), channel.Dimension(), channel.NeuronCount(), ChannelScale(colorSpace_, c));
    }
    SumChannels(totals.channels, channels_[0].Rows(), channels_[0].Columns(), totals.bytes, totals.rate);
    return totals;
}

void ImageCompressor::UpdateStatistics() {
    for (int c = 0; c < 3; ++c) channels_[c].ComputeCodedSize(ChannelScale(colorSpace_, c));
    SumCodedBytes();
}

void ImageCompressor::MeasureQuality() {
    static const RgbImage kNoImage;
    quality_ = QualityAgainst(sourceImage_.rgb ? *sourceImage_.rgb : kNoImage);
}

RgbQuality ImageCompressor::QualityAgainst(const RgbImage& source) const {
    return MeasureRgbQuality({&source.red, &source.green, &source.blue},
                             {&ReconstructedPlane(0), &ReconstructedPlane(1), &ReconstructedPlane(2)},
                             static_cast<std::uint32_t>(source.height), static_cast<std::uint32_t>(source.width));
}

CodedImageRate ImageCompressor::Rate() const {
    constexpr std::uint64_t kSectionHead = 16;
    constexpr std::uint64_t kBlockHead = 5;  // width byte and bit count
    CodedImageRate rate;
    for (const KohonenNetwork& channel : channels_) {
        const std::uint64_t neurons = channel.NeuronCount();
        const std::uint64_t dimension = channel.Dimension();
        const std::uint64_t entries =
            neurons == 0 || dimension == 0 ? 0 : static_cast<std::uint64_t>(channel.Rows()) * channel.Columns() / dimension;
        const std::uint64_t bits = BitLength(static_cast<std::uint32_t>(neurons)) * entries;
        rate.headerBytes += kSectionHead;
        rate.codebookBytes += neurons * dimension;
        rate.indexBytes += kBlockHead + 4 * ((bits + 31) / 32);
    }
    return rate;
}

StepResult ImageCompressor::Result(StepOrigin origin, int step, MeasureSet measures) const {
    const bool measured = measures != MeasureSet::PsnrOnly && imageLoaded_ && HasReconstruction();
    return MakeResult(origin, step, KeptTotals(), quality_, measured ? sourceImage_.rgb.get() : nullptr,
                      measures == MeasureSet::AllAndButteraugli);
}

StepResult ImageCompressor::MeasuredAgainst(const RgbImage& source, StepOrigin origin, int step) const {
    return MakeResult(origin, step, CountedTotals(), QualityAgainst(source), HasReconstruction() ? &source : nullptr,
                      false);
}

// SSIM and MS-SSIM are measured against `source` when one is given, and
// Butteraugli too when asked for.
StepResult ImageCompressor::MakeResult(StepOrigin origin, int step, const CodedTotals& totals,
                                       const RgbQuality& quality, const RgbImage* source, bool butteraugli) const {
    StepResult result;
    result.width = ReconstructionColumns();
    result.height = ReconstructionRows();
    result.rate = Rate();
    result.figures.bytes = result.rate.Total();
    result.figures.bpp = BitsPerPixel(result.rate.Total(), result.width, result.height);
    if (source != nullptr) {
        result.figures.similarity = MeasureImages({&source->red, &source->green, &source->blue},
                                          {&ReconstructedPlane(0), &ReconstructedPlane(1), &ReconstructedPlane(2)},
                                          SimilarityMeasures::kBoth);
        if (butteraugli) result.figures.butteraugli = MeasureButteraugli(*source, ReconstructedImage());
    }
    result.origin = origin;
    result.step = step;
    result.method = MethodOfResult(origin, method_);
    for (int c = 0; c < 3; ++c) {
        ChannelFigures& figures = result.channels[static_cast<std::size_t>(c)];
        figures.neurons = channels_[c].NeuronCount();
        figures.pruned = channels_[c].PrunedCount();
        figures.compressionRate = totals.channels[static_cast<std::size_t>(c)].ratio;
        figures.codedBytes = totals.channels[static_cast<std::size_t>(c)].codedBytes;
    }
    result.figures.quality = quality;
    result.compressionRate = totals.rate;
    result.codedBytes = totals.bytes;
    return result;
}

NeuronTallies ImageCompressor::Tallies() const {
    NeuronTallies tallies;
    for (int c = 0; c < 3; ++c) {
        const NeuronList& neurons = channels_[c].Neurons();
        std::vector<NeuronTally>& channel = tallies[static_cast<std::size_t>(c)];
        channel.reserve(neurons.Count());
        for (std::uint32_t i = 0; i < neurons.Count(); ++i)
            channel.push_back({neurons.At(i).trainings, neurons.At(i).wins});
    }
    return tallies;
}

RgbImage ImageCompressor::ReconstructedImage() const { return HasReconstruction() ? reconstruction_ : RgbImage{}; }

const Plane& ImageCompressor::ReconstructedPlane(int c) const {
    const Plane* const planes[3] = {&reconstruction_.red, &reconstruction_.green, &reconstruction_.blue};
    return *planes[c];
}

bool ImageCompressor::HasReconstruction() const {
    const std::uint32_t rows = ReconstructionRows();
    const std::uint32_t columns = ReconstructionColumns();
    if (rows == 0 || columns == 0) return false;
    for (int c = 0; c < 3; ++c)
        if (ReconstructedPlane(c).Height() < rows || ReconstructedPlane(c).Width() < columns) return false;
    return true;
}

double ImageCompressor::GetCompressionRate(int channel) const {
    return channel < 0 ? compressionRate_ : channels_[channel].Ratio();
}

int ImageCompressor::GetNeuronCount(int channel) const {
    if (channel >= 0) return static_cast<int>(channels_[channel].NeuronCount());
    return static_cast<int>(channels_[0].NeuronCount() + channels_[1].NeuronCount() + channels_[2].NeuronCount());
}

int ImageCompressor::GetPrunedCount(int channel) const {
    if (channel >= 0) return static_cast<int>(channels_[channel].PrunedCount());
    return static_cast<int>(channels_[0].PrunedCount() + channels_[1].PrunedCount() + channels_[2].PrunedCount());
}

}  // namespace pictora
