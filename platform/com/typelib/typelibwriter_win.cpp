#include "platform/com/typelib/typelibwriter.h"

#include "platform/com/core/comptr.h"

#include <QFile>
#include <QtEndian>
#include <map>
#include <string>
#include <vector>

namespace platform::com {

namespace {

struct Failure {
    HRESULT result;
    QString step;
};

void check(HRESULT result, const QString &step)
{
    if (FAILED(result))
        throw Failure{result, step};
}

std::wstring wide(const char *text)
{
    return QString::fromLatin1(text).toStdWString();
}

WORD typeFlagsOf(const InterfaceInfo &iface)
{
    WORD flags = 0;
    if (iface.flags & InterfaceHidden)
        flags |= TYPEFLAG_FHIDDEN;
    if (iface.flags & InterfaceNonExtensible)
        flags |= TYPEFLAG_FNONEXTENSIBLE;
    if (iface.flags & InterfaceOleAutomation)
        flags |= TYPEFLAG_FOLEAUTOMATION;
    if (iface.flags & InterfaceDual)
        flags |= TYPEFLAG_FDUAL;
    if (iface.flags & InterfaceDispatchable)
        flags |= TYPEFLAG_FDISPATCHABLE;
    return flags;
}

INVOKEKIND invokeKindOf(MemberKind kind)
{
    switch (kind) {
    case MemberKind::PropertyGet: return INVOKE_PROPERTYGET;
    case MemberKind::PropertyPut: return INVOKE_PROPERTYPUT;
    case MemberKind::Method: break;
    }
    return INVOKE_FUNC;
}

// One parameter as the type library declares it: its type (by reference
// when flagged), its flags and its name, empty for none.
struct Param {
    TypeRef type;
    bool byRef;
    USHORT flags;
    const char *name;
};

// A property get returns its value through [out, retval]; a put takes it
// [in, out] by reference; a method its own parameters.
std::vector<Param> paramsOf(const MemberInfo &member)
{
    switch (member.kind) {
    case MemberKind::PropertyGet: return {{member.type, true, PARAMFLAG_FOUT | PARAMFLAG_FRETVAL, ""}};
    case MemberKind::PropertyPut: return {{member.type, true, PARAMFLAG_FIN | PARAMFLAG_FOUT, ""}};
    case MemberKind::Method: break;
    }
    std::vector<Param> params;
    for (const ParamInfo &p : member.params) {
        USHORT flags = 0;
        if (p.flags & ParamIn)
            flags |= PARAMFLAG_FIN;
        if (p.flags & ParamOut)
            flags |= PARAMFLAG_FOUT;
        params.push_back({p.type, (p.flags & ParamByRef) != 0, flags, p.name});
    }
    return params;
}

class Writer {
public:
    Writer(const TypeLibraryInfo &lib, const QString &path) : m_lib(lib)
    {
        const std::wstring file = path.toStdWString();
        check(CreateTypeLib2(sizeof(void *) == 8 ? SYS_WIN64 : SYS_WIN32, file.c_str(), m_out.put()),
              QStringLiteral("creating ") + path);
    }

    void write()
    {
        describeLibrary();
        loadImports();
        // Every type first, so that any may refer to any other.
        for (const TypeEntry &entry : m_lib.types)
            std::visit([this](const auto *info) { create(*info); }, entry);
        for (const EnumInfo *e : importedEnums())
            create(*e);
        for (const TypeEntry &entry : m_lib.types)
            std::visit([this](const auto *info) { fill(*info); }, entry);
        for (const EnumInfo *e : importedEnums())
            fill(*e);
        for (const auto &[name, info] : m_created)
            check(info->LayOut(), QStringLiteral("laying out ") + QString::fromStdString(name));
        check(m_out->SaveAllChanges(), QStringLiteral("saving the type library"));
    }

private:
    void describeLibrary()
    {
        std::wstring name = wide(m_lib.name);
        std::wstring help = wide(m_lib.helpString);
        check(m_out->SetName(name.data()), QStringLiteral("naming the library"));
        check(m_out->SetGuid(m_lib.libid), QStringLiteral("setting the library's identifier"));
        check(m_out->SetVersion(WORD(m_lib.majorVersion), WORD(m_lib.minorVersion)),
              QStringLiteral("setting the library's version"));
        check(m_out->SetLcid(m_lib.lcid), QStringLiteral("setting the library's locale"));
        check(m_out->SetLibFlags((m_lib.flags & LibraryControl) ? LIBFLAG_FCONTROL : 0),
              QStringLiteral("setting the library's flags"));
        check(m_out->SetDocString(help.data()), QStringLiteral("setting the library's help string"));
    }

