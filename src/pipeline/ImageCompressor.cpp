#include "pipeline/ImageCompressor.h"

#include <new>
#include <string>

#include "image/BoxFilter.h"
#include "image/ChromaResampling.h"
#include "image/ColorConversion.h"
#include "support/DebugLog.h"

namespace pictora {

ImageCompressor::ImageCompressor() {
    sourceImage_.Reset();
    reconstruction_.Reset();
}

ImageCompressor::~ImageCompressor() {
    for (KohonenNetwork& channel : channels_) channel.Destroy();
    FreeDisplays();
}

Status ImageCompressor::LoadImage(const std::string& path) {
    // Read into a fresh buffer so a file that fails leaves the current image alone.
    ImageBuffer loaded;
    try {
        if (Status status = loaded.LoadPng(path); !status) return status;
    } catch (const std::bad_alloc&) {
        return Status::Error(path + ": not enough memory for an image of this size");
    }
    sourceImage_ = std::move(loaded);
    BuildSourceDisplays(sourceImage_);
    imageLoaded_ = true;
    BindRgbSources();
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
    channel.SetProgress([progress = progress_, c](const char* phase, std::uint32_t done, std::uint32_t rows) {
        progress(c, phase, done, rows);
    });
}

void ImageCompressor::SetReferenceSearch(bool reference) {
    referenceSearch_ = reference;
    for (KohonenNetwork& channel : channels_) channel.SetReferenceSearch(reference);
}

// Takes networks read from a file in place of the current ones.
void ImageCompressor::AdoptChannels(Channels& channels, int colorSpace) {
    for (int c = 0; c < 3; ++c) {
        channels_[c] = std::move(channels[c]);
        InstallProgress(channels_[c], c);
        channels_[c].SetReferenceSearch(referenceSearch_);
    }
    colorSpace_ = colorSpace;
}

void ImageCompressor::PrepareNewRun() {
    if (imageLoaded_) BindRgbSources();
}

void ImageCompressor::BindRgbSources() { BindRgbSources(channels_); }

void ImageCompressor::BindRgbSources(Channels& channels) {
    const auto height = static_cast<std::uint32_t>(sourceImage_.GetHeight());
    const auto width = static_cast<std::uint32_t>(sourceImage_.GetWidth());
    channels[0].Configure(height, width, &sourceImage_.rgb->red);
    channels[1].Configure(height, width, &sourceImage_.rgb->green);
    channels[2].Configure(height, width, &sourceImage_.rgb->blue);
}

void ImageCompressor::BindSourcesFor(Channels& channels, const ImageBuffer& image, int colorSpace) {
    if (colorSpace == kColorSpaceYCbCr444) {
        channels[0].SetSource(&image.lumaY);
        channels[1].SetSource(&image.chromaCb);
        channels[2].SetSource(&image.chromaCr);
    } else if (colorSpace == kColorSpaceYCbCr420) {
        channels[0].SetSource(&image.lumaY);
        channels[1].SetSource(&image.chromaCb420);
        channels[2].SetSource(&image.chromaCr420);
    }
}

bool ImageCompressor::ChannelsHoldWork() const {
    const auto height = static_cast<std::uint32_t>(sourceImage_.GetHeight());
    const auto width = static_cast<std::uint32_t>(sourceImage_.GetWidth());
    for (const KohonenNetwork& channel : channels_) {
        if (channel.Rebuilt().Height() < height || channel.Rebuilt().Width() < width) return false;
    }
    return true;
}

Status ImageCompressor::TrainAndCode(const TrainingJob& job) {
    colorSpace_ = job.colorSpace;
    if (!imageLoaded_) return Status::Ok();

    const auto height = static_cast<std::uint32_t>(sourceImage_.GetHeight());
    const auto width = static_cast<std::uint32_t>(sourceImage_.GetWidth());
    // A job that continues a run needs the work arrays a restart allocates;
    // without them (a new image, say) it starts the run afresh.
    if (job.restart || !ChannelsHoldWork()) {
        for (int c = 0; c < 3; ++c) {
            channels_[c].SetPlaneSize(height, width);
            channels_[c].Reset(job.channels[c].dimension);
        }
        BindSourcesFor(channels_, sourceImage_, colorSpace_);
        if (colorSpace_ == kColorSpaceYCbCr420) {
            channels_[1].SetPlaneSize(height / 2, width / 2);
            channels_[2].SetPlaneSize(height / 2, width / 2);
        }
    }

    std::string problems;
    for (int c = 0; c < 3; ++c) {
        const ChannelJob& settings = job.channels[c];
        if (settings.passes == 0) continue;
        Status trained = channels_[c].TrainStep(settings.radius, settings.alfa, settings.passes,
                                                c == 0 ? 0 : colorSpace_);
        if (trained) {
            channels_[c].Rebuild(true);
        } else {
            problems += (problems.empty() ? "" : "; ") + std::string("channel ") + std::to_string(c) + ": " +
                        trained.message();
        }
    }
    // Every channel, idle ones included, enters the conversion with its own
    // unconverted reconstruction of this job's colour space.
    for (KohonenNetwork& channel : channels_) channel.RebuiltCopy() = channel.Rebuilt();
    DebugLog("%i %i %i\n", channels_[0].NeuronCount(), channels_[1].NeuronCount(), channels_[2].NeuronCount());

    if (colorSpace_ == kColorSpaceYCbCr420) {
        Upsample420(height / 2, width / 2, channels_[1].RebuiltCopy(), channels_[1].Rebuilt());
        Upsample420(height / 2, width / 2, channels_[2].RebuiltCopy(), channels_[2].Rebuilt());
    }
    reconstruction_.Allocate(static_cast<std::int32_t>(height), static_cast<std::int32_t>(width));
    ConvertToRgb(colorSpace_);
    ApplyFilter(job.filterIndex);
    SumCodedBytes();
    ShowMasks();
    ShowReconstruction();
    reconstruction_.CopyPlanes(1, channels_[0].RebuiltCopy(), channels_[1].RebuiltCopy(),
                               channels_[2].RebuiltCopy());
    sourceImage_.ComputePsnr(reconstruction_);
    return problems.empty() ? Status::Ok() : Status::Error(problems);
}

void ImageCompressor::ConvertToRgb(int colorSpace) {
    if (colorSpace != kColorSpaceYCbCr444 && colorSpace != kColorSpaceYCbCr420) return;
    Plane& first = channels_[0].RebuiltCopy();
    Plane& second = channels_[1].RebuiltCopy();
    Plane& third = channels_[2].RebuiltCopy();
    YCbCrToRgb(static_cast<std::uint32_t>(sourceImage_.GetHeight()), static_cast<std::uint32_t>(sourceImage_.GetWidth()),
               first, second, third, first, second, third);
}

void ImageCompressor::ApplyFilter(int filterIndex) {
    if (filterIndex == kNoFilter) return;
    const std::uint32_t rows = channels_[0].Rows();
    const std::uint32_t columns = channels_[0].Columns();
    BoxFilter(channels_[0].RebuiltCopy(), rows, columns, filterIndex);
    for (int c = 1; c < 3; ++c) {
        channels_[c].SetPlaneSize(rows, columns);
        BoxFilter(channels_[c].RebuiltCopy(), rows, columns, filterIndex);
    }
    if (colorSpace_ == kColorSpaceYCbCr420) {
        channels_[1].SetPlaneSize(rows / 2, columns / 2);
        channels_[2].SetPlaneSize(rows / 2, columns / 2);
    }
}

void ImageCompressor::SumCodedBytes() {
    codedBytes_ = channels_[0].CodedBytes() + channels_[1].CodedBytes() + channels_[2].CodedBytes();
    // A 64-bit product: three times a large image's pixel count overflows 32 bits.
    const std::uint64_t samples = UINT64_C(3) * channels_[0].Rows() * channels_[0].Columns();
    compressionRate_ = samples == 0 ? 0.0 : codedBytes_ / static_cast<double>(samples);
}

void ImageCompressor::UpdateStatistics() {
    channels_[0].ComputeCodedSize(0);
    channels_[1].ComputeCodedSize(colorSpace_);
    channels_[2].ComputeCodedSize(colorSpace_);
    SumCodedBytes();
}

void ImageCompressor::MeasureQuality() {
    reconstruction_.Allocate(sourceImage_.GetHeight(), sourceImage_.GetWidth());
    reconstruction_.CopyPlanes(1, channels_[0].RebuiltCopy(), channels_[1].RebuiltCopy(),
                               channels_[2].RebuiltCopy());
    sourceImage_.ComputePsnr(reconstruction_);
}

void ImageCompressor::ShowReconstruction() {
    BuildDecodedDisplays(static_cast<std::uint32_t>(sourceImage_.GetHeight()),
                         static_cast<std::uint32_t>(sourceImage_.GetWidth()), channels_[0].RebuiltCopy(),
                         channels_[1].RebuiltCopy(), channels_[2].RebuiltCopy());
}

void ImageCompressor::ShowMasks() {
    const int mode = colorSpace_ == kColorSpaceYCbCr444 ? 0 : colorSpace_ == kColorSpaceRgb ? 1 : 2;
    BuildMaskDisplays(sourceImage_, mode, channels_[0].Mask(), channels_[1].Mask(), channels_[2].Mask());
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

int ImageCompressor::GetNeuronWins(int channel, int i) const {
    if (channel < 0 || i < 0 || static_cast<std::uint32_t>(i) >= channels_[channel].NeuronCount()) return 0;
    return static_cast<int>(channels_[channel].Wins(static_cast<std::uint32_t>(i)));
}

int ImageCompressor::GetNeuronTrainings(int channel, int i) const {
    if (channel < 0 || i < 0 || static_cast<std::uint32_t>(i) >= channels_[channel].NeuronCount()) return 0;
    return static_cast<int>(channels_[channel].Trainings(static_cast<std::uint32_t>(i)));
}

}  // namespace pictora
