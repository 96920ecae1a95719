// The type library embedded in Update.dll as Windows reads it
// (LoadTypeLibEx), walked by index as a type-library browser walks it, held
// to the type table (which the other tests hold to the published contract):
// the order of the type information, kinds and flags, every member with its
// MEMBERID, invoke kind, parameter types and flags, the enumerations' values
// and help strings, and the colour type of the OLE automation library.

#include "platform/com/core/bstr.h"
#include "platform/com/core/comptr.h"
#include "update/library/typelibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <gtest/gtest.h>
#include <windows.h>

using namespace platform::com;

namespace {

QString nameOf(ITypeInfo *info, MEMBERID id = MEMBERID_NIL, QString *help = nullptr)
{
    BSTR name = nullptr;
    BSTR doc = nullptr;
    info->GetDocumentation(id, &name, &doc, nullptr, nullptr);
    const QString result = qstringFromBstr(name);
    if (help)
        *help = qstringFromBstr(doc);
    SysFreeString(name);
    SysFreeString(doc);
    return result;
}

// A type as the listing names it: a base type by its VARTYPE, a user-defined
// one by its name and the library it comes from.
QString typeText(ITypeInfo *info, const TYPEDESC &desc)
{
    if (desc.vt == VT_PTR)
        return typeText(info, *desc.lptdesc) + QLatin1Char('*');
    if (desc.vt != VT_USERDEFINED)
        return QStringLiteral("vt%1").arg(desc.vt);
    ComPtr<ITypeInfo> referenced;
    if (FAILED(info->GetRefTypeInfo(desc.hreftype, referenced.put())))
        return QStringLiteral("?");
    ComPtr<ITypeLib> library;
    UINT index = 0;
    referenced->GetContainingTypeLib(library.put(), &index);
    BSTR libraryName = nullptr;
    library->GetDocumentation(-1, &libraryName, nullptr, nullptr, nullptr);
    const QString result = qstringFromBstr(libraryName) + QLatin1Char('.') + nameOf(referenced.get());
    SysFreeString(libraryName);
    return result;
}

// OLE_COLOR is the OLE automation library's: a form designer shows a colour
// picker for it, a number for a plain UI4.
QString expectedTypeText(const TypeRef &type, bool byRef)
{
    QString text;
    if (!type.named)
        text = QStringLiteral("vt%1").arg(type.vt == VT_EMPTY ? VARTYPE(VT_VOID) : type.vt);
    else if (QLatin1String(type.name) == QLatin1String("OLE_COLOR"))
        text = QStringLiteral("stdole.OLE_COLOR");
    else
        text = QStringLiteral("qvWebUpdate.") + QLatin1String(type.name);
    return byRef ? text + QLatin1Char('*') : text;
}

class TypeLibraryOnWindows : public ::testing::Test {
protected:
    void SetUp() override
    {
        const QString dll = QDir::toNativeSeparators(QCoreApplication::applicationDirPath() + "/Update.dll");
        ASSERT_EQ(LoadTypeLibEx(dll.toStdWString().c_str(), REGKIND_NONE, loaded.put()), S_OK);
    }

    ComPtr<ITypeInfo> typeAt(UINT index)
    {
        ComPtr<ITypeInfo> info;
        EXPECT_EQ(loaded->GetTypeInfo(index, info.put()), S_OK);
        return info;
    }

    // The interface part of a dual interface, whose slots the table lists.
    static ComPtr<ITypeInfo> interfacePart(ITypeInfo *dual)
    {
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> part;
        EXPECT_EQ(dual->GetRefTypeOfImplType(UINT(-1), &ref), S_OK);
        EXPECT_EQ(dual->GetRefTypeInfo(ref, part.put()), S_OK);
        return part;
    }

    void expectMembers(ITypeInfo *info, const InterfaceInfo &iface);
    void expectClass(ITypeInfo *info, const ClassInfo &cls);
    void expectEnum(ITypeInfo *info, const EnumInfo &e);

