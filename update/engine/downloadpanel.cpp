#include "downloadpanel.h"

#include "platform/memorypropertystore.h"
#include "platform/propertybag.h"
#include "update/progressbar/qvprogressbar.h"

#include <QLabel>

namespace {

constexpr int kTwipsPerPixel = 15;

QRect fromTwips(int left, int top, int width, int height)
{
    return QRect(left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel, height / kTwipsPerPixel);
}

void setTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

// The labels' font as designed, MS Sans Serif 8 pt. Where that face is
// missing, Liberation Sans at the same size (Arial's widths) keeps every
// text whole in its designed width; the platform's default sans would cut
// "Estimated Time Remaining".
QFont labelFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("MS Sans Serif"), QStringLiteral("Liberation Sans")});
    font.setPointSize(8);
    return font;
}

// The embedded bar's settings as saved with the panel's design.
platform::MemoryPropertyStore barSettings()
{
    using platform::Variant;
    platform::MemoryPropertyStore store;
    platform::PropertyBag bag(store);
    bag.WriteProperty(QStringLiteral("BackColour"), Variant(std::int32_t(0x00FFFFFF)));
    bag.WriteProperty(QStringLiteral("FontColour"), Variant(std::int32_t(0x00FFFFFF)));
    bag.WriteProperty(QStringLiteral("BarColour"), Variant(std::int32_t(0x00FFFF80)));
    bag.WriteProperty(QStringLiteral("Horizontal"), Variant(true));
    bag.WriteProperty(QStringLiteral("ReverseGradient"), Variant(false));
    bag.WriteProperty(QStringLiteral("Max"), Variant(std::int32_t(100)));
    bag.WriteProperty(QStringLiteral("Min"), Variant(std::int32_t(0)));
    bag.WriteProperty(QStringLiteral("GapWidth"), Variant(std::int16_t(0)));
    bag.WriteProperty(QStringLiteral("LineWidth"), Variant(std::int16_t(1)));
    bag.WriteProperty(QStringLiteral("Caption"), Variant(std::int32_t(1)));
    bag.WriteProperty(QStringLiteral("BorderStyle"), Variant(std::int32_t(0)));
    bag.WriteProperty(QStringLiteral("Margin"), Variant(std::int16_t(0)));
    bag.WriteProperty(QStringLiteral("Gradient"), Variant(std::int32_t(3)));
    bag.WriteProperty(QStringLiteral("Alignment"), Variant(std::int32_t(2)));
    return store;
}

} // namespace

DownloadPanel::DownloadPanel(QWidget *parent)
    : QWidget(parent)
{
    setObjectName(QStringLiteral("Frame"));
    QPalette background = palette();
    background.setColor(QPalette::Window, Qt::black);
    setPalette(background);
    // Whatever roles the host's window uses, the panel and its labels draw
    // with the colours set here.
    setBackgroundRole(QPalette::Window);
    setForegroundRole(QPalette::WindowText);
    setAutoFillBackground(true);

    QLabel *label4 = addLabel("Label4", QStringLiteral("Estimated Time Remaining"), 120, 120, 2055, 255);
    setTextColour(label4, Qt::white);
    m_lblRemaining = addLabel("lblRemaining", QString(), 2280, 120, 2535, 255);
    setTextColour(m_lblRemaining, Qt::white);
    addLabel("Label1", QStringLiteral("Bytes Transferred:"), 5160, 120, 1455, 255);
    m_lblBytes = addLabel("lblBytes", QStringLiteral("0 of 0 bytes"), 7320, 120, 2655, 255);
    addLabel("Label3", QStringLiteral("Elapsed Time"), 5160, 480, 1335, 255);
    m_lblElapsed = addLabel("lblElapsed", QString(), 7320, 480, 2655, 255);
    addLabel("Label2", QStringLiteral("Transfer Speed"), 4920, 1320, 1215, 255);
    m_lblSpeed = addLabel("lblSpeed", QString(), 7080, 1320, 2655, 255);

    m_bar = new qvProgressBar(this);
    m_bar->setObjectName(QStringLiteral("qvProgressBar"));
    platform::MemoryPropertyStore settings = barSettings();
    m_bar->ReadProperties(platform::PropertyBag(settings));
    m_bar->setGeometry(fromTwips(360, 480, 3375, 375));
}

QSize DownloadPanel::designedSize()
{
    return fromTwips(0, 0, 4155, 1020).size();
}

QLabel *DownloadPanel::addLabel(const char *name, const QString &text, int left, int top, int width, int height)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setFont(labelFont());
    label->setGeometry(fromTwips(left, top, width, height));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}
