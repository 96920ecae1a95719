#pragma once

#include <cstdint>

namespace platform::com {

// A control's saved extent is kept in HIMETRIC (1/100 mm); the screen
// counts 96 pixels to the inch. Both round halves to the even neighbour.
std::int32_t pixelsToHimetric(int pixels);
int himetricToPixels(std::int32_t himetric);

} // namespace platform::com
