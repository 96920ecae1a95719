#pragma once

#include <QString>
#include <cstdint>
#include <variant>

namespace platform {

// A typed value as the component boundary and the property bag carry it:
// Empty, String, Boolean, Integer (16-bit), Long (32-bit), Single, Double.
// Conversions follow the platform's rules: a text that is no number or
// Boolean raises "Type mismatch" (13), a number outside the target raises
// "Overflow" (6), and floating point rounds halves to the even neighbour.
class Variant {
public:
    enum class Type { Empty, String, Boolean, Integer, Long, Single, Double };

    Variant() = default;
    Variant(const QString &s) : m_value(s) {}
    Variant(const char *s) : m_value(QString::fromUtf8(s)) {}
    Variant(bool b) : m_value(b) {}
    Variant(std::int16_t i) : m_value(i) {}
    Variant(std::int32_t l) : m_value(l) {}
    Variant(float f) : m_value(f) {}
    Variant(double d) : m_value(d) {}

    Type type() const { return static_cast<Type>(m_value.index()); }
    bool isEmpty() const { return type() == Type::Empty; }

    QString toString() const;
    bool toBool() const;
    std::int16_t toInt16() const;
    std::int32_t toInt32() const;
    float toSingle() const;
    double toDouble() const;

    // Whether a value written with this default would be left out of a bag:
    // texts compare as texts, numbers and Booleans by value; a text never
    // equals a number or a Boolean.
    bool sameValue(const Variant &other) const;

    bool operator==(const Variant &other) const = default;

private:
    std::variant<std::monostate, QString, bool, std::int16_t, std::int32_t, float, double> m_value;
};

// Rounds to the nearest integer, halves to the even neighbour, and raises
// Overflow when the result does not fit the target width.
std::int16_t roundToInt16(double x);
std::int32_t roundToInt32(double x);
// Checked narrowing of an exact integer.
std::int16_t checkedInt16(std::int64_t x);
std::int32_t checkedInt32(std::int64_t x);

} // namespace platform
