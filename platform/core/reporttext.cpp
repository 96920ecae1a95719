#include "platform/core/reporttext.h"

#include <QRegularExpression>

namespace platform {

QString hidePasswords(const QString &text)
{
    // scheme://user:password@ : the user part ends at the first '@' before
    // the path; a password is what follows the user's ':'.
    static const QRegularExpression userInfo(
        QStringLiteral("\\b([A-Za-z][A-Za-z0-9+.-]*://[^/?#@:\\s]*):[^/?#@\\s]*@"));
    QString result = text;
    return result.replace(userInfo, QStringLiteral("\\1:***@"));
}

QString escapeControls(const QString &text)
{
    QString result;
    result.reserve(text.size());
    for (const QChar c : text) {
        const char16_t u = c.unicode();
        if (u >= 0x20 && u != 0x7f && !(u >= 0x80 && u <= 0x9f)) {
            result += c;
            continue;
        }
        switch (u) {
        case '\r': result += QLatin1String("\\r"); break;
        case '\n': result += QLatin1String("\\n"); break;
        case '\t': result += QLatin1String("\\t"); break;
        default:
            result += (u < 0x80 ? QLatin1String("\\x") : QLatin1String("\\u"))
                      + QString::number(u, 16).toUpper().rightJustified(u < 0x80 ? 2 : 4, QLatin1Char('0'));
        }
    }
    return result;
}

} // namespace platform
