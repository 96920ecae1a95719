#include "platform/com/typelib/resourcescript.h"

#include <QStringList>
#include <QTextStream>

namespace platform::com {

namespace {

// A path as the resource compiler reads it inside quotes.
QString quoted(const QString &path)
{
    return QLatin1Char('"') + QString(path).replace(QLatin1Char('\\'), QLatin1Char('/')) + QLatin1Char('"');
}

// "1.0.0.0" as the four numbers of a VERSIONINFO statement.
QString versionNumbers(const char *version)
{
    QStringList parts = QString::fromLatin1(version).split(QLatin1Char('.'));
    while (parts.size() < 4)
        parts << QStringLiteral("0");
    return parts.mid(0, 4).join(QLatin1Char(','));
}

} // namespace

QString resourceScript(const TypeLibraryInfo &lib, const QString &folder)
{
    const VersionInfo &v = lib.version;
    const QString numbers = versionNumbers(v.fileVersion);
    const QString language = QStringLiteral("%1").arg(lib.lcid, 4, 16, QLatin1Char('0')).toUpper();
    QString text;
    QTextStream out(&text);
    out << "// Resources of the library " << lib.name << ", made from the library's type table.\n";
    out << "#include <winver.h>\n\n";
    out << "1 TYPELIB " << quoted(folder + QLatin1Char('/') + QLatin1String(lib.name) + QStringLiteral(".tlb"))
        << "\n";
    for (const ClassInfo *cls : typesOf<ClassInfo>(lib))
        out << toolboxBitmapResource(lib, *cls) << " BITMAP "
            << quoted(folder + QLatin1Char('/') + QLatin1String(cls->name) + QStringLiteral(".bmp")) << "\n";
    out << "\nVS_VERSION_INFO VERSIONINFO\n"
        << "FILEVERSION " << numbers << "\n"
        << "PRODUCTVERSION " << numbers << "\n"
        << "FILEFLAGSMASK VS_FFI_FILEFLAGSMASK\n"
        << "FILEFLAGS 0\n"
        << "FILEOS VOS_NT_WINDOWS32\n"
        << "FILETYPE VFT_DLL\n"
        << "FILESUBTYPE VFT2_UNKNOWN\n"
        << "BEGIN\n"
        << "    BLOCK \"StringFileInfo\"\n"
        << "    BEGIN\n"
        << "        BLOCK \"" << language << "04B0\"\n"
        << "        BEGIN\n"
        << "            VALUE \"FileDescription\", \"" << v.fileDescription << "\"\n"
        << "            VALUE \"FileVersion\", \"" << v.fileVersion << "\"\n"
        << "            VALUE \"InternalName\", \"" << v.internalName << "\"\n"
        << "            VALUE \"OriginalFilename\", \"" << v.internalName << ".dll\"\n"
        << "            VALUE \"ProductVersion\", \"" << v.fileVersion << "\"\n";
    if (v.selfRegister)
        out << "            VALUE \"OLESelfRegister\", \"\"\n";
    out << "        END\n"
        << "    END\n"
        << "    BLOCK \"VarFileInfo\"\n"
        << "    BEGIN\n"
        << "        VALUE \"Translation\", 0x" << language << ", 1200\n"
        << "    END\n"
        << "END\n";
    out.flush();
    return text;
}

} // namespace platform::com
