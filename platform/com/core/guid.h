#pragma once

#include "platform/com/core/types.h"

#include <QString>
#include <cstddef>
#include <functional>
#include <optional>

namespace platform::com {

#ifdef _WIN32
// REFGUID, REFIID and REFCLSID are macros of the Windows headers.
using ::CLSID;
using ::GUID;
using ::IID;
#else
// A 128-bit identifier laid out as in COM.
struct GUID {
    std::uint32_t Data1;
    std::uint16_t Data2;
    std::uint16_t Data3;
    std::uint8_t Data4[8];

    friend constexpr bool operator==(const GUID &a, const GUID &b)
    {
        if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3)
            return false;
        for (int i = 0; i < 8; ++i) {
            if (a.Data4[i] != b.Data4[i])
                return false;
        }
        return true;
    }
};

using IID = GUID;
using CLSID = GUID;
using REFGUID = const GUID &;
using REFIID = const IID &;
using REFCLSID = const CLSID &;

inline constexpr GUID GUID_NULL{};
inline constexpr IID IID_NULL{};
#endif

namespace detail {
consteval std::uint32_t hexDigits(const char *s, int count)
{
    std::uint32_t v = 0;
    for (int i = 0; i < count; ++i) {
        const char c = s[i];
        const int d = c >= '0' && c <= '9' ? c - '0'
            : c >= 'A' && c <= 'F'         ? c - 'A' + 10
            : c >= 'a' && c <= 'f'         ? c - 'a' + 10
                                           : throw "not a hexadecimal digit";
        v = v * 16 + std::uint32_t(d);
    }
    return v;
}
} // namespace detail

// A GUID written "8CBBE234-A5F0-4D48-AD0A-DCB8DCE575BA", parsed at compile time.
consteval GUID makeGuid(const char (&s)[37])
{
    if (s[8] != '-' || s[13] != '-' || s[18] != '-' || s[23] != '-')
        throw "GUID needs the form XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX";
    GUID g{};
    g.Data1 = detail::hexDigits(s, 8);
    g.Data2 = std::uint16_t(detail::hexDigits(s + 9, 4));
    g.Data3 = std::uint16_t(detail::hexDigits(s + 14, 4));
    g.Data4[0] = std::uint8_t(detail::hexDigits(s + 19, 2));
    g.Data4[1] = std::uint8_t(detail::hexDigits(s + 21, 2));
    for (int i = 0; i < 6; ++i)
        g.Data4[2 + i] = std::uint8_t(detail::hexDigits(s + 24 + 2 * i, 2));
    return g;
}

#ifndef _WIN32
inline bool IsEqualGUID(REFGUID a, REFGUID b) { return a == b; }
#endif

// "{8CBBE234-A5F0-4D48-AD0A-DCB8DCE575BA}": upper case, with braces.
QString guidToString(REFGUID guid);
// Parses the form above, with or without braces, in either case; nothing
// for any other text.
std::optional<GUID> guidFromString(const QString &text);

} // namespace platform::com

template <>
struct std::hash<platform::com::GUID> {
    std::size_t operator()(const platform::com::GUID &g) const noexcept
    {
        std::size_t h = g.Data1;
        h = h * 31 + g.Data2;
        h = h * 31 + g.Data3;
        for (auto b : g.Data4)
            h = h * 31 + b;
        return h;
    }
};