    // The libraries with a file of their own, found as Windows finds them.
    void loadImports()
    {
        for (const ImportInfo &import : m_lib.imports) {
            if (!import.typeLibrary)
                continue;
            ComPtr<ITypeLib> loaded;
            check(LoadTypeLib(wide(import.typeLibrary).c_str(), loaded.put()),
                  QStringLiteral("loading ") + QLatin1String(import.typeLibrary));
            m_imports.push_back(loaded);
        }
    }

    // Those of the others, declared in this library after its own types.
    std::vector<const EnumInfo *> importedEnums() const
    {
        std::vector<const EnumInfo *> enums;
        for (const ImportInfo &import : m_lib.imports) {
            if (!import.typeLibrary)
                enums.insert(enums.end(), import.enums.begin(), import.enums.end());
        }
        return enums;
    }

    ICreateTypeInfo *createTypeInfo(const char *name, TYPEKIND kind, REFGUID guid)
    {
        std::wstring text = wide(name);
        ComPtr<ICreateTypeInfo> info;
        check(m_out->CreateTypeInfo(text.data(), kind, info.put()), QStringLiteral("creating ") + QLatin1String(name));
        check(info->SetGuid(guid), QStringLiteral("identifying ") + QLatin1String(name));
        check(info->SetVersion(WORD(m_lib.majorVersion), WORD(m_lib.minorVersion)),
              QStringLiteral("setting the version of ") + QLatin1String(name));
        m_created[name] = info;
        return info.get();
    }

    void create(const InterfaceInfo &iface)
    {
        const bool dual = iface.kind == InterfaceKind::Dual;
        createTypeInfo(iface.name, dual ? TKIND_INTERFACE : TKIND_DISPATCH, iface.iid);
    }
    void create(const ClassInfo &cls) { createTypeInfo(cls.name, TKIND_COCLASS, cls.clsid); }
    void create(const EnumInfo &e) { createTypeInfo(e.name, TKIND_ENUM, e.uuid); }

    ICreateTypeInfo *created(const char *name) const { return m_created.at(name).get(); }

    // A reference from one type to another of this library or of an import.
    HREFTYPE referenceTo(ICreateTypeInfo *from, const char *name)
    {
        ComPtr<ITypeInfo> target;
        if (const auto own = m_created.find(name); own != m_created.end())
            target = own->second.as<ITypeInfo>(IID_ITypeInfo);
        for (const ComPtr<ITypeLib> &import : m_imports) {
            if (target)
                break;
            std::wstring text = wide(name);
            MEMBERID member = 0;
            USHORT found = 1;
            ITypeInfo *info = nullptr;
            if (SUCCEEDED(import->FindName(text.data(), 0, &info, &member, &found)) && found == 1)
                target = ComPtr<ITypeInfo>::adopt(info);
        }
        if (!target)
            throw Failure{TYPE_E_ELEMENTNOTFOUND, QStringLiteral("finding the type ") + QLatin1String(name)};
        HREFTYPE ref = 0;
        check(from->AddRefTypeInfo(target.get(), &ref), QStringLiteral("referring to ") + QLatin1String(name));
        return ref;
    }

    void inherit(ICreateTypeInfo *info, const char *base)
    {
        check(info->AddImplType(0, referenceTo(info, base)), QStringLiteral("deriving from ") + QLatin1String(base));
    }

