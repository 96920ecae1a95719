#include "update/progressbar/captionlabel.h"

#include <QEvent>
#include <QPainter>
#include <QStyle>

CaptionLabel::CaptionLabel(const QString &text, QWidget *parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);
}

void CaptionLabel::paintEvent(QPaintEvent *)
{
    if (m_rendered.isNull() || m_renderedText != text() || m_renderedAlignment != alignment())
        render();
    QPainter painter(this);
    painter.drawImage(0, 0, m_rendered);
}

void CaptionLabel::changeEvent(QEvent *event)
{
    if (event->type() == QEvent::FontChange || event->type() == QEvent::PaletteChange ||
        event->type() == QEvent::EnabledChange)
        m_rendered = QImage();
    QLabel::changeEvent(event);
}

void CaptionLabel::resizeEvent(QResizeEvent *event)
{
    m_rendered = QImage();
    QLabel::resizeEvent(event);
}

void CaptionLabel::render()
{
    const qreal ratio = devicePixelRatioF();
    m_rendered = QImage(size() * ratio, QImage::Format_ARGB32_Premultiplied);
    m_rendered.setDevicePixelRatio(ratio);
    m_rendered.fill(Qt::transparent);
    m_renderedText = text();
    m_renderedAlignment = alignment();
    QPainter painter(&m_rendered);
    painter.setFont(font());
    style()->drawItemText(&painter, contentsRect(), int(m_renderedAlignment), palette(), isEnabled(), m_renderedText,
                          foregroundRole());
}
