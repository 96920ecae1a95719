#pragma once

#include "platform/com/core/types.h"

// The application object that controls need, and the thread they live on.
namespace platform::com {

// Whether a QApplication exists for controls to live in. On Linux the host
// makes it. On Windows a host that isn't a Qt program (a script host, any
// COM client) gets one made here on first use, with Qt's plugins looked up
// beside the module; it stays for the rest of the process, and so does the
// module, since Qt can't be unloaded. CO_E_NOTINITIALIZED when the host
// made a Qt application without widgets; on Windows
// HRESULT_FROM_WIN32(ERROR_MOD_NOT_FOUND) when Qt's platform plugin isn't
// there (Qt would end the host's process), so that creating a control fails
// as an error the host can handle.
HRESULT ensureApplication();

// Whether the caller runs on the thread of the application object, the
// only thread on which controls may be created and used.
bool onUserInterfaceThread();

} // namespace platform::com
