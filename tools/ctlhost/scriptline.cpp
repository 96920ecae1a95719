#include "tools/ctlhost/scriptline.h"

#include <bit>
#include <cstdint>
#include <stdexcept>

namespace {

[[noreturn]] void bad(const QString &why)
{
    throw std::invalid_argument(why.toStdString());
}

// Reads a quoted word starting at text[i] == '"'; returns it with its quotes
// and escapes undone inside, and moves i past the closing quote.
QString readQuoted(const QString &text, qsizetype &i)
{
    QString word = QStringLiteral("\"");
    for (++i; i < text.size(); ++i) {
        const QChar c = text[i];
        if (c == QLatin1Char('"')) {
            ++i;
            return word + QLatin1Char('"');
        }
        if (c != QLatin1Char('\\')) {
            word += c;
            continue;
        }
        if (++i >= text.size())
            bad(QStringLiteral("unfinished escape"));
        switch (text[i].unicode()) {
        case 'n': word += QLatin1Char('\n'); break;
        case 't': word += QLatin1Char('\t'); break;
        case 'r': word += QLatin1Char('\r'); break;
        case '"': word += QLatin1Char('"'); break;
        case '\\': word += QLatin1Char('\\'); break;
        case 'x': {
            bool ok = false;
            const uint code = text.mid(i + 1, 2).toUInt(&ok, 16);
            if (!ok)
                bad(QStringLiteral("bad \\x escape"));
            word += QChar(code);
            i += 2;
            break;
        }
        default: bad(QStringLiteral("unknown escape \\") + text[i]);
        }
    }
    bad(QStringLiteral("missing closing quote"));
}

} // namespace

QStringList splitScriptLine(const QString &line)
{
    QStringList words;
    qsizetype i = 0;
    while (i < line.size()) {
        if (line[i].isSpace()) {
            ++i;
            continue;
        }
        if (line[i] == QLatin1Char('"')) {
            words << readQuoted(line, i);
            continue;
        }
        const qsizetype start = i;
        while (i < line.size() && !line[i].isSpace())
            ++i;
        words << line.mid(start, i - start);
    }
    return words;
}

platform::Variant parseScriptValue(const QString &word)
{
    if (word.size() >= 2 && word.startsWith(QLatin1Char('"')) && word.endsWith(QLatin1Char('"')))
        return platform::Variant(word.mid(1, word.size() - 2));
    if (word == QLatin1String("true"))
        return platform::Variant(true);
    if (word == QLatin1String("false"))
        return platform::Variant(false);
    bool ok = false;
    if (word.startsWith(QLatin1String("i2:"))) {
        const short v = word.mid(3).toShort(&ok);
        if (ok)
            return platform::Variant(std::int16_t(v));
    } else if (word.startsWith(QLatin1String("r8:"))) {
        const double v = word.mid(3).toDouble(&ok);
        if (ok)
            return platform::Variant(v);
    } else {
        const int v = word.toInt(&ok);
        if (ok)
            return platform::Variant(std::int32_t(v));
    }
    bad(QStringLiteral("not a value: ") + word);
}

int parseDispid(const QString &word)
{
    // Unsigned 32-bit arithmetic throughout: -2147483648 has no positive twin.
    const bool negative = word.startsWith(QLatin1Char('-'));
    const QStringView digits = QStringView(word).mid(negative ? 1 : 0);
    const bool hex = digits.startsWith(QLatin1String("0x"), Qt::CaseInsensitive);
    bool ok = false;
    const qulonglong magnitude = hex ? digits.mid(2).toULongLong(&ok, 16) : digits.toULongLong(&ok, 10);
    // Hexadecimal is the DISPID's bit pattern; a decimal is a signed Long.
    const qulonglong limit = negative ? 0x80000000ULL : hex ? 0xFFFFFFFFULL : 0x7FFFFFFFULL;
    if (!ok || magnitude > limit)
        bad(QStringLiteral("not a DISPID: ") + word);
    const std::uint32_t bits = std::uint32_t(magnitude);
    return std::bit_cast<std::int32_t>(negative ? 0u - bits : bits);
}

QString quoted(const QString &text)
{
    QString out = QStringLiteral("\"");
    for (const QChar c : text) {
        switch (c.unicode()) {
        case '"': out += QLatin1String("\\\""); break;
        case '\\': out += QLatin1String("\\\\"); break;
        case '\n': out += QLatin1String("\\n"); break;
        case '\r': out += QLatin1String("\\r"); break;
        case '\t': out += QLatin1String("\\t"); break;
        default: out += c;
        }
    }
    return out + QLatin1Char('"');
}

QString formatValue(const platform::Variant &value)
{
    using Type = platform::Variant::Type;
    switch (value.type()) {
    case Type::Empty:
    case Type::String: return quoted(value.toString());
    case Type::Boolean: return value.toBool() ? QStringLiteral("true") : QStringLiteral("false");
    default: return value.toString();
    }
}

QString formatDispid(int dispid)
{
    if (dispid < 0)
        return QString::number(dispid);
    return QString::asprintf("0x%08X", unsigned(dispid));
}
