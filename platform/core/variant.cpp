#include "platform/core/variant.h"

#include "platform/core/runtimeerror.h"

#include <QLocale>
#include <cmath>
#include <limits>

namespace platform {

namespace {

// Parses a numeric text the way the platform's conversions accept it:
// surrounding blanks allowed, decimal point, exponent, &H hex.
bool parseNumber(const QString &text, double &out)
{
    const QString t = text.trimmed();
    if (t.isEmpty())
        return false;
    if (t.startsWith(QLatin1String("&H"), Qt::CaseInsensitive)) {
        bool ok = false;
        const qlonglong v = t.mid(2).toLongLong(&ok, 16);
        out = static_cast<double>(v);
        return ok;
    }
    bool ok = false;
    out = QLocale::c().toDouble(t, &ok);
    return ok && std::isfinite(out);
}

bool parseBool(const QString &text, bool &out)
{
    const QString t = text.trimmed();
    if (t.compare(QLatin1String("True"), Qt::CaseInsensitive) == 0) {
        out = true;
        return true;
    }
    if (t.compare(QLatin1String("False"), Qt::CaseInsensitive) == 0) {
        out = false;
        return true;
    }
    double d = 0;
    if (parseNumber(t, d)) {
        out = d != 0;
        return true;
    }
    return false;
}

template <typename Int>
Int roundChecked(double x)
{
    if (!std::isfinite(x))
        throw RuntimeError(ErrOverflow);
    const double r = std::nearbyint(x);
    if (r < static_cast<double>(std::numeric_limits<Int>::min()) || r > static_cast<double>(std::numeric_limits<Int>::max()))
        throw RuntimeError(ErrOverflow);
    return static_cast<Int>(r);
}

} // namespace

std::int16_t roundToInt16(double x) { return roundChecked<std::int16_t>(x); }
std::int32_t roundToInt32(double x) { return roundChecked<std::int32_t>(x); }

std::int16_t checkedInt16(std::int64_t x)
{
    if (x < std::numeric_limits<std::int16_t>::min() || x > std::numeric_limits<std::int16_t>::max())
        throw RuntimeError(ErrOverflow);
    return static_cast<std::int16_t>(x);
}

std::int32_t checkedInt32(std::int64_t x)
{
    if (x < std::numeric_limits<std::int32_t>::min() || x > std::numeric_limits<std::int32_t>::max())
        throw RuntimeError(ErrOverflow);
    return static_cast<std::int32_t>(x);
}

QString Variant::toString() const
{
    switch (type()) {
    case Type::Empty: return QString();
    case Type::String: return std::get<QString>(m_value);
    case Type::Boolean: return std::get<bool>(m_value) ? QStringLiteral("True") : QStringLiteral("False");
    case Type::Integer: return QString::number(std::get<std::int16_t>(m_value));
    case Type::Long: return QString::number(std::get<std::int32_t>(m_value));
    case Type::Single: return QString::number(std::get<float>(m_value), 'g', 7);
    case Type::Double: return QString::number(std::get<double>(m_value), 'g', 15);
    }
    return QString();
}

double Variant::toDouble() const
{
    switch (type()) {
    case Type::Empty: return 0;
    case Type::String: {
        double d = 0;
        if (!parseNumber(std::get<QString>(m_value), d)) {
            bool b = false;
            if (parseBool(std::get<QString>(m_value), b))
                return b ? -1 : 0;
            throw RuntimeError(ErrTypeMismatch);
        }
        return d;
    }
    case Type::Boolean: return std::get<bool>(m_value) ? -1 : 0;
    case Type::Integer: return std::get<std::int16_t>(m_value);
    case Type::Long: return std::get<std::int32_t>(m_value);
    case Type::Single: return std::get<float>(m_value);
    case Type::Double: return std::get<double>(m_value);
    }
    return 0;
}

bool Variant::toBool() const
{
    if (type() == Type::Boolean)
        return std::get<bool>(m_value);
    if (type() == Type::String) {
        bool b = false;
        if (!parseBool(std::get<QString>(m_value), b))
            throw RuntimeError(ErrTypeMismatch);
        return b;
    }
    return toDouble() != 0;
}

std::int16_t Variant::toInt16() const { return roundToInt16(toDouble()); }
std::int32_t Variant::toInt32() const { return roundToInt32(toDouble()); }

float Variant::toSingle() const
{
    const double d = toDouble();
    if (std::fabs(d) > std::numeric_limits<float>::max())
        throw RuntimeError(ErrOverflow);
    return static_cast<float>(d);
}

bool Variant::sameValue(const Variant &other) const
{
    const bool textA = type() == Type::String || type() == Type::Empty;
    const bool textB = other.type() == Type::String || other.type() == Type::Empty;
    if (textA && textB)
        return toString() == other.toString();
    if (textA || textB)
        return false;
    return toDouble() == other.toDouble();
}

} // namespace platform
