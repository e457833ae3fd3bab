// The logo's random sequence, the placement of a logo frame and its drawn size.
// Needs no Win32, so it also builds natively.
#pragma once
#include <cstdint>

#include "saver/logo_size.h"

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

// A rectangle of the client area, such as the part of one monitor inside it;
// right and bottom lie just outside.
struct LogoArea {
    int32_t left;
    int32_t top;
    int32_t right;
    int32_t bottom;
};

// Where a frame of `size` is drawn when the sequence chose `chosen`: wholly on
// one of the `count` monitors (the one holding the chosen corner, else the
// nearest), pulled back inside it as the whole area pulls a place back. With no
// monitors, `chosen` itself.
LogoPlace PlaceOnOneMonitor(LogoPlace chosen, LogoSize size, const LogoArea* monitors,
                            int32_t count);

// A length of the bitmap drawn at numerator / denominator of its size: at least
// 1 pixel when the bitmap has any length, 0 when it has none; a scale that is
// not above 0 leaves the length as it is.
int32_t ScaledLogoLength(int32_t length, int32_t numerator, int32_t denominator);
