#include "platform/com/control/application.h"

#include <QCoreApplication>
#include <QThread>

namespace platform::com {

bool onUserInterfaceThread()
{
    const QCoreApplication *app = QCoreApplication::instance();
    return app && QThread::currentThread() == app->thread();
}

} // namespace platform::com
