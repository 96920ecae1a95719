#pragma once

#include "platform/com/core/types.h"

#include <QString>
#include <utility>

// Linux only (Windows loads libraries itself): hosts, regsvr and the
// library's own registration load control libraries through this.
namespace platform::com {

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

} // namespace platform::com
