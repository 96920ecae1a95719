#pragma once

#include "platform/com/core/guid.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>
#include <functional>
#include <optional>

namespace platform::com {

// The class registry, as the XDG base-directory rules lay it out: a per-user
// file, $XDG_DATA_HOME/tarnwick/com-registry.json (XDG_DATA_HOME defaults to
// ~/.local/share), and system-wide ones, tarnwick/com-registry.json under
// each folder of $XDG_DATA_DIRS (default /usr/local/share:/usr/share). Each
// maps ProgIDs to class identifiers and class identifiers to the library
// that serves them, and keeps what registration records about type
// libraries, classes and interfaces. A lookup takes the first file, the
// per-user one first, that has the entry. Changes are made under a lock
// file and written atomically. Failures raise a platform::RuntimeError
// naming the file.
class Registry {
public:
    // The per-user file.
    static QString filePath();
    // The system-wide files, in lookup order.
    static QStringList systemFilePaths();
    // The system-wide file under dataDir, or without one under the first
    // folder of $XDG_DATA_DIRS where it can be written.
    static QString systemFilePath(const QString &dataDir = {});

    // The class registered under the ProgID (letter case ignored).
    static std::optional<CLSID> clsidFromProgId(const QString &progId);
    // The library file that serves the class.
    static std::optional<QString> libraryOfClass(REFCLSID clsid);
    // The interface through which the class raises its events, if it has one.
    static std::optional<IID> sourceInterfaceOfClass(REFCLSID clsid);

    // Runs change on the contents of the registry file at path, with other
    // writers locked out, and writes the result back; the file goes when
    // nothing is left in it.
    static void modify(const QString &path, const std::function<void(QJsonObject &)> &change);
    // For tests of writers at the same time: called by every change between
    // reading the registry and writing it back, under the lock.
    static void setChangeHook(std::function<void()> hook);
};

// What readers and registration agree on in a registry file: its sections
// and the fields of a class entry that hosts read.
namespace registryfields {
inline constexpr QLatin1String classes("classes");
inline constexpr QLatin1String progIds("progIds");
inline constexpr QLatin1String library("library");
inline constexpr QLatin1String sourceInterface("sourceInterface");
} // namespace registryfields

// The folders of an $XDG_DATA_DIRS value: absolute ones only, the default
// when none is given.
QStringList systemDataDirs(const QByteArray &xdgDataDirs);

} // namespace platform::com
