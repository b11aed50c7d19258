#include "forms/gif/Gif.h"

#include <algorithm>

namespace gif {
namespace {

std::vector<int> delaysOf(const Animation& animation) {
    std::vector<int> delays;
    delays.reserve(animation.frames.size());
    for (const Frame& frame : animation.frames) delays.push_back(frame.delayMs);
    return delays;
}

} // namespace

Player::Player(const Animation& animation) : Player(delaysOf(animation), animation.loopCount) {}

Player::Player(const std::vector<int>& delaysMs, int loopCount) : loopCount_(std::max(loopCount, 0)) {
    std::int64_t end = 0;
    frameEnds_.reserve(delaysMs.size());
    for (int delay : delaysMs) {
        // A frame of no duration would stall the clock arithmetic below.
        end += std::max(delay, 1);
        frameEnds_.push_back(end);
    }
}

Player::State Player::at(std::int64_t elapsedMs) const {
    if (frameEnds_.empty()) return State{};
    const std::int64_t playMs = frameEnds_.back();
    const std::int64_t t = std::max<std::int64_t>(elapsedMs, 0);
    if (loopCount_ > 0 && t / playMs >= loopCount_) return State{frameEnds_.size() - 1, -1};
    const std::int64_t inPlay = t % playMs;
    const auto end = std::upper_bound(frameEnds_.begin(), frameEnds_.end(), inPlay);
    return State{static_cast<std::size_t>(end - frameEnds_.begin()), *end - inPlay};
}

} // namespace gif