    ComPtr<ITypeLib> loaded;
};

void TypeLibraryOnWindows::expectMembers(ITypeInfo *info, const InterfaceInfo &iface)
{
    const bool dual = iface.kind == InterfaceKind::Dual;
    TYPEATTR *attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->cFuncs, iface.members.size()) << "its own members, none of IDispatch's";
    info->ReleaseTypeAttr(attributes);
    for (UINT i = 0; i < iface.members.size(); ++i) {
        const MemberInfo &member = iface.members[i];
        SCOPED_TRACE(std::string(iface.name) + "." + member.name);
        FUNCDESC *function = nullptr;
        ASSERT_EQ(info->GetFuncDesc(i, &function), S_OK);
        EXPECT_EQ(nameOf(info, function->memid), member.name);
        EXPECT_EQ(function->memid, member.dispid);
        const INVOKEKIND invoke = member.kind == MemberKind::PropertyGet   ? INVOKE_PROPERTYGET
                                  : member.kind == MemberKind::PropertyPut ? INVOKE_PROPERTYPUT
                                                                           : INVOKE_FUNC;
        EXPECT_EQ(function->invkind, invoke);
        EXPECT_EQ(function->funckind, dual ? FUNC_PUREVIRTUAL : FUNC_DISPATCH);
        EXPECT_EQ(typeText(info, function->elemdescFunc.tdesc),
                  dual ? QStringLiteral("vt%1").arg(VT_HRESULT) : expectedTypeText(member.type, false));
        std::vector<std::pair<QString, USHORT>> expected;
        if (member.kind == MemberKind::PropertyGet)
            expected.emplace_back(expectedTypeText(member.type, true), PARAMFLAG_FOUT | PARAMFLAG_FRETVAL);
        else if (member.kind == MemberKind::PropertyPut)
            expected.emplace_back(expectedTypeText(member.type, true), PARAMFLAG_FIN | PARAMFLAG_FOUT);
        for (const ParamInfo &p : member.params)
            expected.emplace_back(expectedTypeText(p.type, p.flags & ParamByRef),
                                  USHORT(((p.flags & ParamIn) ? PARAMFLAG_FIN : 0)
                                         | ((p.flags & ParamOut) ? PARAMFLAG_FOUT : 0)));
        ASSERT_EQ(function->cParams, SHORT(expected.size()));
        for (SHORT p = 0; p < function->cParams; ++p) {
            EXPECT_EQ(typeText(info, function->lprgelemdescParam[p].tdesc), expected[std::size_t(p)].first);
            EXPECT_EQ(function->lprgelemdescParam[p].paramdesc.wParamFlags, expected[std::size_t(p)].second);
        }
        info->ReleaseFuncDesc(function);
    }
}

void TypeLibraryOnWindows::expectClass(ITypeInfo *info, const ClassInfo &cls)
{
    TYPEATTR *attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_COCLASS);
    EXPECT_EQ(attributes->wTypeFlags, TYPEFLAG_FCANCREATE | TYPEFLAG_FCONTROL);
    EXPECT_EQ(attributes->cImplTypes, 2);
    info->ReleaseTypeAttr(attributes);
    const std::pair<const InterfaceInfo *, INT> expected[] = {
        {cls.defaultInterface, IMPLTYPEFLAG_FDEFAULT},
        {cls.sourceInterface, IMPLTYPEFLAG_FDEFAULT | IMPLTYPEFLAG_FSOURCE},
    };
    for (UINT i = 0; i < 2; ++i) {
        HREFTYPE ref = 0;
        ComPtr<ITypeInfo> implemented;
        INT flags = 0;
        ASSERT_EQ(info->GetRefTypeOfImplType(i, &ref), S_OK);
        ASSERT_EQ(info->GetRefTypeInfo(ref, implemented.put()), S_OK);
        ASSERT_EQ(info->GetImplTypeFlags(i, &flags), S_OK);
        EXPECT_EQ(nameOf(implemented.get()), expected[i].first->name);
        EXPECT_EQ(flags, expected[i].second);
    }
}

void TypeLibraryOnWindows::expectEnum(ITypeInfo *info, const EnumInfo &e)
{
    TYPEATTR *attributes = nullptr;
    ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
    EXPECT_EQ(attributes->typekind, TKIND_ENUM);
    EXPECT_TRUE(attributes->guid == e.uuid);
    ASSERT_EQ(attributes->cVars, e.members.size());
    info->ReleaseTypeAttr(attributes);
    for (UINT i = 0; i < e.members.size(); ++i) {
        VARDESC *var = nullptr;
        ASSERT_EQ(info->GetVarDesc(i, &var), S_OK);
        QString help;
        EXPECT_EQ(nameOf(info, var->memid, &help), e.members[i].name);
        EXPECT_EQ(help, e.members[i].name) << "each member documented with its own name";
        EXPECT_EQ(V_VT(var->lpvarValue), VT_I4);
        EXPECT_EQ(V_I4(var->lpvarValue), e.members[i].value);
        info->ReleaseVarDesc(var);
    }
}

} // namespace

