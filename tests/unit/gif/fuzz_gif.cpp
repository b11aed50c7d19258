// libFuzzer entry: any bytes either decode or raise DecodeError; anything else, a
// sanitizer report or a crash, is a bug.
#include "forms/gif/Gif.h"

#include <cstddef>
#include <cstdint>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    try {
        const gif::Animation animation = gif::decode(data, size);
        const gif::Player player(animation);
        player.at(123456);
    } catch (const gif::DecodeError&) {
    }
    return 0;
}
