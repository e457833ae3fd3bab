// The rectangle a saver window covers, from the virtual screen's metrics.
// Needs no Win32, so it also builds natively.
#pragma once
#include <cstdint>

struct ScreenArea {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// The virtual screen whose top-left corner is (`left`, `top`), which is
// negative when a monitor lies left of or above the primary one, and whose
// size is `width` × `height`; a side that is not above 0 (the metric could not
// be read) gives an empty rectangle at the corner.
ScreenArea VirtualScreenArea(int32_t left, int32_t top, int32_t width, int32_t height);
