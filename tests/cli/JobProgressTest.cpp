#include <gtest/gtest.h>

#include "cli/JobProgress.h"

namespace pictora::cli {
namespace {

TEST(JobProgressTest, ShowsJobsElapsedAndTimeLeft) {
    EXPECT_EQ(FormatJobProgress(0, 4, 3.5), "[..............................] 0/4 jobs, 3 s");
    EXPECT_EQ(FormatJobProgress(1, 4, 61.0), "[#######.......................] 1/4 jobs, 1 min 01 s, about 3 min 03 s left");
    EXPECT_EQ(FormatJobProgress(4, 4, 7300.0), "[##############################] 4/4 jobs, 2 h 01 min");
    EXPECT_EQ(FormatJobProgress(0, 1, 0.0), "[..............................] 0/1 job, 0 s");
}

}  // namespace
}  // namespace pictora::cli
