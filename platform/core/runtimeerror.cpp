#include "platform/core/runtimeerror.h"

#include <cerrno>

namespace platform {

RuntimeError::RuntimeError(int number)
    : RuntimeError(number, standardDescription(number))
{
}

RuntimeError::RuntimeError(int number, QString description)
    : m_number(number), m_description(std::move(description)),
      m_what(QString::number(number).append(QStringLiteral(" - ")).append(m_description).toStdString())
{
}

QString RuntimeError::standardDescription(int number)
{
    switch (number) {
    case ErrInvalidCall: return QStringLiteral("Invalid procedure call or argument");
    case ErrOverflow: return QStringLiteral("Overflow");
    case ErrDivisionByZero: return QStringLiteral("Division by zero");
    case ErrTypeMismatch: return QStringLiteral("Type mismatch");
    case ErrBadFileName: return QStringLiteral("Bad file name or number");
    case ErrFileNotFound: return QStringLiteral("File not found");
    case ErrFileExists: return QStringLiteral("File already exists");
    case ErrDiskFull: return QStringLiteral("Disk full");
    case ErrInputPastEnd: return QStringLiteral("Input past end of file");
    case ErrPermissionDenied: return QStringLiteral("Permission denied");
    case ErrPathFileAccess: return QStringLiteral("Path/File access error");
    case ErrPathNotFound: return QStringLiteral("Path not found");
    case ErrInvalidPropertyValue: return QStringLiteral("Invalid property value");
    case ErrCantCreateObject: return QStringLiteral("ActiveX component can't create object");
    case ErrNoAutomation: return QStringLiteral("Class does not support Automation or does not support expected interface");
    case ErrNoSuchMember: return QStringLiteral("Object doesn't support this property or method");
    case ErrAutomation: return QStringLiteral("Automation error");
    case ErrWrongArguments: return QStringLiteral("Wrong number of arguments or invalid property assignment");
    default: return QStringLiteral("Application-defined or object-defined error");
    }
}

RuntimeError errorFromErrno(int err)
{
    switch (err) {
    case ENOENT: return RuntimeError(ErrFileNotFound);
    case ENOTDIR: return RuntimeError(ErrPathNotFound);
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY: return RuntimeError(ErrPermissionDenied);
    case EEXIST: return RuntimeError(ErrFileExists);
#ifdef EDQUOT // not in Windows' C library
    case EDQUOT:
#endif
    case ENOSPC: return RuntimeError(ErrDiskFull);
    case ENAMETOOLONG:
    case EINVAL: return RuntimeError(ErrBadFileName);
    default: return RuntimeError(ErrPathFileAccess);
    }
}

} // namespace platform
