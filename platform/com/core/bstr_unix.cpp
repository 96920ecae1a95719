// The BSTR functions of this runtime, where Windows has its own.

#include "platform/com/core/bstr.h"

#include <cstdlib>
#include <cstring>
#include <limits>

namespace platform::com {

namespace {

constexpr std::size_t kPrefix = sizeof(std::uint32_t);

std::uint32_t *prefixOf(BSTR bstr)
{
    return reinterpret_cast<std::uint32_t *>(reinterpret_cast<char *>(bstr) - kPrefix);
}

std::size_t lengthOf(const OLECHAR *text)
{
    std::size_t n = 0;
    while (text[n])
        ++n;
    return n;
}

} // namespace

BSTR SysAllocStringLen(const OLECHAR *text, UINT len)
{
    // The byte length must fit the 32-bit prefix.
    if (len > (std::numeric_limits<std::uint32_t>::max() - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR))
        return nullptr;
    const std::uint32_t bytes = len * sizeof(OLECHAR);
    char *block = static_cast<char *>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
    if (!block)
        return nullptr;
    std::memcpy(block, &bytes, kPrefix);
    BSTR result = reinterpret_cast<BSTR>(block + kPrefix);
    if (text)
        std::memcpy(result, text, bytes);
    else
        std::memset(result, 0, bytes);
    result[len] = 0;
    return result;
}

BSTR SysAllocString(const OLECHAR *text)
{
    if (!text)
        return nullptr;
    const std::size_t len = lengthOf(text);
    if (len > std::numeric_limits<UINT>::max())
        return nullptr;
    return SysAllocStringLen(text, UINT(len));
}

void SysFreeString(BSTR bstr)
{
    if (bstr)
        std::free(prefixOf(bstr));
}

BOOL SysReAllocString(BSTR *bstr, const OLECHAR *text)
{
    if (!bstr)
        return FALSE;
    BSTR copy = SysAllocString(text);
    if (text && !copy)
        return FALSE;
    SysFreeString(*bstr);
    *bstr = copy;
    return TRUE;
}

UINT SysStringByteLen(BSTR bstr)
{
    if (!bstr)
        return 0;
    std::uint32_t bytes = 0;
    std::memcpy(&bytes, prefixOf(bstr), kPrefix);
    return bytes;
}

UINT SysStringLen(BSTR bstr)
{
    return SysStringByteLen(bstr) / sizeof(OLECHAR);
}

} // namespace platform::com
