#include "platform/desktop/messageboxanswerer.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>

namespace platform {

MessageBoxAnswerer::MessageBoxAnswerer(QObject *parent)
    : QObject(parent)
{
    qApp->installEventFilter(this);
}

MessageBoxAnswerer::~MessageBoxAnswerer()
{
    if (qApp)
        qApp->removeEventFilter(this);
}

QStringList MessageBoxAnswerer::texts() const
{
    QStringList result;
    for (const Answered &a : m_answered)
        result << a.text;
    return result;
}

bool MessageBoxAnswerer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        auto *box = qobject_cast<QMessageBox *>(watched);
        if (box && box->isModal()) {
            // Pressed from the box's own event loop, once it runs.
            QMetaObject::invokeMethod(
                this, [this, guarded = QPointer<QWidget>(box)] { answer(guarded); }, Qt::QueuedConnection);
        }
    }
    return QObject::eventFilter(watched, event);
}

void MessageBoxAnswerer::answer(QWidget *widget)
{
    auto *box = qobject_cast<QMessageBox *>(widget);
    if (!box || !box->isVisible())
        return;
    const bool yesNo = box->button(QMessageBox::Yes) != nullptr;
    Answered answered{box->windowTitle(),
                      box->text(),
                      yesNo ? MsgButtons::YesNo : MsgButtons::Ok,
                      box->icon() == QMessageBox::Question   ? MsgIcon::Question
                      : box->icon() == QMessageBox::Critical ? MsgIcon::Critical
                                                             : MsgIcon::None,
                      yesNo ? MsgAnswer::No : MsgAnswer::Ok,
                      !m_answers.isEmpty()};
    if (!m_answers.isEmpty()) {
        const MsgAnswer wanted = m_answers.dequeue();
        // A queued answer the box has no button for gets the box's default.
        if (yesNo ? wanted != MsgAnswer::Ok : wanted == MsgAnswer::Ok)
            answered.answer = wanted;
    }
    m_answered.append(answered);
    if (m_observer)
        m_observer(answered);
    const QMessageBox::StandardButton button = answered.answer == MsgAnswer::Yes ? QMessageBox::Yes
        : answered.answer == MsgAnswer::No                                     ? QMessageBox::No
                                                                               : QMessageBox::Ok;
    if (QAbstractButton *pressed = box->button(button))
        pressed->click();
}

} // namespace platform
