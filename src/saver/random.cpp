// The logo's random sequence and the placement of a logo frame.
#include "saver/random.h"

namespace {

uint32_t RandomState = 1;

constexpr uint32_t RandomMultiplier = 214013;
constexpr uint32_t RandomIncrement = 2531011;

// Pulls `place` back so that [place, place + size) ends inside [0, extent).
int32_t KeepInside(int32_t place, int32_t extent, int32_t size)
{
    if (place + size > extent)
        place = extent - size;
    if (place < 0)
        place = 0;
    return place;
}

} // namespace

void SeedLogoRandom(uint32_t seed)
{
    RandomState = seed;
}

int32_t NextLogoRandom()
{
    RandomState = RandomState * RandomMultiplier + RandomIncrement;
    return static_cast<int32_t>((RandomState >> 16) & 0x7FFF);
}

LogoPlace NextLogoPlace(int32_t right, int32_t bottom, int32_t logoWidth, int32_t logoHeight)
{
    int32_t x = NextLogoRandom() % right;
    int32_t y = NextLogoRandom() % bottom;
    return {KeepInside(x, right, logoWidth), KeepInside(y, bottom, logoHeight)};
}

