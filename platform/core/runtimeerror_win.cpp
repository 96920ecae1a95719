#include "platform/core/runtimeerror.h"

#include <windows.h>

namespace platform {

RuntimeError errorFromWindowsError(unsigned long error)
{
    switch (error) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_MOD_NOT_FOUND: return RuntimeError(ErrFileNotFound);
    case ERROR_PATH_NOT_FOUND:
    case ERROR_DIRECTORY: return RuntimeError(ErrPathNotFound);
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return RuntimeError(ErrDiskFull);
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_BAD_EXE_FORMAT: return RuntimeError(ErrPermissionDenied);
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return RuntimeError(ErrFileExists);
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME:
    case ERROR_FILENAME_EXCED_RANGE: return RuntimeError(ErrBadFileName);
    default: return RuntimeError(ErrPathFileAccess);
    }
}

} // namespace platform
