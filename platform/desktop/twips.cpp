#include "platform/desktop/twips.h"

#include <cmath>

namespace platform {

int twipsToPixels(int twips)
{
    return int(std::nearbyint(twips / 15.0));
}

QRect twipsToPixels(const QRect &twips)
{
    return QRect(twipsToPixels(twips.left()), twipsToPixels(twips.top()), twipsToPixels(twips.width()),
                 twipsToPixels(twips.height()));
}

QSize twipsToPixels(const QSize &twips)
{
    return QSize(twipsToPixels(twips.width()), twipsToPixels(twips.height()));
}

} // namespace platform
