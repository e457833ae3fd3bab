// The logo's random sequence, the placement of a logo frame and its drawn size.
#include "saver/random.h"

namespace {

uint32_t RandomState = 1;

constexpr uint32_t RandomMultiplier = 214013;
constexpr uint32_t RandomIncrement = 2531011;

// Pulls `place` back so that [place, place + size) ends inside [low, high), and
// never lets it start before `low`.
int32_t KeepInside(int32_t place, int32_t low, int32_t high, int32_t size)
{
    if (place + size > high)
        place = high - size;
    if (place < low)
        place = low;
    return place;
}

// How far a point lies outside a rectangle, along both axes; 0 inside it.
int64_t DistanceOutside(LogoPlace point, const LogoArea& rect)
{
    int64_t dx = point.x < rect.left ? rect.left - point.x
                 : point.x >= rect.right ? point.x - rect.right + 1 : 0;
    int64_t dy = point.y < rect.top ? rect.top - point.y
                 : point.y >= rect.bottom ? point.y - rect.bottom + 1 : 0;
    return dx + dy;
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
    return {KeepInside(x, 0, right, logoWidth), KeepInside(y, 0, bottom, logoHeight)};
}

LogoPlace PlaceOnOneMonitor(LogoPlace chosen, LogoSize size, const LogoArea* monitors,
                            int32_t count)
{
    if (count <= 0)
        return chosen;
    const LogoArea* nearest = &monitors[0];
    for (int32_t i = 1; i < count; ++i)
        if (DistanceOutside(chosen, monitors[i]) < DistanceOutside(chosen, *nearest))
            nearest = &monitors[i];
    return {KeepInside(chosen.x, nearest->left, nearest->right, size.width),
            KeepInside(chosen.y, nearest->top, nearest->bottom, size.height)};
}

int32_t ScaledLogoLength(int32_t length, int32_t numerator, int32_t denominator)
{
    if (length <= 0)
        return 0;
    if (numerator <= 0 || denominator <= 0)
        return length;      // no scale to apply
    int64_t scaled = static_cast<int64_t>(length) * numerator / denominator;
    if (scaled < 1)
        return 1;
    return scaled > INT32_MAX ? INT32_MAX : static_cast<int32_t>(scaled);
}

