#pragma once

#include "messagebox.h"

#include <QList>
#include <QQueue>

namespace platform {

// A message box service for tests: records every box and returns the
// programmed answers in order (OK, or No for a Yes/No box, when none is left).
// Installs itself for its lifetime.
class ScriptedMessageBoxService : public MessageBoxService {
public:
    struct Shown {
        QString caption;
        QString text;
        MsgButtons buttons;
        MsgIcon icon;
        MsgAnswer answer;
    };

    ScriptedMessageBoxService();
    ~ScriptedMessageBoxService() override;

    void queueAnswer(MsgAnswer answer) { m_answers.enqueue(answer); }
    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;

    MsgAnswer show(QWidget *parent, const QString &caption, const QString &text, MsgButtons buttons,
                   MsgIcon icon) override;

private:
    QQueue<MsgAnswer> m_answers;
    QList<Shown> m_shown;
};

} // namespace platform
