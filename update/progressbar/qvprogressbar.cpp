#include "update/progressbar/qvprogressbar.h"

#include "update/progressbar/captionlabel.h"
#include "update/published/progressbarkeys.h"

#include "platform/desktop/eventpump.h"
#include "platform/settings/propertybag.h"
#include "platform/core/runtimeerror.h"
#include "platform/core/variant.h"

#include <QPainter>
#include <QPaintEvent>
#include <QResizeEvent>
#include <QShowEvent>
#include <cmath>

using namespace progressbar;

namespace {

// The caption label's design size, and the bar's outer minimum
// (255 by 750 twips at 15 twips a pixel).
constexpr int CaptionWidth = 201;
constexpr int CaptionHeight = 17;
constexpr int MinimumWidth = 50;
constexpr int MinimumHeight = 17;
// A newly placed bar's client area.
constexpr QSize PlacedClientSize(320, 75);

} // namespace

qvProgressBar::qvProgressBar(QWidget *parent)
    : QWidget(parent), m_lblCaption(new CaptionLabel(QStringLiteral("Label1"), this))
{
    m_lblCaption->setObjectName(QStringLiteral("lblCaption"));
    QFont font(QStringLiteral("MS Sans Serif"));
    font.setPointSizeF(9.75);
    font.setWeight(QFont::Bold);
    m_lblCaption->setFont(font);
    m_lblCaption->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
    // FontColour is kept in WindowText. Left unset, the role would follow the
    // host's background role (ButtonText under a Button-filled window).
    m_lblCaption->setForegroundRole(QPalette::WindowText);
    m_lblCaption->setAttribute(Qt::WA_TransparentForMouseEvents);
    // paintEvent covers every pixel itself.
    setAttribute(Qt::WA_OpaquePaintEvent);
    setMinimumSize(MinimumWidth, MinimumHeight);
    applyBorderStyle();
    placeCaption(0, CaptionWidth);
    resize(sizeHint());
    DrawBar(true);
}

qvProgressBar::~qvProgressBar() = default;

QSize qvProgressBar::sizeHint() const
{
    return PlacedClientSize.grownBy(QMargins(m_borderWidth, m_borderWidth, m_borderWidth, m_borderWidth));
}

void qvProgressBar::setReverseGradient(bool value)
{
    m_ReverseGradient = value;
    DrawBar(true);
}

void qvProgressBar::setHorizontal(bool value)
{
    m_Horizontal = value;
    DrawBar(true);
}

void qvProgressBar::setAlignment(std::int32_t value)
{
    m_Alignment = value;
    applyAlignment();
}

void qvProgressBar::setGradientColour(progressbar::GradientColour value)
{
    m_GradientColour = value;
    DrawBar(true);
}

void qvProgressBar::setMarginSize(std::int16_t value)
{
    m_MarginSize = value;
    DrawBar(true);
}

void qvProgressBar::setBorderStyle(progressbar::BorderStyle value)
{
    m_BorderStyle = value;
    applyBorderStyle();
}

void qvProgressBar::setBackColour(OleColour value)
{
    m_BackColour = value;
    DrawBar(true);
}

void qvProgressBar::setFontColour(OleColour value)
{
    m_FontColour = value;
    setCaptionColour(toQColor(value));
    DrawBar(true);
}

void qvProgressBar::setBarColour(OleColour value)
{
    m_BarColour = value;
    DrawBar(true);
}

void qvProgressBar::setMax(std::int32_t value)
{
    const std::int32_t span = platform::checkedInt32(std::int64_t(m_Min) + m_GapWidth + m_DotWidth);
    m_Max = value;
    if (value < span)
        m_Min = platform::checkedInt32(std::int64_t(value) - m_GapWidth - m_DotWidth);
    if (m_Value > m_Max)
        m_Value = m_Max;
    DrawBar(true);
}

void qvProgressBar::setMin(std::int32_t value)
{
    m_Min = value;
    if (value > platform::checkedInt32(std::int64_t(m_Max) - m_GapWidth - m_DotWidth))
        m_Max = platform::checkedInt32(std::int64_t(value) + m_GapWidth + m_DotWidth);
    if (m_Value < m_Min)
        m_Value = m_Min;
    DrawBar(true);
}

void qvProgressBar::setValue(std::int32_t value)
{
    m_Value = std::max(std::min(value, m_Max), m_Min);
    DrawBar(false);
}

void qvProgressBar::setDotWidth(std::int32_t value)
{
    m_DotWidth = std::max<std::int16_t>(platform::checkedInt16(value), 1);
    DrawBar(true);
}

void qvProgressBar::setGapWidth(std::int32_t value)
{
    m_GapWidth = std::max<std::int16_t>(platform::checkedInt16(value), 0);
    DrawBar(true);
}

