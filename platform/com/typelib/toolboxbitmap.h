#pragma once

#include "platform/com/typelib/typetable.h"

#include <QByteArray>
#include <QImage>

namespace platform::com {

// The picture a toolbox bitmap describes: RGB for 24 bits per pixel, a
// colour table for fewer. A character missing from the palette is black.
QImage toolboxImage(const ToolboxBitmap &bitmap);
// The picture as a PNG file's bytes: truecolour for 24 bits per pixel, a
// palette of at most 16 colours for 4.
QByteArray toolboxPng(const ToolboxBitmap &bitmap);

} // namespace platform::com
