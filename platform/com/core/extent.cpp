#include "platform/com/core/extent.h"

#include "platform/core/variant.h"

namespace platform::com {

namespace {
constexpr double kHimetricPerInch = 2540.0;
constexpr double kPixelsPerInch = 96.0;
} // namespace

std::int32_t pixelsToHimetric(int pixels)
{
    return platform::roundToInt32(pixels * kHimetricPerInch / kPixelsPerInch);
}

int himetricToPixels(std::int32_t himetric)
{
    return platform::roundToInt32(himetric * kPixelsPerInch / kHimetricPerInch);
}

} // namespace platform::com
