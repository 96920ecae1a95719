#include "update/progressbar/qvprogressbar.h"

#include "platform/settings/memorypropertystore.h"
#include "platform/settings/propertybag.h"
#include "platform/core/runtimeerror.h"
#include "tests/progressbar/referencebar.h"
#include "tests/support/runtimeerrorof.h"

#include <QLabel>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>
#include <utility>

using platform::MemoryPropertyStore;
using platform::PropertyBag;
using platform::Variant;

using testsupport::runtimeErrorOf;

namespace {

const QColor Black(0, 0, 0);
const QColor Cyan(0, 255, 255);
const QColor White(255, 255, 255);

// A shown bar whose client area, inside the single-line border, has the given size.
std::unique_ptr<qvProgressBar> shownBar(int clientWidth, int clientHeight)
{
    auto bar = std::make_unique<qvProgressBar>();
    bar->resize(clientWidth + 2, clientHeight + 2);
    bar->show();
    return bar;
}

QColor at(const qvProgressBar &bar, int x, int y) { return bar.surface().pixelColor(x, y); }

using Runs = std::vector<std::pair<int, int>>;

// The stretches of a row (or column) that differ from the background colour.
Runs paintedRuns(const qvProgressBar &bar, int fixed, bool alongRow, const QColor &background = Black)
{
    Runs runs;
    const QImage &image = bar.surface();
    const int length = alongRow ? image.width() : image.height();
    for (int i = 0; i < length; ++i) {
        const QColor c = alongRow ? image.pixelColor(i, fixed) : image.pixelColor(fixed, i);
        if (c == background)
            continue;
        if (!runs.empty() && runs.back().second == i - 1)
            runs.back().second = i;
        else
            runs.emplace_back(i, i);
    }
    return runs;
}

QStringList warnings;
void recordWarning(QtMsgType type, const QMessageLogContext &, const QString &message)
{
    if (type == QtWarningMsg)
        warnings << message;
}

} // namespace

TEST(ProgressBarModel, NewControlHasItsDefaultsAndPlacedSize)
{
    qvProgressBar bar;
    EXPECT_EQ(bar.Max(), 100);
    EXPECT_EQ(bar.Min(), 0);
    EXPECT_EQ(bar.Value(), 0);
    EXPECT_EQ(bar.DotWidth(), 3);
    EXPECT_EQ(bar.GapWidth(), 2);
    EXPECT_EQ(bar.MarginSize(), 2);
    EXPECT_TRUE(bar.Horizontal());
    EXPECT_FALSE(bar.ReverseGradient());
    EXPECT_EQ(bar.CaptionType(), progressbar::CaptionPercent);
    EXPECT_EQ(bar.BorderStyle(), progressbar::BorderStyle::FixedSingle);
    EXPECT_EQ(bar.GradientColour(), progressbar::GradientNone);
    EXPECT_EQ(bar.Alignment(), 2);
    EXPECT_EQ(bar.BackColour(), 0x000000u);
    EXPECT_EQ(bar.BarColour(), 0xFFFF00u);
    EXPECT_EQ(bar.FontColour(), 0xFFFFFFu);
    EXPECT_EQ(bar.clientRect(), QRect(1, 1, 320, 75));
    EXPECT_EQ(bar.surface().size(), QSize(320, 75));
    EXPECT_EQ(bar.captionText(), QStringLiteral("0%"));
    EXPECT_TRUE(bar.captionShown());

    const auto *label = bar.findChild<QLabel *>(QStringLiteral("lblCaption"));
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(label->font().weight(), QFont::Bold);
    EXPECT_DOUBLE_EQ(label->font().pointSizeF(), 9.75);
    EXPECT_EQ(label->height(), 17);
    EXPECT_EQ(label->palette().color(QPalette::WindowText), White);
}

