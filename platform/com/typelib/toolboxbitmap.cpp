#include "platform/com/typelib/toolboxbitmap.h"

#include <QBuffer>

namespace platform::com {

namespace {

QRgb colourOf(const ToolboxBitmap &bitmap, char c)
{
    for (const auto &[key, rgb] : bitmap.palette) {
        if (key == c)
            return qRgb(int(rgb >> 16) & 0xFF, int(rgb >> 8) & 0xFF, int(rgb) & 0xFF);
    }
    return qRgb(0, 0, 0);
}

char pixelAt(const ToolboxBitmap &bitmap, int x, int y)
{
    if (y >= int(bitmap.rows.size()))
        return '\0';
    const char *row = bitmap.rows[std::size_t(y)];
    for (int i = 0; i < x; ++i) {
        if (!row[i])
            return '\0';
    }
    return row[x];
}

} // namespace

QImage toolboxImage(const ToolboxBitmap &bitmap)
{
    if (bitmap.bitsPerPixel >= 24) {
        QImage image(bitmap.width, bitmap.height, QImage::Format_RGB888);
        for (int y = 0; y < bitmap.height; ++y) {
            for (int x = 0; x < bitmap.width; ++x)
                image.setPixel(x, y, colourOf(bitmap, pixelAt(bitmap, x, y)));
        }
        return image;
    }
    QImage image(bitmap.width, bitmap.height, QImage::Format_Indexed8);
    QList<QRgb> table;
    for (const auto &[key, rgb] : bitmap.palette)
        table.append(colourOf(bitmap, key));
    table.append(qRgb(0, 0, 0));
    image.setColorTable(table);
    for (int y = 0; y < bitmap.height; ++y) {
        for (int x = 0; x < bitmap.width; ++x) {
            const char c = pixelAt(bitmap, x, y);
            int index = int(bitmap.palette.size());
            for (std::size_t i = 0; i < bitmap.palette.size(); ++i) {
                if (bitmap.palette[i].first == c)
                    index = int(i);
            }
            image.setPixel(x, y, uint(index));
        }
    }
    return image;
}

QByteArray toolboxPng(const ToolboxBitmap &bitmap)
{
    QByteArray bytes;
    QBuffer buffer(&bytes);
    buffer.open(QIODevice::WriteOnly);
    toolboxImage(bitmap).save(&buffer, "PNG");
    return bytes;
}

} // namespace platform::com
