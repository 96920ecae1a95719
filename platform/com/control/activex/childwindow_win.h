#pragma once

#include "platform/com/core/types.h"

#include <QPointer>
#include <QWidget>
#include <QWindow>
#include <memory>

namespace platform::com {

// A control's widget as a native child of a container's window: a frame
// window of its own inside the container's, which holds the widget while
// the control is in place. Closing destroys the frame and gives the widget
// back, hidden and without a parent, so the control keeps its settings.
class ChildWindow {
public:
    explicit ChildWindow(QWidget *content) : m_content(content) {}
    ~ChildWindow() { close(); }
    ChildWindow(const ChildWindow &) = delete;
    ChildWindow &operator=(const ChildWindow &) = delete;

    // Makes the frame a child of parent, hidden, with the widget in it.
    void open(HWND parent);
    // Places the frame at position (in the parent's client pixels) and
    // shows only the part inside clip.
    void place(const RECT &position, const RECT &clip);
    void show();
    void hide();
    void focus();
    void close();

    bool isOpen() const { return m_frame != nullptr; }
    HWND handle() const;

private:
    QPointer<QWidget> m_content;
    // The container's window as Qt sees it: a foreign window, which Qt
    // neither owns nor destroys. Declared before the frame, so the frame,
    // whose window it parents, goes first.
    std::unique_ptr<QWindow> m_parent;
    std::unique_ptr<QWidget> m_frame;
};

} // namespace platform::com
