#pragma once

#include <cstdint>

// The scalar types and status codes of the component runtime, named and
// valued as in COM so that host code reads the same.
//
// On Windows the runtime is Windows' own COM: the types, status codes and
// interfaces are those of the Windows headers (whose status codes and
// constants are macros), brought into this namespace under the same names.
// Elsewhere they are this runtime's own. Implementations of COM methods
// are declared STDMETHODCALLTYPE, the calling convention of COM on Windows
// (the same as C++'s on 64-bit Windows, different on 32-bit).
#ifdef _WIN32

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>
#include <ole2.h>
#include <ocidl.h>
#include <olectl.h>

namespace platform::com {
using ::BOOL;
using ::DISPID;
using ::DWORD;
using ::HRESULT;
using ::LCID;
using ::LONG;
using ::LPCOLESTR;
using ::LPOLESTR;
using ::MEMBERID;
using ::OLECHAR;
using ::SCODE;
using ::SHORT;
using ::UINT;
using ::ULONG;
using ::USHORT;
using ::VARIANT_BOOL;
using ::VARTYPE;
using ::WORD;
} // namespace platform::com

#else

#define STDMETHODCALLTYPE

namespace platform::com {

using HRESULT = std::int32_t;
using SCODE = std::int32_t;
using ULONG = std::uint32_t;
using DWORD = std::uint32_t;
using WORD = std::uint16_t;
using UINT = std::uint32_t;
using USHORT = std::uint16_t;
using BOOL = std::int32_t;
using LONG = std::int32_t;
using SHORT = std::int16_t;
using LCID = std::uint32_t;
using DISPID = std::int32_t;
using MEMBERID = DISPID;
using VARTYPE = std::uint16_t;
using VARIANT_BOOL = std::int16_t;
using OLECHAR = char16_t;
using LPOLESTR = OLECHAR *;
using LPCOLESTR = const OLECHAR *;
#define OLESTR(text) u##text

inline constexpr BOOL TRUE = 1;
inline constexpr BOOL FALSE = 0;
inline constexpr VARIANT_BOOL VARIANT_TRUE = -1;
inline constexpr VARIANT_BOOL VARIANT_FALSE = 0;

inline constexpr HRESULT hr(std::uint32_t value) { return static_cast<HRESULT>(value); }

inline constexpr HRESULT S_OK = 0;
inline constexpr HRESULT S_FALSE = 1;
inline constexpr HRESULT E_NOTIMPL = hr(0x80004001);
inline constexpr HRESULT E_NOINTERFACE = hr(0x80004002);
inline constexpr HRESULT E_POINTER = hr(0x80004003);
inline constexpr HRESULT E_ABORT = hr(0x80004004);
inline constexpr HRESULT E_FAIL = hr(0x80004005);
inline constexpr HRESULT E_UNEXPECTED = hr(0x8000FFFF);
inline constexpr HRESULT E_OUTOFMEMORY = hr(0x8007000E);
inline constexpr HRESULT E_INVALIDARG = hr(0x80070057);
inline constexpr HRESULT E_ACCESSDENIED = hr(0x80070005);
inline constexpr HRESULT CLASS_E_NOAGGREGATION = hr(0x80040110);
inline constexpr HRESULT CLASS_E_CLASSNOTAVAILABLE = hr(0x80040111);
inline constexpr HRESULT REGDB_E_CLASSNOTREG = hr(0x80040154);
inline constexpr HRESULT REGDB_E_WRITEREGDB = hr(0x80040151);
inline constexpr HRESULT REGDB_E_READREGDB = hr(0x80040150);
inline constexpr HRESULT SELFREG_E_TYPELIB = hr(0x80040200);
inline constexpr HRESULT SELFREG_E_CLASS = hr(0x80040201);
inline constexpr HRESULT CO_E_NOTINITIALIZED = hr(0x800401F0);
inline constexpr HRESULT CO_E_CLASSSTRING = hr(0x800401F3);
inline constexpr HRESULT CO_E_DLLNOTFOUND = hr(0x800401F8);
inline constexpr HRESULT CO_E_ERRORINDLL = hr(0x800401F9);
inline constexpr HRESULT CO_E_OBJNOTCONNECTED = hr(0x800401FD);
inline constexpr HRESULT RPC_E_WRONG_THREAD = hr(0x8001010E);
inline constexpr HRESULT CONNECT_E_NOCONNECTION = hr(0x80040200);
inline constexpr HRESULT CONNECT_E_CANNOTCONNECT = hr(0x80040202);
inline constexpr HRESULT DISP_E_UNKNOWNINTERFACE = hr(0x80020001);
inline constexpr HRESULT DISP_E_MEMBERNOTFOUND = hr(0x80020003);
inline constexpr HRESULT DISP_E_PARAMNOTFOUND = hr(0x80020004);
inline constexpr HRESULT DISP_E_TYPEMISMATCH = hr(0x80020005);
inline constexpr HRESULT DISP_E_UNKNOWNNAME = hr(0x80020006);
inline constexpr HRESULT DISP_E_NONAMEDARGS = hr(0x80020007);
inline constexpr HRESULT DISP_E_BADVARTYPE = hr(0x80020008);
inline constexpr HRESULT DISP_E_EXCEPTION = hr(0x80020009);
inline constexpr HRESULT DISP_E_OVERFLOW = hr(0x8002000A);
inline constexpr HRESULT DISP_E_BADPARAMCOUNT = hr(0x8002000E);

inline constexpr bool SUCCEEDED(HRESULT h) { return h >= 0; }
inline constexpr bool FAILED(HRESULT h) { return h < 0; }

inline constexpr std::uint32_t SEVERITY_ERROR = 1;
inline constexpr std::uint32_t FACILITY_CONTROL = 10;
inline constexpr HRESULT MAKE_HRESULT(std::uint32_t severity, std::uint32_t facility, std::uint32_t code)
{
    return static_cast<HRESULT>((severity << 31) | (facility << 16) | (code & 0xFFFF));
}
inline constexpr std::uint32_t HRESULT_FACILITY(HRESULT h) { return (static_cast<std::uint32_t>(h) >> 16) & 0x1FFF; }
inline constexpr std::uint32_t HRESULT_CODE(HRESULT h) { return static_cast<std::uint32_t>(h) & 0xFFFF; }

} // namespace platform::com

#endif
