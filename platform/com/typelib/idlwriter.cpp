#include "platform/com/typelib/idlwriter.h"

#include <QStringList>
#include <QTextStream>

namespace platform::com {

namespace {

QString uuidOf(REFGUID guid)
{
    return guidToString(guid).mid(1, 36);
}

QString hex8(std::uint32_t value)
{
    return QStringLiteral("0x%1").arg(value, 8, 16, QLatin1Char('0'));
}

QString version(const TypeLibraryInfo &lib)
{
    return QStringLiteral("%1.%2").arg(lib.majorVersion).arg(lib.minorVersion);
}

QString paramList(const MemberInfo &m)
{
    switch (m.kind) {
    case MemberKind::PropertyGet: return QStringLiteral("[out, retval] %1*").arg(QLatin1String(m.type.name));
    case MemberKind::PropertyPut: return QStringLiteral("[in, out] %1*").arg(QLatin1String(m.type.name));
    case MemberKind::Method: break;
    }
    QStringList params;
    for (const ParamInfo &p : m.params) {
        QStringList dirs;
        if (p.flags & ParamIn)
            dirs << QStringLiteral("in");
        if (p.flags & ParamOut)
            dirs << QStringLiteral("out");
        params << QStringLiteral("[%1] %2%3 %4")
                      .arg(dirs.join(QStringLiteral(", ")), QLatin1String(p.type.name),
                           (p.flags & ParamByRef) ? QStringLiteral("*") : QString(), QLatin1String(p.name))
                      .trimmed();
    }
    return params.join(QStringLiteral(", "));
}

void writeAttributes(QTextStream &out, const QStringList &attributes, const QString &indent)
{
    out << indent << "[\n";
    for (int i = 0; i < attributes.size(); ++i)
        out << indent << "  " << attributes[i] << (i + 1 < attributes.size() ? ",\n" : "\n");
    out << indent << "]\n";
}

void writeInterface(QTextStream &out, const TypeLibraryInfo &lib, const InterfaceInfo &iface)
{
    const bool dual = iface.kind == InterfaceKind::Dual;
    QStringList attributes;
    if (dual)
        attributes << QStringLiteral("odl");
    attributes << QStringLiteral("uuid(%1)").arg(uuidOf(iface.iid));
    // IDL gives a dispinterface no version of its own.
    if (dual)
        attributes << QStringLiteral("version(%1)").arg(version(lib));
    if (iface.flags & InterfaceHidden)
        attributes << QStringLiteral("hidden");
    if (iface.flags & InterfaceDual)
        attributes << QStringLiteral("dual");
    if (iface.flags & InterfaceNonExtensible)
        attributes << QStringLiteral("nonextensible");
    if (iface.flags & InterfaceOleAutomation)
        attributes << QStringLiteral("oleautomation");
    writeAttributes(out, attributes, QStringLiteral("    "));
    if (dual) {
        out << "    interface " << iface.name << " : IDispatch {\n";
        for (const MemberInfo &m : iface.members) {
            QString kind;
            if (m.kind == MemberKind::PropertyGet)
                kind = QStringLiteral(", propget");
            else if (m.kind == MemberKind::PropertyPut)
                kind = QStringLiteral(", propput");
            out << "        [id(" << hex8(std::uint32_t(m.dispid)) << ")" << kind << "]\n";
            out << "        HRESULT " << m.name << "(" << paramList(m) << ");\n";
        }
    } else {
        out << "    dispinterface " << iface.name << " {\n";
        out << "        properties:\n";
        out << "        methods:\n";
        for (const MemberInfo &m : iface.members) {
            out << "            [id(" << hex8(std::uint32_t(m.dispid)) << ")]\n";
            out << "            " << m.type.name << " " << m.name << "(" << paramList(m) << ");\n";
        }
    }
    out << "    };\n\n";
}

void writeClass(QTextStream &out, const TypeLibraryInfo &lib, const ClassInfo &cls)
{
    QStringList attributes{QStringLiteral("uuid(%1)").arg(uuidOf(cls.clsid)),
                           QStringLiteral("version(%1)").arg(version(lib))};
    if (cls.flags & ClassControl)
        attributes << QStringLiteral("control");
    if (!(cls.flags & ClassCanCreate))
        attributes << QStringLiteral("noncreatable");
    writeAttributes(out, attributes, QStringLiteral("    "));
    out << "    coclass " << cls.name << " {\n";
    if (cls.defaultInterface)
        out << "        [default] interface " << cls.defaultInterface->name << ";\n";
    if (cls.sourceInterface)
        out << "        [default, source] dispinterface " << cls.sourceInterface->name << ";\n";
    out << "    };\n\n";
}

void writeEnum(QTextStream &out, const TypeLibraryInfo &lib, const EnumInfo &e)
{
    out << "    typedef [uuid(" << uuidOf(e.uuid) << "), version(" << version(lib) << ")]\n";
    // Named in its tag too: widl makes an untagged one an alias of a second type.
    out << "    enum " << e.name << " {\n";
    for (std::size_t i = 0; i < e.members.size(); ++i) {
        const EnumMember &m = e.members[i];
        out << "        [helpstring(\"" << m.helpString << "\")] " << m.name << " = " << m.value
            << (i + 1 < e.members.size() ? "," : "") << "\n";
    }
    out << "    } " << e.name << ";\n\n";
}

} // namespace

QString idlListing(const TypeLibraryInfo &lib)
{
    QString text;
    QTextStream out(&text);
    // IDispatch and OLE_COLOR come from the OLE automation library's
    // importlib, as references to its types, never redeclared.
    out << "// IDL of the type library " << lib.name << ", made from the library's type table.\n\n";
    QStringList attributes{QStringLiteral("uuid(%1)").arg(uuidOf(lib.libid)),
                           QStringLiteral("version(%1)").arg(version(lib)),
                           QStringLiteral("lcid(0x%1)").arg(lib.lcid, 4, 16, QLatin1Char('0')),
                           QStringLiteral("helpstring(\"%1\")").arg(QLatin1String(lib.helpString))};
    if (lib.flags & LibraryControl)
        attributes << QStringLiteral("control");
    writeAttributes(out, attributes, QString());
    out << "library " << lib.name << "\n{\n";
    for (const ImportInfo &import : lib.imports) {
        out << "    // " << import.description << "\n";
        if (import.typeLibrary) {
            out << "    importlib(\"" << import.typeLibrary << "\");\n";
            continue;
        }
        out << "    // " << import.name << " has no type library file: its types are declared here.\n";
        for (const EnumInfo *e : import.enums)
            writeEnum(out, lib, *e);
    }
    out << "\n";
    // IDL declares a type before its use: the enumerations go first, then
    // the other types in the library's order. The binary type library keeps
    // the table's order (typelibwriter.h).
    for (const EnumInfo *e : typesOf<EnumInfo>(lib))
        writeEnum(out, lib, *e);
    for (const TypeEntry &entry : lib.types) {
        if (const auto *iface = std::get_if<const InterfaceInfo *>(&entry))
            writeInterface(out, lib, **iface);
        else if (const auto *cls = std::get_if<const ClassInfo *>(&entry))
            writeClass(out, lib, **cls);
    }
    out << "};\n";
    out.flush();
    return text;
}

} // namespace platform::com
