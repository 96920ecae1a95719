#pragma once

#include "platform/com/core/types.h"

#include <QString>

namespace platform::com {

#ifdef _WIN32
using ::BSTR;
using ::SysAllocString;
using ::SysAllocStringLen;
using ::SysFreeString;
using ::SysReAllocString;
using ::SysStringByteLen;
using ::SysStringLen;
#else
// A length-prefixed UTF-16 string: the pointer addresses the first
// character; the 32-bit byte length sits just before it and a NUL follows
// the last character. A null BSTR is a valid empty string. BSTRs are
// allocated with the C heap, so any module may free one that another made.
using BSTR = OLECHAR *;

// A new BSTR holding the NUL-terminated text; null for a null pointer.
BSTR SysAllocString(const OLECHAR *text);
// A new BSTR of len characters copied from text, or zero-filled when text
// is null. Null when memory runs out.
BSTR SysAllocStringLen(const OLECHAR *text, UINT len);
// Frees a BSTR; null is allowed.
void SysFreeString(BSTR bstr);
// Replaces *bstr by a copy of text. Returns FALSE when memory runs out.
BOOL SysReAllocString(BSTR *bstr, const OLECHAR *text);
// Characters in the string (not counting the NUL); 0 for null.
UINT SysStringLen(BSTR bstr);
// Bytes in the string (not counting the NUL); 0 for null.
UINT SysStringByteLen(BSTR bstr);
#endif

// A new BSTR holding the text (an empty, non-null BSTR for an empty text).
BSTR bstrFromQString(const QString &text);
// The text of a BSTR; a null BSTR gives an empty text.
QString qstringFromBstr(BSTR bstr);
// The text of a NUL-terminated OLE string; a null pointer gives an empty text.
QString qstringFromOleString(LPCOLESTR text);

} // namespace platform::com
