// Writes the library's IDL, made from its type table, to the file named by
// the first argument. With a second argument it also writes the Windows
// resource script there, and the classes' toolbox bitmaps beside it.

#include "platform/com/typelib/idlwriter.h"
#include "platform/com/typelib/resourcescript.h"
#include "platform/com/typelib/toolboxbitmap.h"
#include "update/library/typelibrary.h"

#include <QFile>
#include <QFileInfo>
#include <cstdio>

namespace {

bool writeFile(const QString &path, const QString &text)
{
    QFile out(path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate)) {
        std::fprintf(stderr, "cannot write %s\n", qPrintable(path));
        return false;
    }
    out.write(text.toUtf8());
    return out.error() == QFile::NoError;
}

bool writeResources(const QString &scriptPath)
{
    using namespace platform::com;
    const TypeLibraryInfo &lib = qvWebUpdate::typeLibrary();
    const QString folder = QFileInfo(scriptPath).absolutePath();
    for (const ClassInfo *cls : typesOf<ClassInfo>(lib)) {
        const QString bitmap = folder + QLatin1Char('/') + QLatin1String(cls->name) + QStringLiteral(".bmp");
        if (!toolboxImage(cls->toolboxBitmap).save(bitmap, "BMP")) {
            std::fprintf(stderr, "cannot write %s\n", qPrintable(bitmap));
            return false;
        }
    }
    return writeFile(scriptPath, resourceScript(lib, folder));
}

} // namespace

int main(int argc, char **argv)
{
    if (argc != 2 && argc != 3) {
        std::fprintf(stderr, "usage: %s OUTPUT.idl [RESOURCES.rc]\n", argv[0]);
        return 2;
    }
    if (!writeFile(QString::fromLocal8Bit(argv[1]), platform::com::idlListing(qvWebUpdate::typeLibrary())))
        return 1;
    return argc == 3 && !writeResources(QString::fromLocal8Bit(argv[2])) ? 1 : 0;
}
