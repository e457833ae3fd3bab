// The rectangle a saver window covers.
#include "host/screen_area.h"

ScreenArea VirtualScreenArea(int32_t left, int32_t top, int32_t width, int32_t height)
{
    if (width <= 0 || height <= 0)
        return {left, top, left, top};
    return {left, top, left + width, top + height};
}
