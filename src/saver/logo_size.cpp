// The logo's drawn size on a screen of a given DPI.
#include "saver/logo_size.h"

namespace {

constexpr uint64_t LargestSide = 0x7FFFFFFF;

int32_t ScaleSide(int32_t side, uint32_t dpi)
{
    if (side <= 0)
        return 0;
    // 64 bits hold any 31-bit side times any 32-bit DPI.
    const uint64_t scaled = (static_cast<uint64_t>(side) * dpi + LogoUnscaledDpi / 2) / LogoUnscaledDpi;
    return static_cast<int32_t>(scaled < LargestSide ? scaled : LargestSide);
}

} // namespace

LogoSize LogoSizeForDpi(int32_t width, int32_t height, uint32_t dpi)
{
    if (dpi == 0)
        dpi = LogoUnscaledDpi;
    return {ScaleSide(width, dpi), ScaleSide(height, dpi)};
}
