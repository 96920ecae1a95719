#pragma once

#include <QRect>
#include <QSize>

// Stored designs give positions and sizes in twips; the screen has 15 twips
// to a pixel. One conversion for every design, so the same twips always land
// on the same pixel.
namespace platform {

// To the nearest pixel (halves to even, though a whole number of twips is
// never halfway).
int twipsToPixels(int twips);
// Each of left, top, width and height on its own.
QRect twipsToPixels(const QRect &twips);
QSize twipsToPixels(const QSize &twips);

} // namespace platform
