#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <span>
#include <string>
#include <vector>

#include "display/DisplaySet.h"
#include "image/ImageBuffer.h"
#include "pipeline/TrainingJob.h"
#include "quantizer/KohonenNetwork.h"
#include "support/Status.h"

namespace pictora {

// The coding pipeline: owns the source image, its reconstruction and one
// codebook network per colour channel, runs training jobs over the three
// channels and draws the results into its display bitmaps.
class ImageCompressor : public DisplaySet {
public:
    ImageCompressor();
    ~ImageCompressor();
    ImageCompressor(const ImageCompressor&) = delete;
    ImageCompressor& operator=(const ImageCompressor&) = delete;

    // Reads an 8-bit RGB PNG. On failure the image, networks and displays
    // loaded before stay as they were.
    Status LoadImage(const std::string& path);
    // Rebinds the channels to the RGB planes and empties their work arrays.
    void PrepareNewRun();

    // One training job: trains and codes every channel with passes left,
    // rebuilds, converts back to RGB, filters, measures and draws. A channel
    // that cannot be coded (a block larger than its plane, say) is left out
    // and named in the returned error; the rest of the job still runs.
    Status TrainAndCode(const TrainingJob& job);

    // Progress of long passes: channel, phase, block rows done, rows.
    using Progress = std::function<void(int channel, const char* phase, std::uint32_t rowsDone, std::uint32_t rows)>;
    void SetProgress(const Progress& progress);

    // Whether the channels search with the plain ordered scan (one neuron
    // after another, one thread) instead of the indexed vector search. The
    // results are the same bit for bit; only the time differs.
    void SetReferenceSearch(bool reference);

    // The coded image (.mqc) of the current networks: three channel sections,
    // the colour space in the top byte of the first word.
    Status EncodeCodedImage(std::vector<std::uint8_t>& bytes) const;
    Status WriteCodedFile(const std::string& path) const;
    // The three codebooks (.cod), each section carrying the colour space.
    Status WriteCodebookFile(const std::string& path) const;

    // Reads a coded image and shows it without training. The file is checked
    // whole first: a refused file leaves networks, colour space and displays
    // as they were. Statistics and quality figures are not recomputed.
    Status DecodeCodedImage(std::span<const std::uint8_t> bytes);
    Status DecodeCodedFile(const std::string& path);
    // Codes the loaded image with the first three codebooks of one file, or
    // with section positions[c] (1-based) of paths[c] for each channel c, then
    // rebuilds and measures it. Refused files change nothing.
    Status ApplyCodebookFile(const std::string& path);
    Status ApplyCodebookFiles(const std::array<std::string, 3>& paths, const std::array<int, 3>& positions);

    // Writes the last reconstruction, in RGB and filtered if the last job
    // filtered, as an 8-bit RGB PNG of channel 0's size.
    Status SaveReconstructionPng(const std::string& path) const;

    void UpdateStatistics();
    void MeasureQuality();
    void ShowReconstruction();
    void ShowMasks();

    // Result accessors; channel -1 stands for the whole image.
    double GetCompressionRate(int channel) const;
    int GetNeuronCount(int channel) const;
    int GetPrunedCount(int channel) const;
    int GetNeuronWins(int channel, int i) const;
    int GetNeuronTrainings(int channel, int i) const;
    double GetPsnr(int index) const { return sourceImage_.GetPsnr(index); }
    bool IsImageLoaded() const { return imageLoaded_; }
    int GetImageHeight() const { return sourceImage_.GetHeight(); }
    int GetImageWidth() const { return sourceImage_.GetWidth(); }
    std::shared_ptr<const DisplayBitmap> GetBitmap(int slot) const { return GetDisplay(slot); }

    int ColorSpace() const { return colorSpace_; }
    std::uint32_t CodedBytes() const { return codedBytes_; }
    KohonenNetwork& Channel(int c) { return channels_[c]; }
    const KohonenNetwork& Channel(int c) const { return channels_[c]; }
    const ImageBuffer& SourceImage() const { return sourceImage_; }
    const ImageBuffer& Reconstruction() const { return reconstruction_; }

private:
    using Channels = std::array<KohonenNetwork, 3>;

    void BindRgbSources();
    void BindRgbSources(Channels& channels);
    static void BindSourcesFor(Channels& channels, const ImageBuffer& image, int colorSpace);
    void AdoptChannels(Channels& channels, int colorSpace);
    void InstallProgress(KohonenNetwork& channel, int c) const;
    Status ApplyLoadedCodebooks(Channels& loaded, int colorSpace);
    void ConvertDecodedToRgb();
    bool ChannelsHoldWork() const;
    void ConvertToRgb(int colorSpace);
    void ApplyFilter(int filterIndex);
    void SumCodedBytes();

    int colorSpace_ = kColorSpaceRgb;
    std::uint32_t codedBytes_ = 0;
    double compressionRate_ = 0.0;
    bool imageLoaded_ = false;
    ImageBuffer sourceImage_;
    ImageBuffer reconstruction_;
    Channels channels_;
    Progress progress_;
    bool referenceSearch_ = false;
};

}  // namespace pictora
