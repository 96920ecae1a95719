#pragma once

#include "platform/desktop/messagebox.h"

#include <QList>
#include <QQueue>

namespace testsupport {

// A message box service that answers for the user: records every box and
// returns the programmed answers in order (OK, or No for a Yes/No box, when
// none is left). Installs itself for its lifetime.
class ScriptedMessageBoxService : public platform::MessageBoxService {
public:
    struct Shown {
        QString caption;
        QString text;
        platform::MsgButtons buttons;
        platform::MsgIcon icon;
        platform::MsgAnswer answer;
    };

    ScriptedMessageBoxService();
    ~ScriptedMessageBoxService() override;

    void queueAnswer(platform::MsgAnswer answer) { m_answers.enqueue(answer); }
    const QList<Shown> &shown() const { return m_shown; }
    QStringList texts() const;

    platform::MsgAnswer show(QWidget *parent, const QString &caption, const QString &text,
                             platform::MsgButtons buttons, platform::MsgIcon icon) override;

private:
    QQueue<platform::MsgAnswer> m_answers;
    QList<Shown> m_shown;
};

} // namespace testsupport