    void fill(const InterfaceInfo &iface)
    {
        ICreateTypeInfo *info = created(iface.name);
        check(info->SetTypeFlags(typeFlagsOf(iface)), QStringLiteral("flagging ") + QLatin1String(iface.name));
        inherit(info, "IDispatch");
        for (std::size_t i = 0; i < iface.members.size(); ++i)
            addFunction(info, iface, UINT(i));
    }

    void addFunction(ICreateTypeInfo *info, const InterfaceInfo &iface, UINT index)
    {
        const MemberInfo &member = iface.members[index];
        const bool dual = iface.kind == InterfaceKind::Dual;
        const std::vector<Param> params = paramsOf(member);
        // Pointers into these stay put: both are sized before any is taken.
        std::vector<TYPEDESC> pointees(params.size());
        std::vector<ELEMDESC> elements(params.size());
        std::vector<std::wstring> names{wide(member.name)};
        for (std::size_t p = 0; p < params.size(); ++p) {
            pointees[p] = typeDesc(info, params[p].type);
            elements[p] = {};
            if (params[p].byRef) {
                elements[p].tdesc.vt = VT_PTR;
                elements[p].tdesc.lptdesc = &pointees[p];
            } else {
                elements[p].tdesc = pointees[p];
            }
            elements[p].paramdesc.wParamFlags = params[p].flags;
            if (*params[p].name)
                names.push_back(wide(params[p].name));
        }
        FUNCDESC function{};
        function.memid = member.dispid;
        function.funckind = dual ? FUNC_PUREVIRTUAL : FUNC_DISPATCH;
        function.invkind = invokeKindOf(member.kind);
        function.callconv = CC_STDCALL;
        function.cParams = SHORT(params.size());
        function.lprgelemdescParam = elements.data();
        if (dual)
            function.elemdescFunc.tdesc.vt = VT_HRESULT;
        else
            function.elemdescFunc.tdesc = typeDesc(info, member.type);
        const QString what = QLatin1String(iface.name) + QLatin1Char('.') + QLatin1String(member.name);
        check(info->AddFuncDesc(index, &function), QStringLiteral("adding ") + what);
        std::vector<LPOLESTR> nameList;
        for (std::wstring &name : names)
            nameList.push_back(name.data());
        check(info->SetFuncAndParamNames(index, nameList.data(), UINT(nameList.size())),
              QStringLiteral("naming ") + what);
    }

    TYPEDESC typeDesc(ICreateTypeInfo *info, const TypeRef &type)
    {
        TYPEDESC desc{};
        if (type.named) {
            desc.vt = VT_USERDEFINED;
            desc.hreftype = referenceTo(info, type.name);
        } else {
            desc.vt = type.vt == VT_EMPTY ? VARTYPE(VT_VOID) : type.vt;
        }
        return desc;
    }

    void fill(const ClassInfo &cls)
    {
        ICreateTypeInfo *info = created(cls.name);
        WORD flags = 0;
        if (cls.flags & ClassCanCreate)
            flags |= TYPEFLAG_FCANCREATE;
        if (cls.flags & ClassControl)
            flags |= TYPEFLAG_FCONTROL;
        UINT index = 0;
        const auto implement = [&](const InterfaceInfo *iface, INT implFlags) {
            if (!iface)
                return;
            check(info->AddImplType(index, referenceTo(info, iface->name)),
                  QStringLiteral("implementing ") + QLatin1String(iface->name));
            check(info->SetImplTypeFlags(index, implFlags), QStringLiteral("flagging ") + QLatin1String(iface->name));
            ++index;
        };
        implement(cls.defaultInterface, IMPLTYPEFLAG_FDEFAULT);
        implement(cls.sourceInterface, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE);
        // After the interfaces: Wine's AddImplType marks a class dispatchable
        // as it goes, which no class is.
        check(info->SetTypeFlags(flags), QStringLiteral("flagging ") + QLatin1String(cls.name));
    }

