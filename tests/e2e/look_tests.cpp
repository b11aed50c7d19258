// What the window looks like over time: the banner's animation as the screen
// shows it, and the icon the program file and its window carry.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

#include "Harness.h"
#include "forms/gif/Gif.h"

namespace e2e {
namespace {

RECT screenRectOf(HWND hwnd) {
    const SIZE s = clientSize(hwnd);
    const POINT p = screenPoint(hwnd, 0, 0);
    return {p.x, p.y, p.x + s.cx, p.y + s.cy};
}

TEST(Look, TheBannerPlaysItsTwelveFramesInTurnForever) {
    const auto gifBytes = ProgramFile().resource(MAKEINTRESOURCEA(10), "BANNER", kChinesePrc);
    ASSERT_FALSE(gifBytes.empty());
    const gif::Animation banner = gif::decode(gifBytes.data(), gifBytes.size());
    ASSERT_EQ(banner.frames.size(), 12u);

    App app;
    SetCursorPos(0, 0);
    const RECT area = screenRectOf(app.image());
    ASSERT_EQ(area.right - area.left, banner.width);
    ASSERT_EQ(area.bottom - area.top, banner.height);

    auto frameShown = [&](const std::vector<std::uint32_t>& pixels) -> int {
        for (std::size_t i = 0; i < banner.frames.size(); ++i) {
            const auto& frame = banner.frames[i].pixels;
            if (std::equal(frame.begin(), frame.end(), pixels.begin(),
                           [](std::uint32_t f, std::uint32_t s) { return (f & 0xFFFFFF) == s; }))
                return static_cast<int>(i);
        }
        return -1;  // caught mid-paint
    };

    // Watch for 5.2 s: every frame at least twice, and two whole cycles' starts.
    struct Sample {
        double ms;
        int frame;
    };
    std::vector<Sample> samples;
    const auto start = std::chrono::steady_clock::now();
    for (;;) {
        const double ms = std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start).count();
        if (ms > 5200) break;
        const int frame = frameShown(capture(area));
        if (frame >= 0) samples.push_back({ms, frame});
        Sleep(5);
    }
    ASSERT_GT(samples.size(), 100u);

    // Collapse the samples into runs of one frame.
    struct Run {
        int frame;
        double first, last;
    };
    std::vector<Run> runs;
    for (const Sample& s : samples) {
        if (runs.empty() || runs.back().frame != s.frame) runs.push_back({s.frame, s.ms, s.ms});
        runs.back().last = s.ms;
    }
    ASSERT_GE(runs.size(), 14u);
    for (std::size_t i = 1; i < runs.size(); ++i)
        EXPECT_EQ(runs[i].frame, (runs[i - 1].frame + 1) % 12) << "frame order at run " << i;
    // Whole runs (not the first or last, which the watch cuts) last about 200 ms each.
    for (std::size_t i = 1; i + 1 < runs.size(); ++i) {
        const double shown = runs[i + 1].first - runs[i].first;
        EXPECT_NEAR(shown, 200, 60) << "frame " << runs[i].frame + 1 << " at run " << i;
    }
    // A cycle: from one start of frame 1 to the next.
    std::vector<double> cycleStarts;
    for (std::size_t i = 1; i < runs.size(); ++i)
        if (runs[i].frame == 0) cycleStarts.push_back(runs[i].first);
    ASSERT_GE(cycleStarts.size(), 2u);
    EXPECT_NEAR(cycleStarts[1] - cycleStarts[0], 2400, 150);
}

#pragma pack(push, 2)
struct GroupIconEntry {
    BYTE width, height, colors, reserved;
    WORD planes, bitCount;
    DWORD bytes;
    WORD id;
};
#pragma pack(pop)

TEST(Look, TheProgramFileCarriesOneIconOfEightImages) {
    ProgramFile file;
    const auto group = file.resource(RT_GROUP_ICON, "MAINICON", kChinesePrc);
    ASSERT_GE(group.size(), 6u) << "an icon group MAINICON in Chinese (PRC)";
    const WORD count = *reinterpret_cast<const WORD*>(&group[4]);
    ASSERT_EQ(count, 8);
    ASSERT_EQ(group.size(), 6 + count * sizeof(GroupIconEntry));
    const int sizes[] = {16, 24, 32, 48, 64, 72, 96, 128};
    for (int i = 0; i < count; ++i) {
        GroupIconEntry e;
        memcpy(&e, &group[6 + i * sizeof e], sizeof e);
        EXPECT_EQ(e.width, sizes[i]);
        EXPECT_EQ(e.height, sizes[i]);
        EXPECT_EQ(e.bitCount, 32);
        const auto image = file.resource(RT_ICON, MAKEINTRESOURCEA(e.id), kChinesePrc);
        ASSERT_EQ(image.size(), e.bytes) << "image " << i;
        BITMAPINFOHEADER header;
        memcpy(&header, image.data(), sizeof header);
        EXPECT_EQ(header.biBitCount, 32) << "image " << i;
        EXPECT_EQ(header.biWidth, sizes[i]) << "image " << i;
    }
    // Exactly one icon group in the file: the one the shell shows.
    int groups = 0;
    EnumResourceNamesA(
        file.module(), RT_GROUP_ICON, [](HMODULE, LPCSTR, LPSTR, LONG_PTR n) { return ++*reinterpret_cast<int*>(n), TRUE; },
        reinterpret_cast<LONG_PTR>(&groups));
    EXPECT_EQ(groups, 1);
}

TEST(Look, TheCaptionBarShowsTheProgramsIcon) {
    ProgramFile file;
    HICON small = static_cast<HICON>(LoadImageA(file.module(), "MAINICON", IMAGE_ICON, 16, 16, 0));
    ASSERT_NE(small, nullptr);
    ICONINFO info{};
    GetIconInfo(small, &info);
    // The 16-pixel image's own colours and alpha.
    std::vector<std::uint32_t> icon(16 * 16);
    BITMAPINFO bi{};
    bi.bmiHeader = {sizeof(BITMAPINFOHEADER), 16, -16, 1, 32, BI_RGB, 0, 0, 0, 0, 0};
    HDC dc = GetDC(nullptr);
    GetDIBits(dc, info.hbmColor, 0, 16, icon.data(), &bi, DIB_RGB_COLORS);
    ReleaseDC(nullptr, dc);
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    DestroyIcon(small);

    App app;
    SetCursorPos(0, 0);
    const RECT frame = windowRect(app.form());
    const RECT caption{frame.left, frame.top, frame.left + 32, frame.top + 32};
    const auto shown = capture(caption);
    // Look for the icon's opaque pixels anywhere in the corner of the caption bar.
    bool found = false;
    for (int dy = 0; dy <= 16 && !found; ++dy)
        for (int dx = 0; dx <= 16 && !found; ++dx) {
            int opaque = 0, same = 0;
            for (int y = 0; y < 16; ++y)
                for (int x = 0; x < 16; ++x) {
                    const std::uint32_t p = icon[y * 16 + x];
                    if ((p >> 24) != 0xFF) continue;
                    ++opaque;
                    same += (p & 0xFFFFFF) == shown[(y + dy) * 32 + x + dx];
                }
            found = opaque > 64 && same == opaque;
        }
    EXPECT_TRUE(found) << "the 16-pixel icon image stands in the caption bar";
}

}  // namespace
}  // namespace e2e