TEST(ProgressBarModel, ValueClampsAndMinMaxKeepOnePitchApart)
{
    qvProgressBar bar;
    bar.setValue(150);
    EXPECT_EQ(bar.Value(), 100);
    bar.setValue(-5);
    EXPECT_EQ(bar.Value(), 0);

    bar.setMax(5);
    EXPECT_EQ(bar.Min(), 0);
    bar.setMax(3);
    EXPECT_EQ(bar.Max(), 3);
    EXPECT_EQ(bar.Min(), -2);

    qvProgressBar other;
    other.setMin(98);
    EXPECT_EQ(other.Max(), 103);
    EXPECT_EQ(other.Value(), 98);
    other.setMin(-10);
    other.setMax(100);
    other.setMin(95);
    EXPECT_EQ(other.Max(), 100);

    qvProgressBar dragged;
    dragged.setValue(40);
    dragged.setMax(10);
    EXPECT_EQ(dragged.Value(), 10);
    dragged.setMax(100);
    dragged.setValue(40);
    dragged.setMin(60);
    EXPECT_EQ(dragged.Value(), 60);
}

TEST(ProgressBarModel, WidthsAreHeldIn16BitsWithTheirFloors)
{
    qvProgressBar bar;
    bar.setDotWidth(0);
    EXPECT_EQ(bar.DotWidth(), 1);
    bar.setDotWidth(-4);
    EXPECT_EQ(bar.DotWidth(), 1);
    bar.setGapWidth(-1);
    EXPECT_EQ(bar.GapWidth(), 0);
    bar.setDotWidth(4);
    EXPECT_EQ(runtimeErrorOf([&] { bar.setDotWidth(32768); }), platform::ErrOverflow);
    EXPECT_EQ(bar.DotWidth(), 4);
    EXPECT_EQ(runtimeErrorOf([&] { bar.setGapWidth(-32769); }), platform::ErrOverflow);
    EXPECT_EQ(bar.GapWidth(), 0);
}

TEST(ProgressBarModel, MinAndMaxSumsThatLeave32BitsFail)
{
    qvProgressBar bar;
    EXPECT_EQ(runtimeErrorOf([&] { bar.setMin(2147483645); }), platform::ErrOverflow);
    EXPECT_EQ(bar.Min(), 2147483645); // stored before the sum failed
    EXPECT_EQ(bar.Max(), 100);

    MemoryPropertyStore store;
    store.write("Min", Variant(2147483647));
    store.write("Max", Variant(0));
    qvProgressBar loaded;
    loaded.ReadProperties(PropertyBag(store));
    EXPECT_EQ(runtimeErrorOf([&] { loaded.setMax(5); }), platform::ErrOverflow);
    EXPECT_EQ(loaded.Max(), 0);
}

TEST(ProgressBarModel, BadAlignmentAndBorderStayStoredAndFailEveryFullRedraw)
{
    qvProgressBar bar;
    EXPECT_EQ(runtimeErrorOf([&] { bar.setAlignment(5); }), platform::ErrInvalidPropertyValue);
    EXPECT_EQ(bar.Alignment(), 5);
    EXPECT_EQ(runtimeErrorOf([&] { bar.setBarColour(0xFF); }), platform::ErrInvalidPropertyValue);
    EXPECT_EQ(runtimeErrorOf([&] { bar.setValue(50); }), 0); // an incremental redraw doesn't touch the label
    EXPECT_EQ(runtimeErrorOf([&] { bar.setAlignment(40000); }), platform::ErrOverflow);
    bar.setAlignment(0);
    EXPECT_EQ(bar.findChild<QLabel *>(QStringLiteral("lblCaption"))->alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);

    EXPECT_EQ(runtimeErrorOf([&] { bar.setBorderStyle(progressbar::BorderStyle(2)); }), platform::ErrInvalidPropertyValue);
    EXPECT_EQ(bar.BorderStyle(), progressbar::BorderStyle(2));
    EXPECT_EQ(runtimeErrorOf([&] { bar.setBackColour(0xFFFFFF); }), platform::ErrInvalidPropertyValue);
    bar.setBorderStyle(progressbar::BorderStyle::FixedSingle);
    EXPECT_EQ(runtimeErrorOf([&] { bar.setBackColour(0xFFFFFF); }), 0);
}

