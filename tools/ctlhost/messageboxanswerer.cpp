#include "messageboxanswerer.h"

#include "scriptline.h"

#include <QAbstractButton>
#include <QApplication>
#include <QEvent>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>

MessageBoxAnswerer::MessageBoxAnswerer(std::function<void(const QString &)> report, QObject *parent)
    : QObject(parent), m_report(std::move(report))
{
    qApp->installEventFilter(this);
}

bool MessageBoxAnswerer::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::Show) {
        if (auto *box = qobject_cast<QMessageBox *>(watched)) {
            // Pressed from the box's own modal loop, once it is running.
            QPointer<QMessageBox> guard(box);
            QTimer::singleShot(0, this, [this, guard] {
                if (guard)
                    answer(guard);
            });
        }
    }
    return QObject::eventFilter(watched, event);
}

void MessageBoxAnswerer::answer(QMessageBox *box)
{
    const bool yesNo = box->button(QMessageBox::Yes) != nullptr;
    const bool scripted = !m_answers.isEmpty();
    QString answer = scripted ? m_answers.dequeue() : (yesNo ? QStringLiteral("no") : QStringLiteral("ok"));
    const QMessageBox::StandardButton button = answer == QLatin1String("yes") ? QMessageBox::Yes
                                               : answer == QLatin1String("no") ? QMessageBox::No
                                                                               : QMessageBox::Ok;
    QAbstractButton *target = box->button(button);
    if (!target) {
        // A queued answer the box doesn't offer: take its own default.
        target = box->buttons().value(0);
        answer = yesNo ? QStringLiteral("no") : QStringLiteral("ok");
        if (yesNo)
            target = box->button(QMessageBox::No);
    }
    m_report(QStringLiteral("msgbox %1 %2 %3 %4 -> %5%6")
                 .arg(quoted(box->windowTitle()), quoted(box->text()),
                      yesNo ? QStringLiteral("yesno") : QStringLiteral("ok"),
                      box->icon() == QMessageBox::Question ? QStringLiteral("question") : QStringLiteral("none"), answer,
                      scripted ? QString() : QStringLiteral(" (unscripted)")));
    if (target)
        target->click();
}
