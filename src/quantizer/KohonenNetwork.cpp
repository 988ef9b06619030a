#include "quantizer/KohonenNetwork.h"

#include <string>

namespace pictora {

void KohonenNetwork::Configure(std::uint32_t rows, std::uint32_t columns, const Plane* source) {
    ReleaseWork();
    rows_ = rows;
    columns_ = columns;
    SetSource(source);
}

void KohonenNetwork::SetSource(const Plane* source) {
    if (source != nullptr) source_ = source;
}

void KohonenNetwork::SetPlaneSize(std::uint32_t rows, std::uint32_t columns) {
    rows_ = rows;
    columns_ = columns;
}

void KohonenNetwork::Reset(std::uint32_t dimension) {
    ResetWithoutWork(dimension);
    const std::uint64_t capacity = dimension == 0 ? 0 : static_cast<std::uint64_t>(rows_) * columns_ / dimension;
    codes_.assign(capacity, 0);
    block_.Resize(dimension);
}

void KohonenNetwork::ResetWithoutWork(std::uint32_t dimension) {
    ReleaseWork();
    dimension_ = dimension;
    neurons_.SetDimension(dimension);
    rebuilt_.Allocate(rows_, columns_);
    maskRows_ = rows_;
    maskColumns_ = columns_;
    originsFramed_ = false;
}

void KohonenNetwork::ReleaseWork() {
    neurons_.Clear();
    block_.Release();
    trained_.clear();
    trained_.shrink_to_fit();
    codes_.clear();
    codes_.shrink_to_fit();
    rebuilt_.Release();
    maskRows_ = 0;
    maskColumns_ = 0;
    originsFramed_ = false;
}

void KohonenNetwork::RefreshPixels() {
    for (std::uint32_t i = 0; i < neurons_.Count(); ++i) neurons_.At(i).WeightsToPixels();
}

void KohonenNetwork::ReportRow(const char* phase, std::uint32_t rowEnd, std::uint32_t row) const {
    if (progress_) progress_(phase, row + BlockSide(dimension_), rowEnd);
}

Status KohonenNetwork::CheckReady() const {
    const std::uint32_t side = BlockSide(dimension_);
    if (dimension_ == 0 || side * side != dimension_)
        return Status::Error(ErrorKind::InvalidSetting,
                             "block dimension " + std::to_string(dimension_) + " is not the square of a side of at least 1");
    if (block_.Dimension() != dimension_ || rebuilt_.Height() < rows_ || rebuilt_.Width() < columns_)
        return Status::Error(ErrorKind::InvalidSetting, "the channel has not been reset for coding");
    if (rows_ > kMaxSide || columns_ > kMaxSide)
        return Status::Error(ErrorKind::UnsupportedImage, "plane of " + std::to_string(columns_) + " x " +
                                                              std::to_string(rows_) + " pixels is larger than 65535 on a side");
    if (rows_ < side || columns_ < side)
        return Status::Error(ErrorKind::BlockTooLarge, "plane of " + std::to_string(columns_) + " x " +
                                                           std::to_string(rows_) + " pixels is smaller than one block of " + std::to_string(side) + " x " +
                             std::to_string(side));
    if (source_ == nullptr || source_->Height() < rows_ || source_->Width() < columns_)
        return Status::Error(ErrorKind::InvalidSetting, "the channel has no source plane of its size");
    return Status::Ok();
}

}  // namespace pictora