TEST(ProgressBarCaption, CustomTextOnlyUnderCaptionCustom)
{
    qvProgressBar bar;
    bar.setCaption(QStringLiteral("Hello"));
    EXPECT_EQ(bar.captionText(), QStringLiteral("0%"));
    bar.setCaptionType(progressbar::CaptionCustom);
    EXPECT_EQ(bar.captionText(), QStringLiteral("0%"));
    bar.setCaption(QStringLiteral("Hello"));
    bar.setValue(40);
    EXPECT_EQ(bar.captionText(), QStringLiteral("Hello"));

    bar.setCaptionType(progressbar::CaptionNone);
    EXPECT_FALSE(bar.captionShown());
    bar.setCaptionType(progressbar::CaptionCustom);
    EXPECT_TRUE(bar.captionShown());
    EXPECT_EQ(bar.captionText(), QStringLiteral("Hello"));
}

TEST(ProgressBarCaption, PercentAndValueTexts)
{
    qvProgressBar bar;
    bar.setMin(20);
    bar.setMax(120);
    bar.setValue(70);
    EXPECT_EQ(bar.captionText(), QStringLiteral("50%"));
    bar.setCaptionType(progressbar::CaptionValue);
    bar.setValue(27);
    EXPECT_EQ(bar.captionText(), QStringLiteral("27"));
}

TEST(ProgressBarCaption, DrawingAndCustomCaptionPumpPendingEvents)
{
    qvProgressBar bar;
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    bar.setCaption(QStringLiteral("dropped"));
    EXPECT_FALSE(ran) << "a dropped caption does not pump";
    bar.setValue(10);
    EXPECT_TRUE(ran);

    bar.setCaptionType(progressbar::CaptionCustom);
    ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    bar.setCaption(QStringLiteral("shown"));
    EXPECT_TRUE(ran);
}

TEST(ProgressBarPersistence, SavesFourteenEntriesEveryOneAlways)
{
    qvProgressBar bar;
    bar.setValue(30);
    MemoryPropertyStore store;
    PropertyBag bag(store);
    bar.WriteProperties(bag);

    const QStringList keys = {"BackColour", "FontColour", "BarColour", "Horizontal", "ReverseGradient",
                              "Max", "Min", "GapWidth", "LineWidth", "Caption", "BorderStyle", "Margin",
                              "Gradient", "Alignment"};
    ASSERT_EQ(store.size(), 14);
    for (int i = 0; i < 14; ++i)
        EXPECT_EQ(store.entries()[i].first, keys[i]);
    EXPECT_EQ(store.read("LineWidth"), Variant(std::int16_t(3)));
    EXPECT_EQ(store.read("Caption"), Variant(std::int32_t(1)));
    EXPECT_EQ(store.read("Margin"), Variant(std::int16_t(2)));
    EXPECT_EQ(store.read("Horizontal"), Variant(true));
    EXPECT_EQ(store.read("BarColour"), Variant(std::int32_t(0xFFFF00)));
    EXPECT_FALSE(store.read("Value"));
}

TEST(ProgressBarPersistence, LoadingDefaultsKeysOfAnyCaseAndAnyNumericType)
{
    MemoryPropertyStore empty;
    qvProgressBar fresh;
    fresh.ReadProperties(PropertyBag(empty));
    EXPECT_EQ(fresh.MarginSize(), 5);
    EXPECT_EQ(fresh.DotWidth(), 3);
    EXPECT_EQ(fresh.Max(), 100);
    EXPECT_EQ(fresh.FontColour(), 0xFFFFFFu);
    EXPECT_EQ(fresh.BorderStyle(), progressbar::BorderStyle::FixedSingle);

    // Stored form data: lower-case keys, every value a 16-bit integer.
    MemoryPropertyStore form;
    const std::pair<const char *, std::int16_t> values[] = {
        {"backcolour", 255}, {"fontcolour", 0},  {"barcolour", 128},    {"horizontal", 0},
        {"reversegradient", -1}, {"max", 250}, {"min", 10},        {"gapwidth", 1},
        {"linewidth", 4},    {"caption", 2},     {"borderstyle", 0},    {"margin", 3},
        {"gradient", 5},     {"alignment", 1}};
    for (const auto &[key, value] : values)
        form.write(key, Variant(value));
    qvProgressBar bar;
    bar.setValue(60);
    bar.ReadProperties(PropertyBag(form));
    EXPECT_EQ(bar.BackColour(), 255u);
    EXPECT_EQ(bar.BarColour(), 128u);
    EXPECT_FALSE(bar.Horizontal());
    EXPECT_TRUE(bar.ReverseGradient());
    EXPECT_EQ(bar.Max(), 250);
    EXPECT_EQ(bar.Min(), 10);
    EXPECT_EQ(bar.GapWidth(), 1);
    EXPECT_EQ(bar.DotWidth(), 4);
    EXPECT_EQ(bar.CaptionType(), progressbar::CaptionValue);
    EXPECT_EQ(bar.BorderStyle(), progressbar::BorderStyle::None);
    EXPECT_EQ(bar.MarginSize(), 3);
    EXPECT_EQ(bar.GradientColour(), progressbar::GradientYellow);
    EXPECT_EQ(bar.Alignment(), 1);
    EXPECT_EQ(bar.Value(), 60) << "Value is not saved and keeps what it had";
    EXPECT_EQ(bar.captionText(), QStringLiteral("60"));
    EXPECT_EQ(bar.surface().size(), bar.size()) << "the load's redraw applied the border";
}

