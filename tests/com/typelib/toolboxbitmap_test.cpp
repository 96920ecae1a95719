#include "platform/com/typelib/toolboxbitmap.h"

#include <QImage>
#include <gtest/gtest.h>

using namespace platform::com;

namespace {
constexpr const char *rows[] = {"rg.", "..b"};
constexpr std::pair<char, std::uint32_t> palette[] = {
    {'.', 0xC0C0C0}, {'r', 0xFF0000}, {'g', 0x00FF00}, {'b', 0x0000FF}};

// Bit depth and colour type from the PNG header.
std::pair<int, int> pngFormat(const QByteArray &png)
{
    return {int(quint8(png.at(24))), int(quint8(png.at(25)))};
}
} // namespace

TEST(ToolboxBitmap, PixelsFollowThePalette)
{
    const QImage image = toolboxImage({3, 2, 24, rows, palette});
    ASSERT_EQ(image.size(), QSize(3, 2));
    EXPECT_EQ(image.pixel(0, 0), qRgb(255, 0, 0));
    EXPECT_EQ(image.pixel(1, 0), qRgb(0, 255, 0));
    EXPECT_EQ(image.pixel(2, 1), qRgb(0, 0, 255));
    EXPECT_EQ(image.pixel(0, 1), qRgb(192, 192, 192));
}

TEST(ToolboxBitmap, PngKeepsTheColourDepth)
{
    const QByteArray rgb = toolboxPng({3, 2, 24, rows, palette});
    EXPECT_EQ(pngFormat(rgb), std::make_pair(8, 2)) << "8 bits per channel, truecolour";
    const QByteArray indexed = toolboxPng({3, 2, 4, rows, palette});
    EXPECT_EQ(pngFormat(indexed).second, 3) << "palette";
    const QImage loaded = QImage::fromData(indexed);
    EXPECT_LE(loaded.colorCount(), 16);
    EXPECT_EQ(loaded.pixel(2, 1), qRgb(0, 0, 255));
}
