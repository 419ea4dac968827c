#include "DelayLine.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

// Runs `n` accesses of 1.0 through the line, as the signal path does.
void Fill(DelayLine& line, std::uint32_t n) {
    for (std::uint32_t i = 0; i < n; ++i) {
        *line.Head() = 1.0;
        line.Advance(1);
    }
}

bool AllZero(const DelayLine& line) {
    const std::vector<double> samples = line.Samples();
    return std::all_of(samples.begin(), samples.end(), [](double s) { return s == 0.0; });
}

} // namespace

// A line keeps its memory across sizes: whatever the signal wrote, in the part now in use or in the
// part beyond it, must never come back after a Resize.
TEST(DelayLine, EveryResizeStartsFromSilenceWhateverTheSignalLeft) {
    DelayLine line;
    line.Resize(1000);
    Fill(line, 1000);
    line.Resize(100);
    EXPECT_TRUE(AllZero(line));
    EXPECT_EQ(line.Size(), 100u);
    line.Resize(1000); // no signal in between: the tail beyond 100 still holds the old samples
    EXPECT_TRUE(AllZero(line));

    Fill(line, 50);
    line.Resize(1000);
    EXPECT_TRUE(AllZero(line));
    EXPECT_EQ(line.Position(), 0u);

    Fill(line, 1000);
    DelayLine copy = line;
    line.Resize(0);
    EXPECT_EQ(line.Size(), 1u);
    EXPECT_TRUE(AllZero(line));
    copy.Resize(2000); // beyond its memory: a new ring
    EXPECT_TRUE(AllZero(copy));
}
