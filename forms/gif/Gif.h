#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <vector>

// Decoding and timing of GIF87a/GIF89a animations for the image control.
namespace gif {

class DecodeError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

// One frame as a viewer shows it: the whole logical screen after composition.
struct Frame {
    // width * height pixels, rows top-down, 0xAARRGGBB with alpha 0 or 255;
    // transparent pixels are 0, so the buffer is already premultiplied.
    std::vector<std::uint32_t> pixels;
    // How long the frame stays up; as in browsers, delays under 20 ms play as 100 ms.
    int delayMs = 0;
};

struct Animation {
    int width = 0;
    int height = 0;
    // How many times the frames play; 0 = forever. A file without a NETSCAPE2.0
    // block plays once; a block value n > 0 means n repeats after the first play.
    int loopCount = 0;
    std::vector<Frame> frames;
};

// Throws DecodeError for a file that is cut short, malformed or too large to decode
// safely; image data that merely stops early leaves the rest of that image unpainted.
Animation decode(const std::uint8_t* data, std::size_t size);

// Answers which frame is on screen a given time after playback started.
class Player {
public:
    struct State {
        std::size_t frame = 0;
        std::int64_t msUntilChange = -1; // -1 once the animation has stopped
    };

    explicit Player(const Animation& animation);
    // loopCount as in Animation: the number of plays, 0 = forever.
    Player(const std::vector<int>& delaysMs, int loopCount);

    State at(std::int64_t elapsedMs) const;

private:
    std::vector<std::int64_t> frameEnds_; // end of each frame within one play
    int loopCount_;
};

} // namespace gif
