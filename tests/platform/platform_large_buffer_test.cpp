// Word buffers taken from the system in huge pages: every word usable, the
// mapping handed on by moves and given back once.
#include <gtest/gtest.h>

#include <cstdint>
#include <utility>

#include "platform/LargeBuffer.h"

namespace ardvel {
namespace {

TEST(LargeBuffer, EveryWordIsUsableAndMovesHandTheMappingOn)
{
    // Just over one huge page of words, so the rounding up is needed.
    constexpr std::size_t kWords = (std::size_t{2} << 20) / sizeof(std::uint64_t) + 3;
    LargeBuffer buffer(kWords);
    ASSERT_NE(buffer.data(), nullptr);
    EXPECT_EQ(buffer.size(), kWords);
    for (std::size_t i = 0; i < kWords; ++i) buffer.data()[i] = i * 3;
    std::uint64_t* const words = buffer.data();

    LargeBuffer moved(std::move(buffer));
    EXPECT_EQ(moved.data(), words);
    EXPECT_EQ(buffer.data(), nullptr);
    EXPECT_EQ(buffer.size(), 0u);
    LargeBuffer assigned(16);
    assigned = std::move(moved);
    EXPECT_EQ(assigned.data(), words);
    EXPECT_EQ(assigned.data()[kWords - 1], (kWords - 1) * 3);
    EXPECT_EQ(assigned.data()[0], 0u);

    EXPECT_EQ(LargeBuffer(0).data(), nullptr);
}

}  // namespace
}  // namespace ardvel
