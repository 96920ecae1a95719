#include "platform/com/control/application.h"

#include <QApplication>

namespace platform::com {

bool ensureApplication()
{
    return qobject_cast<QApplication *>(QCoreApplication::instance()) != nullptr;
}

} // namespace platform::com
