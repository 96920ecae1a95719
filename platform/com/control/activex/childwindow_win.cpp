#include "platform/com/control/activex/childwindow_win.h"

namespace platform::com {

namespace {

// A rectangle of device pixels in the frame's own (device independent) ones.
QRect logicalRect(const RECT &r, qreal ratio)
{
    return QRect(QPoint(int(r.left / ratio), int(r.top / ratio)),
                 QSize(int((r.right - r.left) / ratio), int((r.bottom - r.top) / ratio)));
}

} // namespace

void ChildWindow::open(HWND parent)
{
    close();
    m_parent.reset(QWindow::fromWinId(WId(parent)));
    m_frame = std::make_unique<QWidget>(nullptr, Qt::FramelessWindowHint);
    m_frame->winId();
    // Under a foreign parent Qt's window becomes a WS_CHILD of it.
    m_frame->windowHandle()->setParent(m_parent.get());
    if (m_content) {
        m_content->setParent(m_frame.get());
        m_content->move(0, 0);
        m_content->show();
    }
}

void ChildWindow::place(const RECT &position, const RECT &clip)
{
    if (!m_frame)
        return;
    const qreal ratio = m_frame->devicePixelRatioF();
    const QRect geometry = logicalRect(position, ratio);
    m_frame->setGeometry(geometry);
    if (m_content)
        m_content->setGeometry(QRect(QPoint(), geometry.size()));
    const QRect visible = logicalRect(clip, ratio).intersected(geometry).translated(-geometry.topLeft());
    if (visible == QRect(QPoint(), geometry.size()))
        m_frame->clearMask();
    else
        m_frame->setMask(visible);
}

void ChildWindow::show()
{
    if (m_frame)
        m_frame->show();
}

void ChildWindow::hide()
{
    if (m_frame)
        m_frame->hide();
}

void ChildWindow::focus()
{
    if (m_content && m_frame)
        m_content->setFocus(Qt::OtherFocusReason);
}

void ChildWindow::close()
{
    if (m_content && m_frame && m_content->parentWidget() == m_frame.get()) {
        m_content->hide();
        m_content->setParent(nullptr);
    }
    m_frame.reset();
    m_parent.reset();
}

HWND ChildWindow::handle() const
{
    return m_frame ? reinterpret_cast<HWND>(m_frame->winId()) : nullptr;
}

} // namespace platform::com