TEST(ProgressBarPersistence, SavedSettingsComeBackTheSame)
{
    qvProgressBar saved;
    saved.setGradientColour(progressbar::GradientMagenta);
    saved.setReverseGradient(true);
    saved.setDotWidth(6);
    saved.setGapWidth(0);
    saved.setMarginSize(0);
    saved.setMax(500);
    saved.setMin(-20);
    saved.setBarColour(0x123456);
    saved.setBackColour(0x8000000F);
    saved.setCaptionType(progressbar::CaptionNone);
    MemoryPropertyStore store;
    PropertyBag bag(store);
    saved.WriteProperties(bag);

    qvProgressBar restored;
    restored.ReadProperties(bag);
    EXPECT_EQ(restored.GradientColour(), progressbar::GradientMagenta);
    EXPECT_TRUE(restored.ReverseGradient());
    EXPECT_EQ(restored.DotWidth(), 6);
    EXPECT_EQ(restored.GapWidth(), 0);
    EXPECT_EQ(restored.MarginSize(), 0);
    EXPECT_EQ(restored.Max(), 500);
    EXPECT_EQ(restored.Min(), -20);
    EXPECT_EQ(restored.BarColour(), 0x123456u);
    EXPECT_EQ(restored.BackColour(), 0x8000000Fu);
    EXPECT_EQ(restored.CaptionType(), progressbar::CaptionNone);
    EXPECT_FALSE(restored.captionShown());
}

TEST(ProgressBarPersistence, LoadStoresUncorrectedValuesAndStopsAtABadOne)
{
    MemoryPropertyStore raw;
    raw.write("LineWidth", Variant(0));
    raw.write("GapWidth", Variant(5));
    raw.write("Min", Variant(3));
    raw.write("Max", Variant(5));
    qvProgressBar bar;
    bar.ReadProperties(PropertyBag(raw));
    EXPECT_EQ(bar.DotWidth(), 0);
    EXPECT_EQ(bar.Min(), 3);
    EXPECT_EQ(bar.Max(), 5);

    MemoryPropertyStore bad;
    bad.write("BackColour", Variant(0x112233));
    bad.write("Max", Variant("lots"));
    bad.write("Min", Variant(7));
    qvProgressBar stopped;
    EXPECT_EQ(runtimeErrorOf([&] { stopped.ReadProperties(PropertyBag(bad)); }), platform::ErrTypeMismatch);
    EXPECT_EQ(stopped.BackColour(), 0x112233u);
    EXPECT_EQ(stopped.Min(), 0);

    MemoryPropertyStore wide;
    wide.write("GapWidth", Variant(40000));
    qvProgressBar overflowed;
    EXPECT_EQ(runtimeErrorOf([&] { overflowed.ReadProperties(PropertyBag(wide)); }), platform::ErrOverflow);

    MemoryPropertyStore level;
    level.write("Min", Variant(50));
    level.write("Max", Variant(50));
    qvProgressBar flat;
    EXPECT_EQ(runtimeErrorOf([&] { flat.ReadProperties(PropertyBag(level)); }), platform::ErrDivisionByZero);
    EXPECT_EQ(flat.Min(), 50);
    EXPECT_EQ(flat.Max(), 50);

    MemoryPropertyStore noPitch;
    noPitch.write("LineWidth", Variant(0));
    noPitch.write("GapWidth", Variant(0));
    qvProgressBar pitchless;
    EXPECT_EQ(runtimeErrorOf([&] { pitchless.ReadProperties(PropertyBag(noPitch)); }), platform::ErrDivisionByZero);
}

