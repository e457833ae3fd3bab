// The logo's random sequence and the placement of a logo frame.
// Needs no Win32, so it also builds natively.
#pragma once
#include <cstdint>

// Restarts the sequence; every run seeds it with 1, so the logo places repeat.
void SeedLogoRandom(uint32_t seed);
// The next value of the sequence, 0 to 32767.
int32_t NextLogoRandom();

struct LogoPlace {
    int32_t x;
    int32_t y;
};

// Where the next frame puts the logo's top-left corner inside a client area of
// `right` × `bottom` (both above 0): two draws, x first, each pulled back so the
// logo ends at the edge, and never left of or above the corner.
LogoPlace NextLogoPlace(int32_t right, int32_t bottom, int32_t logoWidth, int32_t logoHeight);
