#include <gtest/gtest.h>

#include "pipeline/TrainingJob.h"
#include "ui/FormMapping.h"
#include "ui/RunControl.h"

namespace pictora {
namespace {

std::optional<DisplaySlot> Slot(int number) { return static_cast<DisplaySlot>(number); }

TEST(FormMappingTest, ListSelectionsMapToTheValuesOfAStep) {
    EXPECT_EQ(ColorSpaceFromSelection(0), ColorSpace::Rgb);
    EXPECT_EQ(ColorSpaceFromSelection(1), ColorSpace::Rgb);
    EXPECT_EQ(ColorSpaceFromSelection(2), ColorSpace::YCbCr444);
    EXPECT_EQ(ColorSpaceFromSelection(3), ColorSpace::YCbCr420);
    EXPECT_EQ(ColorSpaceFromSelection(-1), ColorSpace::None);
    EXPECT_EQ(LosslessModeFromSelection(-1), LosslessMode::None);
    EXPECT_EQ(LosslessModeFromSelection(1), LosslessMode::Huffman);
    EXPECT_EQ(LosslessModeFromSelection(2), LosslessMode::Arithmetic);
    EXPECT_EQ(LosslessModeFromSelection(3), LosslessMode::Contextual);
    EXPECT_EQ(FilterFromSelections(0, 2), LowPassFilter::None);
    EXPECT_EQ(FilterFromSelections(1, 2), LowPassFilter::Box7);
    EXPECT_EQ(FilterFromSelections(1, -1), LowPassFilter::None);
    EXPECT_EQ(FilterFromSelections(-1, -1), LowPassFilter::None);
    EXPECT_EQ(BlockDimensionFromSelection(6), 64u);
    EXPECT_EQ(BlockDimensionFromSelection(0), 4u);
    EXPECT_EQ(BlockDimensionFromSelection(10), 144u);
    EXPECT_EQ(BlockDimensionFromSelection(-1), 1u);
}

TEST(FormMappingTest, SourceTabsShowTheSlotsOfTheirColourSpace) {
    // Rows: tabs RGB, R/Y, G/Cb, B/Cr; columns: "Espaço de Cores", RGB, 4:4:4, 4:2:0.
    const int expected[4][4] = {{11, 11, 11, 11}, {8, 8, 12, 12}, {9, 9, 13, 15}, {10, 10, 14, 16}};
    for (int tab = 0; tab < 4; ++tab)
        for (int colour = 0; colour < 4; ++colour)
            EXPECT_EQ(SourceSlot(tab, colour, false), Slot(expected[tab][colour])) << tab << "," << colour;
    EXPECT_EQ(SourceSlot(2, 3, true), DisplaySlot::Mask2);
    EXPECT_EQ(SourceSlot(0, 3, true), DisplaySlot::SourceColour);
    EXPECT_EQ(SourceSlot(-1, 0, false), std::nullopt);
    EXPECT_EQ(CodedSlot(0), DisplaySlot::DecodedColour);
    EXPECT_EQ(CodedSlot(3), DisplaySlot::DecodedPlane3);
    EXPECT_EQ(CodedSlot(4), std::nullopt);
}

TEST(RunControlTest, FiveStatesFollowTheClicksAndSteps) {
    RunFlags flags;  // Fresh
    EXPECT_EQ(DecideClick(flags), ClickAction::NewRun);  // -> Running
    EXPECT_FALSE(flags.awaitingStart);
    EXPECT_FALSE(flags.needsReset);

    EXPECT_TRUE(DecideContinue(flags, true));               // still Running
    EXPECT_EQ(DecideClick(flags), ClickAction::RequestStop);  // -> Stopping
    EXPECT_EQ(DecideClick(flags), ClickAction::RequestStop);  // a second click changes nothing
    EXPECT_TRUE(flags.stopRequested);
    EXPECT_FALSE(DecideContinue(flags, true));                // -> Paused
    EXPECT_FALSE(flags.stopRequested);
    EXPECT_FALSE(flags.needsReset);
    EXPECT_EQ(DecideClick(flags), ClickAction::Resume);       // -> Running

    EXPECT_FALSE(DecideContinue(flags, false));               // -> Finished
    EXPECT_TRUE(flags.needsReset);
    flags.stepRow = 5;
    EXPECT_EQ(DecideClick(flags), ClickAction::NewRun);
    EXPECT_EQ(flags.stepRow, 1);
}

TEST(RunControlTest, ANewImageMakesTheNextResumeANewRun) {
    RunFlags flags;
    DecideClick(flags);
    DecideClick(flags);                          // stop requested
    DecideContinue(flags, true);                 // paused
    flags.imageReloaded = true;
    EXPECT_EQ(DecideClick(flags), ClickAction::NewRun);
    EXPECT_FALSE(flags.imageReloaded);
}

}  // namespace
}  // namespace pictora
