#include "versioncompare.h"

namespace {

bool isDigit(QChar c)
{
    return c >= QLatin1Char('0') && c <= QLatin1Char('9');
}

int sign(qsizetype x)
{
    return x < 0 ? -1 : (x > 0 ? 1 : 0);
}

// The digit run at pos, without its leading zeros; pos moves past the run.
QStringView digitRun(const QString &text, qsizetype &pos)
{
    while (pos < text.size() && text[pos] == QLatin1Char('0') && pos + 1 < text.size() && isDigit(text[pos + 1]))
        ++pos;
    const qsizetype start = pos;
    while (pos < text.size() && isDigit(text[pos]))
        ++pos;
    return QStringView(text).mid(start, pos - start);
}

} // namespace

int compareVersions(const QString &a, const QString &b)
{
    qsizetype i = 0;
    qsizetype j = 0;
    while (i < a.size() && j < b.size()) {
        if (isDigit(a[i]) && isDigit(b[j])) {
            // Compared as digit strings, so no number is ever too long.
            const QStringView x = digitRun(a, i);
            const QStringView y = digitRun(b, j);
            if (x.size() != y.size())
                return sign(x.size() - y.size());
            if (const int c = x.compare(y); c != 0)
                return sign(c);
            continue;
        }
        if (a[i] != b[j])
            return a[i].unicode() < b[j].unicode() ? -1 : 1;
        ++i;
        ++j;
    }
    if (i < a.size() || j < b.size())
        return i < a.size() ? 1 : -1;
    return sign(a.compare(b));
}
