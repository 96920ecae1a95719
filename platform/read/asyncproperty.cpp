#include "platform/read/asyncproperty.h"

namespace platform {

QString AsyncProperty::Value() const
{
    if (failure)
        throw *failure;
    if (localFile.isEmpty())
        throw RuntimeError(ErrInvalidCall, QStringLiteral("The read has not completed"));
    return localFile;
}

} // namespace platform