TEST_F(TypeLibraryOnWindows, TheLibraryAttributesAreThePublishedOnes)
{
    TLIBATTR *attributes = nullptr;
    ASSERT_EQ(loaded->GetLibAttr(&attributes), S_OK);
    EXPECT_TRUE(attributes->guid == qvWebUpdate::LIBID_qvWebUpdate);
    EXPECT_EQ(attributes->lcid, 0x0409u);
    EXPECT_EQ(attributes->syskind, sizeof(void *) == 8 ? SYS_WIN64 : SYS_WIN32) << "the edition's own system";
    EXPECT_EQ(attributes->wMajorVerNum, 1);
    EXPECT_EQ(attributes->wMinorVerNum, 0);
    EXPECT_EQ(attributes->wLibFlags & ~LIBFLAG_FHASDISKIMAGE, LIBFLAG_FCONTROL) << "the loader adds its own";
    loaded->ReleaseTLibAttr(attributes);
    BSTR name = nullptr;
    BSTR help = nullptr;
    ASSERT_EQ(loaded->GetDocumentation(-1, &name, &help, nullptr, nullptr), S_OK);
    EXPECT_EQ(qstringFromBstr(name), "qvWebUpdate");
    EXPECT_EQ(qstringFromBstr(help), "qvWebUpdate software update over the web");
    SysFreeString(name);
    SysFreeString(help);
}

TEST_F(TypeLibraryOnWindows, TheTypesComeInThePublishedOrderTheAlignmentAfterThem)
{
    const QStringList expected = {"_ctlWebUpdate",   "ctlWebUpdate",   "_qvProgressBar", "qvProgressBar",
                                  "__ctlWebUpdate",  "__qvProgressBar", "GradientColour", "CaptionType",
                                  "BorderStyle",     "AlignmentConstants"};
    QStringList names;
    for (UINT i = 0; i < loaded->GetTypeInfoCount(); ++i)
        names << nameOf(typeAt(i).get());
    EXPECT_EQ(names, expected);
}

TEST_F(TypeLibraryOnWindows, EveryTypeReadsAsTheTableHasIt)
{
    const TypeLibraryInfo &lib = qvWebUpdate::typeLibrary();
    for (UINT i = 0; i < lib.types.size(); ++i) {
        const ComPtr<ITypeInfo> info = typeAt(i);
        SCOPED_TRACE(typeName(lib.types[i]));
        if (const auto *cls = std::get_if<const ClassInfo *>(&lib.types[i])) {
            expectClass(info.get(), **cls);
        } else if (const auto *e = std::get_if<const EnumInfo *>(&lib.types[i])) {
            expectEnum(info.get(), **e);
        } else {
            const InterfaceInfo &iface = *std::get<const InterfaceInfo *>(lib.types[i]);
            TYPEATTR *attributes = nullptr;
            ASSERT_EQ(info->GetTypeAttr(&attributes), S_OK);
            EXPECT_EQ(attributes->typekind, TKIND_DISPATCH);
            EXPECT_TRUE(attributes->guid == iface.iid);
            const WORD flags = attributes->wTypeFlags;
            info->ReleaseTypeAttr(attributes);
            if (iface.kind == InterfaceKind::DispInterface) {
                EXPECT_EQ(flags, TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FDISPATCHABLE);
                expectMembers(info.get(), iface);
                continue;
            }
            const ComPtr<ITypeInfo> part = interfacePart(info.get());
            ASSERT_EQ(part->GetTypeAttr(&attributes), S_OK);
            EXPECT_EQ(attributes->typekind, TKIND_INTERFACE);
            EXPECT_EQ(attributes->wTypeFlags, TYPEFLAG_FHIDDEN | TYPEFLAG_FNONEXTENSIBLE | TYPEFLAG_FOLEAUTOMATION
                                                  | TYPEFLAG_FDUAL | TYPEFLAG_FDISPATCHABLE);
            part->ReleaseTypeAttr(attributes);
            expectMembers(part.get(), iface);
        }
    }
    for (const ImportInfo &import : lib.imports) {
        for (std::size_t e = 0; e < import.enums.size(); ++e)
            expectEnum(typeAt(UINT(lib.types.size() + e)).get(), *import.enums[e]);
    }
}