TEST(ProgressBarDrawing, FullHorizontalBarPaintsEveryDotUpToTheLimit)
{
    auto bar = shownBar(200, 30);
    EXPECT_TRUE(paintedRuns(*bar, 15, true).empty()) << "Value = Min paints nothing";
    bar->setValue(100);
    const Runs runs = paintedRuns(*bar, 15, true);
    ASSERT_EQ(runs.size(), 39u);
    EXPECT_EQ(runs.front(), std::make_pair(2, 4));
    EXPECT_EQ(runs[1], std::make_pair(7, 9));
    EXPECT_EQ(runs.back(), std::make_pair(192, 194));
    EXPECT_EQ(at(*bar, 102, 15), Cyan);
    EXPECT_EQ(paintedRuns(*bar, 2, false), Runs({{2, 27}}));
    EXPECT_EQ(bar->captionText(), QStringLiteral("100%"));

    auto wider = shownBar(201, 30);
    wider->setValue(100);
    const Runs cut = paintedRuns(*wider, 15, true);
    ASSERT_EQ(cut.size(), 40u);
    EXPECT_EQ(cut.back(), std::make_pair(197, 197));
}

TEST(ProgressBarDrawing, WalkRepaintsOnlyTheChangeAndErasesDownToTheTarget)
{
    auto bar = shownBar(200, 30);
    bar->setValue(50);
    Runs runs = paintedRuns(*bar, 15, true);
    ASSERT_EQ(runs.size(), 20u);
    EXPECT_EQ(runs.back(), std::make_pair(97, 99));

    bar->setValue(20); // target 8: dots 19 down to 8 erased
    runs = paintedRuns(*bar, 15, true);
    ASSERT_EQ(runs.size(), 8u);
    EXPECT_EQ(runs.back(), std::make_pair(37, 39));

    bar->setValue(30); // target 11: dots 8 to 11 painted
    runs = paintedRuns(*bar, 15, true);
    ASSERT_EQ(runs.size(), 12u);
    EXPECT_EQ(runs.back(), std::make_pair(57, 59));

    bar->setValue(20);
    EXPECT_EQ(paintedRuns(*bar, 15, true).size(), 8u);
    bar->setBarColour(0x00FF00); // a full redraw paints dots 0 to the target
    runs = paintedRuns(*bar, 15, true);
    ASSERT_EQ(runs.size(), 9u);
    EXPECT_EQ(at(*bar, 42, 15), QColor(0, 255, 0));
}

TEST(ProgressBarDrawing, VerticalBarGrowsUpwards)
{
    auto bar = shownBar(48, 200); // the narrowest the minimum width allows
    bar->setHorizontal(false);
    bar->setValue(100);
    const Runs runs = paintedRuns(*bar, 15, false);
    ASSERT_EQ(runs.size(), 39u);
    EXPECT_EQ(runs.back(), std::make_pair(196, 198)) << "dot 0";
    EXPECT_EQ(runs[37], std::make_pair(191, 193)) << "dot 1";
    EXPECT_EQ(runs.front(), std::make_pair(6, 8)) << "dot 38";
    EXPECT_EQ(paintedRuns(*bar, 197, true), Runs({{2, 45}}));
}

TEST(ProgressBarDrawing, OnePixelColumnsOfTheUpdateControlsBar)
{
    qvProgressBar bar;
    bar.setBorderStyle(progressbar::BorderStyle::None);
    bar.setDotWidth(1);
    bar.setGapWidth(0);
    bar.setMarginSize(0);
    bar.setBackColour(0xFFFFFF);
    bar.setBarColour(0xFFFF80);
    bar.resize(225, 25);
    bar.show();
    EXPECT_EQ(bar.surface().size(), QSize(225, 25));
    bar.setValue(50); // 112.5 rounds to 112
    for (int y : {0, 12, 24})
        EXPECT_EQ(paintedRuns(bar, y, true, White), Runs({{0, 112}})) << y;
    EXPECT_EQ(at(bar, 5, 5), QColor(128, 255, 255));
    bar.setValue(51);
    EXPECT_EQ(paintedRuns(bar, 12, true, White), Runs({{0, 115}}));
    bar.setValue(100);
    EXPECT_EQ(paintedRuns(bar, 12, true, White), Runs({{0, 224}}));
}

