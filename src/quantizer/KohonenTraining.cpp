// Training pass of KohonenNetwork: a growing, winner-only competitive scheme.
#include "quantizer/KohonenNetwork.h"
#include "quantizer/NearestNeuron.h"

namespace pictora {

Status KohonenNetwork::TrainingPass(double radius, double alfa, std::uint32_t passes) {
    if (passes == 0) return Status::Ok();
    if (Status ready = CheckReady(); !ready) return ready;

    std::uint32_t count = neuronCount_;
    const double threshold = 1.0 - radius * radius * 0.5;
    const std::uint32_t side = block_.Side();
    const std::uint32_t rowEnd = side * (rows_ / side);
    const std::uint32_t columnEnd = side * (columns_ / side);

    for (std::uint32_t pass = 0; pass < passes; ++pass) {
        for (std::uint32_t row = 0; row < rowEnd; row += side) {
            for (std::uint32_t column = 0; column < columnEnd; column += side) {
                block_.Gather(*source_, row, column);
                const std::int64_t winner =
                    count == 0 ? -1 : FindNearestNeuron(neurons_, count, block_.Values(), threshold);
                if (winner >= 0) {
                    neurons_.At(static_cast<std::uint32_t>(winner)).MoveToward(block_.Values(), alfa);
                } else {
                    neurons_.Append(block_.Values(), static_cast<std::uint16_t>(column),
                                    static_cast<std::uint16_t>(row));
                    ++count;
                }
            }
            ReportRow("training", rowEnd, row);
        }
    }
    neuronCount_ = count;
    return Status::Ok();
}

}  // namespace pictora
