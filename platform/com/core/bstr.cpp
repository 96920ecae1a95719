#include "platform/com/core/bstr.h"

namespace platform::com {

static_assert(sizeof(QChar) == sizeof(OLECHAR));

BSTR bstrFromQString(const QString &text)
{
    return SysAllocStringLen(reinterpret_cast<const OLECHAR *>(text.utf16()), UINT(text.size()));
}

QString qstringFromBstr(BSTR bstr)
{
    if (!bstr)
        return QString();
    return QString(reinterpret_cast<const QChar *>(bstr), qsizetype(SysStringLen(bstr)));
}

QString qstringFromOleString(LPCOLESTR text)
{
    return QString::fromUtf16(reinterpret_cast<const char16_t *>(text));
}

} // namespace platform::com