void qvProgressBar::setCaptionType(progressbar::CaptionType value)
{
    m_CaptionType = value;
    DrawBar(true);
}

void qvProgressBar::setCaption(const QString &text)
{
    if (m_CaptionType != progressbar::CaptionCustom)
        return;
    m_lblCaption->setText(text);
    platform::DoEvents();
}

void qvProgressBar::ReadProperties(const platform::PropertyBag &bag)
{
    using platform::Variant;
    m_BackColour = OleColour(bag.ReadProperty(keys::BackColour, Variant(0)).toInt32());
    m_FontColour = OleColour(bag.ReadProperty(keys::FontColour, Variant(0xFFFFFF)).toInt32());
    m_BarColour = OleColour(bag.ReadProperty(keys::BarColour, Variant(0xFFFF00)).toInt32());
    m_Horizontal = bag.ReadProperty(keys::Horizontal, Variant(true)).toBool();
    m_ReverseGradient = bag.ReadProperty(keys::ReverseGradient, Variant(false)).toBool();
    m_Max = bag.ReadProperty(keys::Max, Variant(100)).toInt32();
    m_Min = bag.ReadProperty(keys::Min, Variant(0)).toInt32();
    m_GapWidth = bag.ReadProperty(keys::GapWidth, Variant(std::int16_t(2))).toInt16();
    m_DotWidth = bag.ReadProperty(keys::LineWidth, Variant(std::int16_t(3))).toInt16();
    m_CaptionType = progressbar::CaptionType(bag.ReadProperty(keys::Caption, Variant(std::int32_t(progressbar::CaptionPercent))).toInt32());
    m_BorderStyle =
        progressbar::BorderStyle(bag.ReadProperty(keys::BorderStyle, Variant(std::int32_t(progressbar::BorderStyle::FixedSingle))).toInt32());
    m_MarginSize = bag.ReadProperty(keys::Margin, Variant(std::int16_t(5))).toInt16();
    m_GradientColour =
        progressbar::GradientColour(bag.ReadProperty(keys::Gradient, Variant(std::int32_t(progressbar::GradientNone))).toInt32());
    m_Alignment = bag.ReadProperty(keys::Alignment, Variant(std::int32_t(progressbar::Center))).toInt32();
    DrawBar(true);
}

void qvProgressBar::WriteProperties(platform::PropertyBag &bag) const
{
    using platform::Variant;
    bag.WriteProperty(keys::BackColour, Variant(std::int32_t(m_BackColour)));
    bag.WriteProperty(keys::FontColour, Variant(std::int32_t(m_FontColour)));
    bag.WriteProperty(keys::BarColour, Variant(std::int32_t(m_BarColour)));
    bag.WriteProperty(keys::Horizontal, Variant(m_Horizontal));
    bag.WriteProperty(keys::ReverseGradient, Variant(m_ReverseGradient));
    bag.WriteProperty(keys::Max, Variant(m_Max));
    bag.WriteProperty(keys::Min, Variant(m_Min));
    bag.WriteProperty(keys::GapWidth, Variant(m_GapWidth));
    bag.WriteProperty(keys::LineWidth, Variant(m_DotWidth));
    bag.WriteProperty(keys::Caption, Variant(std::int32_t(m_CaptionType)));
    bag.WriteProperty(keys::BorderStyle, Variant(std::int32_t(m_BorderStyle)));
    bag.WriteProperty(keys::Margin, Variant(m_MarginSize));
    bag.WriteProperty(keys::Gradient, Variant(std::int32_t(m_GradientColour)));
    bag.WriteProperty(keys::Alignment, Variant(m_Alignment));
}

void qvProgressBar::setAmbientUserMode(bool userMode)
{
    m_ambientUserMode = userMode;
}

QString qvProgressBar::captionText() const
{
    return m_lblCaption->text();
}

bool qvProgressBar::captionShown() const
{
    return !m_lblCaption->isHidden();
}

QRect qvProgressBar::clientRect() const
{
    return rect().marginsRemoved(QMargins(m_borderWidth, m_borderWidth, m_borderWidth, m_borderWidth));
}

void qvProgressBar::paintEvent(QPaintEvent *)
{
    QPainter painter(this);
    const QRect client = clientRect();
    const QRect image(client.topLeft(), m_surface.size());
    // Between a border change and the next full redraw the image may not
    // cover the client area; the rest shows the background colour.
    if (!image.contains(client)) {
        for (const QRect &uncovered : QRegion(client).subtracted(image))
            painter.fillRect(uncovered, palette().color(QPalette::Window));
    }
    painter.drawImage(image.topLeft(), m_surface);
    if (m_borderWidth > 0) {
        painter.setPen(palette().color(QPalette::WindowText));
        painter.drawRect(rect().adjusted(0, 0, -1, -1));
    }
}

