#include "platform/com/core/guid.h"

#include <QUuid>

namespace platform::com {

QString guidToString(REFGUID guid)
{
    const QUuid uuid(guid.Data1, guid.Data2, guid.Data3, guid.Data4[0], guid.Data4[1], guid.Data4[2], guid.Data4[3],
                     guid.Data4[4], guid.Data4[5], guid.Data4[6], guid.Data4[7]);
    return uuid.toString(QUuid::WithBraces).toUpper();
}

std::optional<GUID> guidFromString(const QString &text)
{
    const QString t = text.trimmed();
    const bool braced = t.startsWith(QLatin1Char('{'));
    if (t.size() != (braced ? 38 : 36) || (braced && !t.endsWith(QLatin1Char('}'))))
        return std::nullopt;
    const QUuid uuid = QUuid::fromString(t);
    if (uuid.isNull() && t.count(QLatin1Char('0')) != 32)
        return std::nullopt;
    GUID g{};
    g.Data1 = uuid.data1;
    g.Data2 = uuid.data2;
    g.Data3 = uuid.data3;
    for (int i = 0; i < 8; ++i)
        g.Data4[i] = uuid.data4[i];
    return g;
}

} // namespace platform::com
