#include "downloadpanel.h"

#include "transferfigures.h"

#include "platform/settings/memorypropertystore.h"
#include "platform/settings/propertybag.h"
#include "platform/desktop/twips.h"
#include "update/published/progressbarkeys.h"
#include "update/progressbar/qvprogressbar.h"

#include <QLabel>

namespace {

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
    namespace keys = progressbar::keys;
    platform::MemoryPropertyStore store;
    platform::PropertyBag bag(store);
    bag.WriteProperty(keys::BackColour, Variant(std::int32_t(0x00FFFFFF)));
    bag.WriteProperty(keys::FontColour, Variant(std::int32_t(0x00FFFFFF)));
    bag.WriteProperty(keys::BarColour, Variant(std::int32_t(0x00FFFF80)));
    bag.WriteProperty(keys::Horizontal, Variant(true));
    bag.WriteProperty(keys::ReverseGradient, Variant(false));
    bag.WriteProperty(keys::Max, Variant(std::int32_t(100)));
    bag.WriteProperty(keys::Min, Variant(std::int32_t(0)));
    bag.WriteProperty(keys::GapWidth, Variant(std::int16_t(0)));
    bag.WriteProperty(keys::LineWidth, Variant(std::int16_t(1)));
    bag.WriteProperty(keys::Caption, Variant(std::int32_t(progressbar::CaptionPercent)));
    bag.WriteProperty(keys::BorderStyle, Variant(std::int32_t(progressbar::BorderStyle::None)));
    bag.WriteProperty(keys::Margin, Variant(std::int16_t(0)));
    bag.WriteProperty(keys::Gradient, Variant(std::int32_t(progressbar::GradientBlue)));
    bag.WriteProperty(keys::Alignment, Variant(std::int32_t(progressbar::Center)));
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
    m_bar->setGeometry(platform::twipsToPixels(QRect(360, 480, 3375, 375)));
}

QSize DownloadPanel::designedSize()
{
    return platform::twipsToPixels(QSize(4155, 1020));
}

QLabel *DownloadPanel::addLabel(const char *name, const QString &text, int left, int top, int width, int height)
{
    auto *label = new QLabel(text, this);
    label->setObjectName(QLatin1String(name));
    label->setFont(labelFont());
    label->setGeometry(platform::twipsToPixels(QRect(left, top, width, height)));
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void DownloadPanel::clear()
{
    m_lblElapsed->setText(QString());
    m_lblSpeed->setText(QString());
    m_lblBytes->setText(QString());
    m_lblRemaining->setText(QString());
}

void DownloadPanel::showProgress(qint64 bytesRead, qint64 bytesMax, std::int32_t elapsed)
{
    m_lblBytes->setText(QString::number(bytesRead) + QStringLiteral(" of ") + QString::number(bytesMax)
                        + QStringLiteral(" bytes copied."));
    if (bytesMax == 0)
        return;
    m_bar->setValue(barValue(transferPercent(bytesRead, bytesMax)));
    if (elapsed == m_LastElapsedSecond)
        return;
    m_lblElapsed->setText(MinSec(elapsed));
    if (bytesRead != 0)
        m_lblRemaining->setText(MinSec(remainingSeconds(bytesRead, bytesMax, elapsed)));
    if (elapsed != 0)
        m_lblSpeed->setText(QString::number(bytesPerSecond(bytesRead, elapsed)) + QStringLiteral(" bps"));
    m_LastElapsedSecond = elapsed;
}
