#include "reference/TestPhoto.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <map>

#include "common/TempFolder.h"
#include "image/PngImage.h"

namespace pictora::testing {

const RgbImage& TestPhoto(const std::string& name) {
    static std::map<std::string, RgbImage> loaded;
    auto [entry, added] = loaded.try_emplace(name);
    if (added) {
        EXPECT_TRUE(ReadPngFile(TestData(name), entry->second)) << name;
    }
    return entry->second;
}

double MeanAbsoluteError(const RgbImage& a, const RgbImage& b) {
    double sum = 0;
    for (std::int32_t i = 0; i < a.height; ++i) {
        for (std::int32_t j = 0; j < a.width; ++j) {
            sum += std::abs(a.red[i][j] - b.red[i][j]) + std::abs(a.green[i][j] - b.green[i][j]) +
                   std::abs(a.blue[i][j] - b.blue[i][j]);
        }
    }
    return sum / (3.0 * a.height * a.width);
}

}  // namespace pictora::testing
