#pragma once

#include "platform/desktop/messagebox.h"

#include <QList>
#include <QObject>
#include <QQueue>
#include <functional>

namespace platform {

// Answers the real modal QMessageBoxes that any code in the process shows
// (also code with its own copy of the platform library, such as a control
// library) by pressing a button as soon as the box is up: the next queued
// answer, or OK (No for a Yes/No box) when none is queued. Lives on the
// user-interface thread; watches the application while it exists.
class MessageBoxAnswerer : public QObject {
    Q_OBJECT

public:
    struct Answered {
        QString caption;
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
        MsgAnswer answer;
        bool scripted; // false when no answer was queued for the box
    };

    explicit MessageBoxAnswerer(QObject *parent = nullptr);
    ~MessageBoxAnswerer() override;

    void queueAnswer(MsgAnswer answer) { m_answers.enqueue(answer); }
    const QList<Answered> &answered() const { return m_answered; }
    QStringList texts() const;
    // Called for every box as it is answered, before the button is pressed.
    void setObserver(std::function<void(const Answered &)> observer) { m_observer = std::move(observer); }

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void answer(QWidget *box);

    QQueue<MsgAnswer> m_answers;
    QList<Answered> m_answered;
    std::function<void(const Answered &)> m_observer;
};

} // namespace platform
