#include "forms/gif/Gif.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

namespace {

struct Moment {
    std::int64_t elapsedMs;
    std::size_t frame;
    std::int64_t msUntilChange;
};

void expectMoments(const gif::Player& player, const std::vector<Moment>& moments) {
    for (const Moment& m : moments) {
        SCOPED_TRACE("at " + std::to_string(m.elapsedMs) + " ms");
        const gif::Player::State state = player.at(m.elapsedMs);
        EXPECT_EQ(state.frame, m.frame);
        EXPECT_EQ(state.msUntilChange, m.msUntilChange);
    }
}

TEST(GifPlayer, CyclesForeverWithoutALoopCount) {
    const gif::Player player({100, 200, 50}, 0);
    expectMoments(player, {
                              {-5, 0, 100},
                              {0, 0, 100},
                              {99, 0, 1},
                              {100, 1, 200},
                              {349, 2, 1},
                              {350, 0, 100},
                              {350 * 1000 + 120, 1, 180},
                              {350LL * 10'000'000'000LL + 300, 2, 50},
                          });
}

TEST(GifPlayer, StopsOnTheLastFrameAfterItsPlays) {
    const gif::Player player({100, 200, 50}, 2);
    expectMoments(player, {
                              {350, 0, 100},
                              {699, 2, 1},
                              {700, 2, -1},
                              {1'000'000'000, 2, -1},
                          });
}

TEST(GifPlayer, TakesDelaysAndPlaysFromTheAnimation) {
    gif::Animation animation;
    animation.loopCount = 1;
    animation.frames = {gif::Frame{{}, 40}, gif::Frame{{}, 60}};
    expectMoments(gif::Player(animation), {{39, 0, 1}, {40, 1, 60}, {100, 1, -1}});
}

TEST(GifPlayer, HasNothingToPlayWithoutFrames) {
    expectMoments(gif::Player({}, 0), {{0, 0, -1}, {500, 0, -1}});
}

} // namespace
