// The logo's drawn size on a screen of a given DPI.
// Needs no Win32, so it also builds natively.
#pragma once
#include <cstdint>

// The DPI of a screen at 100 %, where the logo is drawn at its bitmap's size.
constexpr uint32_t LogoUnscaledDpi = 96;

struct LogoSize {
    int32_t width;
    int32_t height;
};

// The bitmap's `width` × `height` scaled by `dpi` / 96 and rounded to the
// nearest pixel (halves up), so the logo looks as large on a scaled screen as at
// 100 %. A `dpi` of 0 (not known) keeps the bitmap's size; a negative side is 0.
LogoSize LogoSizeForDpi(int32_t width, int32_t height, uint32_t dpi);
