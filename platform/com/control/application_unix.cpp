#include "platform/com/control/application.h"

#include <QApplication>

namespace platform::com {

HRESULT ensureApplication()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance()) ? S_OK : CO_E_NOTINITIALIZED;
}

} // namespace platform::com
