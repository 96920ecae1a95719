#pragma once

#include "platform/com/core/dispatch.h"

#include <QString>

namespace platform::com {

#ifndef _WIN32
// A control library loaded into the process. Libraries stay loaded for the
// rest of the process: Qt keeps pointers into code it has run (meta
// objects, plugins), so unloading is never safe.
class Library {
public:
    using EntryPoint = HRESULT (*)();

    // Loads the library file at path (or finds it already loaded). Null on
    // failure, with the reason in *error.
    static Library *load(const QString &path, QString *error);

    // The exported function, or null when the library has none by that name.
    void *resolve(const char *name) const;
    QString path() const { return m_path; }

private:
    explicit Library(QString path, void *handle) : m_path(std::move(path)), m_handle(handle) {}

    QString m_path;
    void *m_handle;
};
#endif

// The absolute path of the loaded file that contains the address.
QString modulePathOf(const void *address);

#ifdef _WIN32
// The type library embedded as resource 1 in the module that contains this
// code (Update.dll for the controls), loaded once for the process; Windows
// loads libraries itself, so there is no Library class here.
HRESULT moduleTypeLib(ITypeLib **typeLib);
// The type information of one type (class or interface) of that library.
HRESULT moduleTypeInfo(REFGUID guid, ITypeInfo **typeInfo);
#endif

} // namespace platform::com