void qvProgressBar::resizeEvent(QResizeEvent *event)
{
    QWidget::resizeEvent(event);
    const QRect client = clientRect();
    const float top = float(client.height() - m_lblCaption->height()) / 2.0f;
    placeCaption(int(std::nearbyint(top)), client.width());
    redrawForWindowSystem("resize");
}

void qvProgressBar::showEvent(QShowEvent *event)
{
    QWidget::showEvent(event);
    // In a form designer the bar always shows full.
    if (!m_ambientUserMode)
        m_Value = m_Max;
    redrawForWindowSystem("show");
}

void qvProgressBar::redrawForWindowSystem(const char *handler)
{
    try {
        DrawBar(true);
    } catch (const platform::RuntimeError &error) {
        qWarning("qvProgressBar: %s redraw failed: %d %s", handler, error.number(), qPrintable(error.description()));
    }
}

void qvProgressBar::DrawBar(bool fullRedraw)
{
    if (fullRedraw)
        prepareFullRedraw();
    const std::int16_t target = fillTarget(m_Value, m_Min, m_Max, m_layout.dotCount);
    if (target != m_dotsDrawn) {
        walkDots(target);
        m_dotsDrawn = target;
    }
    if (const std::optional<QString> text = progressbar::captionText(m_CaptionType, m_Value, m_Min, m_Max))
        m_lblCaption->setText(*text);
    platform::DoEvents();
}

void qvProgressBar::prepareFullRedraw()
{
    const QColor background = toQColor(m_BackColour);
    if (palette().color(QPalette::Window) != background) {
        QPalette own = palette();
        own.setColor(QPalette::Window, background);
        setPalette(own);
    }
    m_surface.fill(background);
    update();

    applyBorderStyle();
    const QSize client = clientRect().size();
    if (m_surface.size() != client) {
        m_surface = QImage(client, QImage::Format_RGB32);
        m_surface.fill(background);
    }

    setCaptionColour(toQColor(m_FontColour));
    applyAlignment();
    m_lblCaption->setVisible(m_CaptionType != progressbar::CaptionNone);

    m_dotsDrawn = 0;
    const int along = m_Horizontal ? client.width() : client.height();
    const int across = m_Horizontal ? client.height() : client.width();
    m_layout = layoutBar(along, across, m_MarginSize, m_DotWidth, m_GapWidth);
}

void qvProgressBar::walkDots(std::int16_t target)
{
    const int step = m_dotsDrawn < target ? 1 : -1;
    const bool erase = step < 0;
    const std::int16_t advance = platform::checkedInt16(std::int64_t(m_layout.dotPitch) * step);
    std::int16_t pos = platform::checkedInt16(std::int64_t(m_layout.dotPitch) * m_dotsDrawn + m_MarginSize);
    const QPoint origin = clientRect().topLeft();
    const int clientHeight = clientRect().height();
    const DotColours colours = dotColours();
    QPainter painter(&m_surface);
    for (int i = m_dotsDrawn;; i += step) {
        const OleColour colour = dotColour(dotPosition(i, m_layout.dotCount), erase, colours);
        const QRect dot = dotRect(m_Horizontal, pos, m_DotWidth, m_MarginSize, m_layout, clientHeight);
        painter.fillRect(dot, toQColor(colour));
        update(dot.translated(origin));
        pos = platform::checkedInt16(std::int64_t(pos) + advance);
        if (i == target)
            break;
    }
}

void qvProgressBar::applyBorderStyle()
{
    const int width = borderWidth(m_BorderStyle);
    if (width == m_borderWidth)
        return;
    // The caption keeps its place in the client area as the border comes or goes.
    const int shift = width - m_borderWidth;
    m_borderWidth = width;
    m_lblCaption->move(m_lblCaption->pos() + QPoint(shift, shift));
    update();
}

void qvProgressBar::setCaptionColour(const QColor &colour)
{
    if (m_lblCaption->palette().color(QPalette::WindowText) == colour)
        return;
    QPalette caption = m_lblCaption->palette();
    caption.setColor(QPalette::WindowText, colour);
    m_lblCaption->setPalette(caption);
}

void qvProgressBar::applyAlignment()
{
    m_lblCaption->setAlignment(captionAlignment(m_Alignment));
}

void qvProgressBar::placeCaption(int clientTop, int width)
{
    const QPoint origin = clientRect().topLeft();
    m_lblCaption->setGeometry(origin.x(), origin.y() + clientTop, width, CaptionHeight);
}

DotColours qvProgressBar::dotColours() const
{
    return DotColours{m_BackColour, m_BarColour, m_GradientColour, m_ReverseGradient};
}
