#include "platform/read/internal/headverdict.h"

#include <QRegularExpression>

namespace platform {

namespace {

bool isFollowedRedirect(int status)
{
    return status == 301 || status == 302 || status == 303 || status == 307 || status == 308;
}

HeadVerdict refuse(const QString &why)
{
    HeadVerdict verdict;
    verdict.refusal = why;
    return verdict;
}

HeadVerdict body(qint64 start, qint64 total)
{
    HeadVerdict verdict;
    verdict.action = HeadVerdict::Action::Body;
    verdict.start = start;
    verdict.total = total;
    return verdict;
}

// The one length the head announces: -1 for none, -2 when its values are
// invalid or differ (why says how).
qint64 announcedLength(const ResponseHead &head, QString &why)
{
    qint64 length = -1;
    for (const QByteArray &text : head.contentLengths) {
        bool ok = false;
        const qint64 value = text.toLongLong(&ok);
        if (!ok || value < 0) {
            why = QStringLiteral("The server announced an invalid length (%1)").arg(QString::fromLatin1(text));
            return -2;
        }
        if (length >= 0 && value != length) {
            why = QStringLiteral("The server announced two different lengths (%1 and %2)").arg(length).arg(value);
            return -2;
        }
        length = value;
    }
    return length;
}

HeadVerdict judgePart(const ResponseHead &head, qint64 asked, qint64 length)
{
    if (asked < 0)
        return refuse(QStringLiteral("The server sent part of the file (206 Partial Content) when the whole file "
                                     "was asked for"));
    // Range units compare without regard to case.
    static const QRegularExpression range(QStringLiteral("^bytes\\s+(\\d+)-(\\d+)/(\\d+|\\*)$"),
                                          QRegularExpression::CaseInsensitiveOption);
    const QRegularExpressionMatch match = range.match(QString::fromLatin1(head.contentRange));
    bool firstFits = false;
    bool lastFits = false;
    bool totalFits = true;
    const qint64 first = match.captured(1).toLongLong(&firstFits);
    const qint64 last = match.captured(2).toLongLong(&lastFits);
    const bool totalKnown = match.captured(3) != QLatin1String("*");
    const qint64 total = totalKnown ? match.captured(3).toLongLong(&totalFits) : -1;
    // Figures past 64 bits make no range (and would read as 0), nor does a
    // range that ends before it starts or at or past the file's end.
    if (!match.hasMatch() || !firstFits || !lastFits || !totalFits || last < first || (totalKnown && last >= total))
        return refuse(QStringLiteral("The server sent part of the file without a valid Content-Range (%1)")
                          .arg(QString::fromLatin1(head.contentRange)));
    if (first != asked)
        return refuse(QStringLiteral("The server resumed at byte %1 instead of %2").arg(first).arg(asked));
    // We ask for the rest of the file: a part that stops before its end
    // can never complete it.
    if (totalKnown && last != total - 1)
        return refuse(QStringLiteral("The server sent a part that stops short of the file's end (%1)")
                          .arg(QString::fromLatin1(head.contentRange)));
    if (length >= 0 && length != last - first + 1)
        return refuse(QStringLiteral("The server announced %1 bytes for a part of %2 (%3)")
                          .arg(length)
                          .arg(last - first + 1)
                          .arg(QString::fromLatin1(head.contentRange)));
    return body(first, totalKnown ? total : last + 1);
}

} // namespace

HeadVerdict judgeHead(const ResponseHead &head, qint64 asked, bool conditional)
{
    if (isFollowedRedirect(head.status) && !head.location.isEmpty()) {
        HeadVerdict verdict;
        verdict.action = HeadVerdict::Action::Redirect;
        return verdict;
    }
    if (head.status == 304 && conditional) {
        HeadVerdict verdict;
        verdict.action = HeadVerdict::Action::NotModified;
        return verdict;
    }
    if (head.status < 200 || head.status > 299)
        return refuse(QStringLiteral("The server answered %1 %2")
                          .arg(head.status)
                          .arg(QString::fromLatin1(head.reason))
                          .trimmed());
    if (head.status == 204)
        return refuse(QStringLiteral("The server sent no file (204 No Content)"));
    QString why;
    // A chunked body carries its own framing; a length beside it is ignored.
    const qint64 length = head.chunked ? -1 : announcedLength(head, why);
    if (length == -2)
        return refuse(why);
    if (head.status == 206)
        return judgePart(head, asked, length);
    return body(0, length);
}

QByteArray resumeValidator(const ResponseHead &head)
{
    if (!head.acceptsRanges)
        return QByteArray();
    if (!head.etag.isEmpty() && !head.etag.startsWith("W/"))
        return head.etag;
    return head.lastModified;
}

} // namespace platform