TEST(ProgressBarDrawing, BlueRampIsSpreadOverTheWholeBar)
{
    auto bar = shownBar(201, 20);
    bar->setDotWidth(1);
    bar->setGapWidth(1);
    bar->setMarginSize(0); // dotCount 100, dot i at column 2i
    bar->setGradientColour(progressbar::GradientBlue);
    bar->setValue(50);
    EXPECT_EQ(at(*bar, 0, 10), White);
    EXPECT_EQ(at(*bar, 100, 10), QColor(128, 128, 255));
    bar->setValue(100);
    EXPECT_EQ(at(*bar, 100, 10), QColor(128, 128, 255)) << "a dot keeps its colour as the fill grows";
    EXPECT_EQ(at(*bar, 200, 10), QColor(0, 0, 255));
    bar->setReverseGradient(true);
    EXPECT_EQ(at(*bar, 0, 10), QColor(0, 0, 255));
    EXPECT_EQ(at(*bar, 200, 10), White);
}

TEST(ProgressBarWindow, BorderSurroundsTheRetainedImage)
{
    auto bar = shownBar(100, 20);
    bar->setBackColour(0xFFFFFF);
    bar->setValue(100);
    const QImage shown = bar->grab().toImage();
    EXPECT_NE(shown.pixelColor(0, 0), White);
    EXPECT_NE(shown.pixelColor(101, 21), White);
    EXPECT_EQ(shown.pixelColor(1 + 50, 1 + 2), bar->surface().pixelColor(50, 2));
    EXPECT_EQ(shown.pixelColor(1 + 3, 1 + 1), White);

    bar->setBorderStyle(progressbar::BorderStyle::None);
    EXPECT_EQ(bar->clientRect(), bar->rect());
    EXPECT_EQ(bar->surface().size(), QSize(100, 20)) << "the border alone draws nothing";
    const QImage borderless = bar->grab().toImage();
    EXPECT_EQ(borderless.pixelColor(0, 0), bar->surface().pixelColor(0, 0));
    EXPECT_EQ(borderless.pixelColor(101, 21), White) << "what the image doesn't cover shows BackColour";
    bar->setBarColour(0x0000FF);
    EXPECT_EQ(bar->surface().size(), QSize(102, 22));
    EXPECT_EQ(bar->grab().toImage().pixelColor(0, 0), White);
}

namespace {
int countPixels(const QImage &image, const QColor &colour)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += image.pixelColor(x, y) == colour;
    return n;
}
} // namespace

TEST(ProgressBarWindow, CaptionIsDrawnOverTheDotsAndFollowsItsText)
{
    auto bar = shownBar(200, 30);
    bar->setValue(50);
    const int halfText = countPixels(bar->grab().toImage(), White);
    EXPECT_GT(halfText, 0);
    bar->setValue(100);
    const int fullText = countPixels(bar->grab().toImage(), White);
    EXPECT_GT(fullText, halfText) << "\"100%\" has more glyphs than \"50%\"";
    bar->setFontColour(0x0000FF);
    const QImage red = bar->grab().toImage();
    EXPECT_EQ(countPixels(red, White), 0);
    EXPECT_GT(countPixels(red, QColor(255, 0, 0)), 0);
    bar->setCaptionType(progressbar::CaptionNone);
    EXPECT_EQ(countPixels(bar->grab().toImage(), QColor(255, 0, 0)), 0);
}

