#include "scriptedmessagebox.h"

#include <QStringList>

namespace testsupport {

using namespace platform;

ScriptedMessageBoxService::ScriptedMessageBoxService()
{
    install(this);
}

ScriptedMessageBoxService::~ScriptedMessageBoxService()
{
    install(nullptr);
}

QStringList ScriptedMessageBoxService::texts() const
{
    QStringList result;
    for (const Shown &s : m_shown)
        result << s.text;
    return result;
}

MsgAnswer ScriptedMessageBoxService::show(QWidget *, const QString &caption, const QString &text, MsgButtons buttons,
                                          MsgIcon icon)
{
    MsgAnswer answer = buttons == MsgButtons::Ok ? MsgAnswer::Ok : MsgAnswer::No;
    if (!m_answers.isEmpty())
        answer = m_answers.dequeue();
    m_shown.append({caption, text, buttons, icon, answer});
    return answer;
}

} // namespace testsupport