    // Each member carries its own help string, its name in this library.
    void fill(const EnumInfo &e)
    {
        ICreateTypeInfo *info = created(e.name);
        for (std::size_t i = 0; i < e.members.size(); ++i) {
            const EnumMember &member = e.members[i];
            VARIANT value;
            VariantInit(&value);
            V_VT(&value) = VT_I4;
            V_I4(&value) = member.value;
            VARDESC var{};
            var.memid = MEMBERID(0x40000000 + i);
            var.lpvarValue = &value;
            var.varkind = VAR_CONST;
            var.elemdescVar.tdesc.vt = VT_I4;
            const QString what = QLatin1String(e.name) + QLatin1Char('.') + QLatin1String(member.name);
            check(info->AddVarDesc(UINT(i), &var), QStringLiteral("adding ") + what);
            std::wstring name = wide(member.name);
            std::wstring help = wide(member.helpString);
            check(info->SetVarName(UINT(i), name.data()), QStringLiteral("naming ") + what);
            check(info->SetVarDocString(UINT(i), help.data()), QStringLiteral("documenting ") + what);
        }
    }

    const TypeLibraryInfo &m_lib;
    ComPtr<ICreateTypeLib2> m_out;
    std::vector<ComPtr<ITypeLib>> m_imports;
    std::map<std::string, ComPtr<ICreateTypeInfo>> m_created;
};

// Wine's ICreateTypeInfo writes a dispinterface's record as a dual
// interface's: IDispatch's seven methods counted into its table and
// referenced as inherited, so that Wine's LoadTypeLib then lists them as
// the dispinterface's own members. MIDL and widl write a dispinterface's
// table as its own methods alone, with no inherited reference; this puts
// the file's records in that form (and leaves records already so alone).
// The offsets are those of the MSFT format's header and type records.
HRESULT writeDispinterfacesAsMidlDoes(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadWrite))
        return STG_E_ACCESSDENIED;
    QByteArray data = file.readAll();
    const auto at = [&](qsizetype offset) {
        return offset >= 0 && offset + 4 <= data.size() ? qFromLittleEndian<qint32>(data.constData() + offset) : 0;
    };
    if (data.left(4) != "MSFT")
        return TYPE_E_INVDATAREAD;
    const qint32 systemFlags = at(0x14);
    const qint32 types = at(0x20);
    const int pointerSize = (systemFlags & 0xf) == SYS_WIN64 ? 8 : 4;
    // The type offsets follow the header (and the help DLL's name, when
    // there is one); the segment directory, typeinfo segment first, them.
    const qsizetype offsets = 0x54 + ((systemFlags & 0x100) ? 4 : 0);
    const qint32 segment = at(offsets + 4 * types);
    for (qint32 i = 0; i < types; ++i) {
        const qsizetype record = segment + at(offsets + 4 * i);
        if (record + 0x5c > data.size())
            return TYPE_E_INVDATAREAD;
        if ((at(record) & 0xf) != TKIND_DISPATCH || (at(record + 0x30) & TYPEFLAG_FDUAL))
            continue;
        const qint16 table = qint16((at(record + 0x18) & 0xffff) * pointerSize);
        qToLittleEndian<qint16>(table, data.data() + record + 0x4e);
        qToLittleEndian<qint32>(-1, data.data() + record + 0x54);
        qToLittleEndian<qint32>(0, data.data() + record + 0x58);
    }
    if (!file.seek(0) || file.write(data) != data.size())
        return STG_E_WRITEFAULT;
    return S_OK;
}

} // namespace

HRESULT writeTypeLibrary(const TypeLibraryInfo &lib, const QString &path, QString *failedStep)
{
    try {
        Writer(lib, path).write();
        check(writeDispinterfacesAsMidlDoes(path), QStringLiteral("writing the dispinterfaces' records"));
    } catch (const Failure &failure) {
        if (failedStep)
            *failedStep = failure.step;
        return failure.result;
    }
    return S_OK;
}

} // namespace platform::com