TEST(ProgressBarWindow, CaptionKeepsFontColourInAHostOfAnotherBackgroundRole)
{
    // Hosts such as the updater's window paint with the Button role, which
    // a child inherits and which would pick ButtonText for the caption.
    for (const bool loadedBeforeParenting : {false, true}) {
        SCOPED_TRACE(loadedBeforeParenting ? "loaded, then parented" : "created in its host");
        QWidget host;
        host.setBackgroundRole(QPalette::Button);
        host.setAutoFillBackground(true);
        host.resize(200, 100);
        MemoryPropertyStore settings;
        settings.write("fontcolour", Variant(std::int32_t(0xFFFFFF)));
        settings.write("backcolour", Variant(std::int32_t(0)));
        auto *bar = loadedBeforeParenting ? new qvProgressBar() : new qvProgressBar(&host);
        bar->ReadProperties(PropertyBag(settings));
        bar->setParent(&host);
        bar->setGeometry(10, 40, 81, 25);
        bar->show();
        host.show();
        EXPECT_GT(countPixels(bar->grab().toImage(), White), 0) << "\"0%\" in FontColour";
        bar->setFontColour(0x0000FF);
        const QImage red = bar->grab().toImage();
        EXPECT_GT(countPixels(red, QColor(255, 0, 0)), 0);
        EXPECT_EQ(countPixels(red, White), 0);
    }
}

TEST(ProgressBarWindow, ResizeKeepsTheMinimumAndCentresTheCaption)
{
    auto bar = shownBar(200, 30);
    const auto *label = bar->findChild<QLabel *>(QStringLiteral("lblCaption"));
    EXPECT_EQ(label->geometry(), QRect(1, 1 + 6, 200, 17)); // (30 - 17) / 2 = 6.5, to even
    bar->setValue(100);
    bar->resize(10, 5);
    EXPECT_EQ(bar->size(), QSize(50, 17));
    EXPECT_EQ(bar->surface().size(), QSize(48, 15));
    EXPECT_EQ(label->width(), 48);
    EXPECT_EQ(paintedRuns(*bar, 7, true).size(), 9u) << "drawn full at the new size"; // (48-4-2)/5 = 8
}

TEST(ProgressBarWindow, DesignerShowsAFullBarWhenVisible)
{
    qvProgressBar bar;
    bar.resize(102, 22);
    bar.setAmbientUserMode(false);
    bar.setValue(30);
    bar.show();
    EXPECT_EQ(bar.Value(), 100);
    EXPECT_EQ(bar.captionText(), QStringLiteral("100%"));
    bar.hide();
    bar.setValue(10);
    bar.show();
    EXPECT_EQ(bar.Value(), 100);

    bar.setAmbientUserMode(true);
    bar.hide();
    bar.setValue(10);
    bar.show();
    EXPECT_EQ(bar.Value(), 10);
}

TEST(ProgressBarWindow, RedrawErrorOfAWindowEventBecomesAWarning)
{
    MemoryPropertyStore level;
    level.write("Min", Variant(50));
    level.write("Max", Variant(50));
    qvProgressBar bar;
    EXPECT_EQ(runtimeErrorOf([&] { bar.ReadProperties(PropertyBag(level)); }), platform::ErrDivisionByZero);
    warnings.clear();
    const QtMessageHandler previous = qInstallMessageHandler(recordWarning);
    bar.show();
    bar.resize(300, 40);
    qInstallMessageHandler(previous);
    ASSERT_FALSE(warnings.isEmpty());
    EXPECT_TRUE(warnings.first().contains(QStringLiteral("11"))) << warnings.first().toStdString();
}

TEST(ProgressBarWindow, DrawsTheReferencePictureThatContainersAreComparedWith)
{
    qvProgressBar bar;
    bar.setBorderStyle(progressbar::BorderStyle(referencebar::BorderStyle));
    bar.setCaptionType(progressbar::CaptionType(referencebar::CaptionType));
    bar.setGradientColour(progressbar::GradientColour(referencebar::GradientColour));
    bar.setDotWidth(referencebar::DotWidth);
    bar.setGapWidth(referencebar::GapWidth);
    bar.setValue(referencebar::Value);
    bar.resize(referencebar::Width, referencebar::Height);
    bar.show();
    const QImage reference(QStringLiteral(PROGRESSBAR_REFERENCE_PNG));
    ASSERT_FALSE(reference.isNull());
    EXPECT_EQ(bar.grab().toImage().convertToFormat(QImage::Format_RGB32),
              reference.convertToFormat(QImage::Format_RGB32));
}
