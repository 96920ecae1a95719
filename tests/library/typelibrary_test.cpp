// The type table against the library's published contract, member by member.

#include "platform/com/typelib/idlwriter.h"
#include "update/library/typelibrary.h"

#include <QFile>
#include <QSet>
#include <gtest/gtest.h>

using namespace platform::com;

namespace {

enum Access { GetPut, PutOnly, Call };

struct ExpectedMember {
    const char *name;
    DISPID dispid;
    Access access;
    VARTYPE vt;
    const char *typeName;
};

const ExpectedMember ctlWebUpdateContract[] = {
    {"DownloadLocation", 0x68030006, GetPut, VT_BSTR, "BSTR"},
    {"DownloadFile", 0x68030005, GetPut, VT_BSTR, "BSTR"},
    {"DownloadVersionFile", 0x68030004, GetPut, VT_BSTR, "BSTR"},
    {"CurrentVersion", 0x68030003, GetPut, VT_BSTR, "BSTR"},
    {"ConfirmDownload", 0x68030002, GetPut, VT_BOOL, "VARIANT_BOOL"},
    {"AutoRun", 0x68030001, GetPut, VT_BOOL, "VARIANT_BOOL"},
    {"LogFilename", 0x68030000, GetPut, VT_BSTR, "BSTR"},
    {"RunUpdate", 0x60030007, Call, VT_EMPTY, "void"},
    {"CancelDownload", 0x60030014, Call, VT_EMPTY, "void"},
};

const ExpectedMember qvProgressBarContract[] = {
    {"ReverseGradient", 0x6803000F, GetPut, VT_BOOL, "VARIANT_BOOL"},
    {"Horizontal", 0x6803000E, GetPut, VT_BOOL, "VARIANT_BOOL"},
    {"Alignment", 0x6803000D, GetPut, VT_I4, "AlignmentConstants"},
    {"GradientColour", 0x6803000C, GetPut, VT_I4, "GradientColour"},
    {"MarginSize", 0x6803000B, GetPut, VT_I2, "short"},
    {"BorderStyle", 0x6803000A, GetPut, VT_I4, "BorderStyle"},
    {"BackColour", 0x68030009, GetPut, VT_I4, "OLE_COLOR"},
    {"FontColour", 0x68030008, GetPut, VT_I4, "OLE_COLOR"},
    {"BarColour", 0x68030007, GetPut, VT_I4, "OLE_COLOR"},
    {"Max", 0x68030006, GetPut, VT_I4, "long"},
    {"Min", 0x68030005, GetPut, VT_I4, "long"},
    {"Value", 0x68030004, GetPut, VT_I4, "long"},
    {"DotWidth", 0x68030003, GetPut, VT_I4, "long"},
    {"GapWidth", 0x68030002, GetPut, VT_I4, "long"},
    {"CaptionType", 0x68030001, GetPut, VT_I4, "CaptionType"},
    {"Caption", 0x68030000, PutOnly, VT_BSTR, "BSTR"},
};

// The expectedSlots the contract implies: each property's get, then its put.
std::vector<std::pair<const ExpectedMember *, MemberKind>> expectedSlotsOf(std::span<const ExpectedMember> contract)
{
    std::vector<std::pair<const ExpectedMember *, MemberKind>> expectedSlots;
    for (const ExpectedMember &m : contract) {
        if (m.access == GetPut)
            expectedSlots.emplace_back(&m, MemberKind::PropertyGet);
        if (m.access != Call)
            expectedSlots.emplace_back(&m, MemberKind::PropertyPut);
        else
            expectedSlots.emplace_back(&m, MemberKind::Method);
    }
    return expectedSlots;
}

void expectInterface(const InterfaceInfo &iface, std::span<const ExpectedMember> contract)
{
    const auto expectedSlots = expectedSlotsOf(contract);
    ASSERT_EQ(iface.members.size(), expectedSlots.size()) << iface.name;
    for (std::size_t i = 0; i < expectedSlots.size(); ++i) {
        const MemberInfo &actual = iface.members[i];
        const ExpectedMember &expected = *expectedSlots[i].first;
        SCOPED_TRACE(std::string(iface.name) + " slot " + std::to_string(i) + " " + expected.name);
        EXPECT_STREQ(actual.name, expected.name);
        EXPECT_EQ(actual.dispid, expected.dispid);
        EXPECT_EQ(actual.kind, expectedSlots[i].second);
        EXPECT_EQ(actual.type.vt, expected.vt);
        EXPECT_STREQ(actual.type.name, expected.typeName);
        EXPECT_TRUE(actual.params.empty());
        EXPECT_NE(actual.dispid, 0) << "no member is the default value";
    }
    EXPECT_EQ(iface.kind, InterfaceKind::Dual);
    EXPECT_EQ(iface.flags, unsigned(InterfaceHidden | InterfaceNonExtensible | InterfaceOleAutomation
                                    | InterfaceDual | InterfaceDispatchable));
}

const TypeLibraryInfo &lib() { return qvWebUpdate::typeLibrary(); }

template <typename T>
const T &typeAt(std::size_t i)
{
    return *std::get<const T *>(lib().types[i]);
}

} // namespace

TEST(TypeTable, LibraryAttributes)
{
    EXPECT_STREQ(lib().name, "qvWebUpdate");
    EXPECT_EQ(lib().majorVersion, 1);
    EXPECT_EQ(lib().minorVersion, 0);
    EXPECT_EQ(lib().lcid, 0x0409u);
    EXPECT_EQ(lib().flags, unsigned(LibraryControl));
    EXPECT_STREQ(lib().helpString, "qvWebUpdate software update over the web");
    EXPECT_STREQ(lib().version.fileDescription, "Software Download Manager");
    EXPECT_STREQ(lib().version.internalName, "Update");
    EXPECT_STREQ(lib().version.fileVersion, "1.0.0.0");
    EXPECT_TRUE(lib().version.selfRegister);
}

TEST(TypeTable, TypesInOrder)
{
    const char *expected[] = {"_ctlWebUpdate",  "ctlWebUpdate",   "_qvProgressBar", "qvProgressBar", "__ctlWebUpdate",
                              "__qvProgressBar", "GradientColour", "CaptionType",    "BorderStyle"};
    ASSERT_EQ(lib().types.size(), std::size(expected));
    for (std::size_t i = 0; i < std::size(expected); ++i)
        EXPECT_STREQ(typeName(lib().types[i]), expected[i]) << i;
}

TEST(TypeTable, Classes)
{
    const ClassInfo &update = typeAt<ClassInfo>(1);
    const ClassInfo &bar = typeAt<ClassInfo>(3);
    EXPECT_STREQ(update.progId, "qvWebUpdate.ctlWebUpdate");
    EXPECT_STREQ(bar.progId, "qvWebUpdate.qvProgressBar");
    for (const ClassInfo *cls : {&update, &bar}) {
        EXPECT_TRUE(cls->flags & ClassControl) << cls->name;
        EXPECT_EQ(cls->miscStatus, 0x00020191u) << cls->name;
        EXPECT_EQ(cls->toolboxBitmap.width, 16);
        EXPECT_EQ(cls->toolboxBitmap.height, 15);
    }
    EXPECT_EQ(update.toolboxBitmap.bitsPerPixel, 24);
    EXPECT_EQ(bar.toolboxBitmap.bitsPerPixel, 4);
    EXPECT_STREQ(update.defaultInterface->name, "_ctlWebUpdate");
    EXPECT_STREQ(update.sourceInterface->name, "__ctlWebUpdate");
    EXPECT_STREQ(bar.defaultInterface->name, "_qvProgressBar");
    EXPECT_STREQ(bar.sourceInterface->name, "__qvProgressBar");
}

TEST(TypeTable, DualInterfacesMemberByMember)
{
    expectInterface(typeAt<InterfaceInfo>(0), ctlWebUpdateContract);
    expectInterface(typeAt<InterfaceInfo>(2), qvProgressBarContract);
}

TEST(TypeTable, EventInterfaces)
{
    const InterfaceInfo &events = typeAt<InterfaceInfo>(4);
    const InterfaceInfo &none = typeAt<InterfaceInfo>(5);
    for (const InterfaceInfo *iface : {&events, &none}) {
        EXPECT_EQ(iface->kind, InterfaceKind::DispInterface);
        EXPECT_EQ(iface->flags, unsigned(InterfaceHidden | InterfaceNonExtensible | InterfaceDispatchable));
    }
    EXPECT_TRUE(none.members.empty());
    ASSERT_EQ(events.members.size(), 1u);
    const MemberInfo &statusChange = events.members[0];
    EXPECT_STREQ(statusChange.name, "StatusChange");
    EXPECT_EQ(statusChange.dispid, 1);
    ASSERT_EQ(statusChange.params.size(), 1u);
    EXPECT_STREQ(statusChange.params[0].name, "Message");
    EXPECT_EQ(statusChange.params[0].type.vt, VT_BSTR);
    EXPECT_EQ(statusChange.params[0].flags, unsigned(ParamIn | ParamOut | ParamByRef));
}

TEST(TypeTable, Enumerations)
{
    const std::vector<std::vector<std::pair<const char *, int>>> expected = {
        {{"GradientNone", 0},
         {"GradientRed", 1},
         {"GradientGreen", 2},
         {"GradientBlue", 3},
         {"GradientCyan", 4},
         {"GradientYellow", 5},
         {"GradientMagenta", 6},
         {"GradientGrey", 7}},
        {{"CaptionNone", 0}, {"CaptionPercent", 1}, {"CaptionValue", 2}, {"CaptionCustom", 3}},
        {{"None", 0}, {"FixedSingle", 1}},
    };
    for (std::size_t e = 0; e < expected.size(); ++e) {
        const EnumInfo &info = typeAt<EnumInfo>(6 + e);
        ASSERT_EQ(info.members.size(), expected[e].size()) << info.name;
        for (std::size_t i = 0; i < expected[e].size(); ++i) {
            EXPECT_STREQ(info.members[i].name, expected[e][i].first);
            EXPECT_EQ(info.members[i].value, expected[e][i].second);
            EXPECT_STREQ(info.members[i].helpString, info.members[i].name) << "its own name as documentation";
        }
    }
    // The alignment enumeration comes from the control runtime's library.
    bool found = false;
    for (const ImportInfo &import : lib().imports) {
        for (const EnumInfo *e : import.enums) {
            if (std::string_view(e->name) == "AlignmentConstants") {
                found = true;
                ASSERT_EQ(e->members.size(), 3u);
                for (int i = 0; i < 3; ++i)
                    EXPECT_EQ(e->members[std::size_t(i)].value, i);
            }
        }
    }
    EXPECT_TRUE(found);
}

TEST(TypeTable, IdentifiersAreDistinct)
{
    QSet<QString> ids{guidToString(lib().libid)};
    for (const TypeEntry &entry : lib().types) {
        const GUID id = std::visit(
            [](const auto *info) {
                using T = std::decay_t<decltype(*info)>;
                if constexpr (std::is_same_v<T, ClassInfo>)
                    return info->clsid;
                else if constexpr (std::is_same_v<T, InterfaceInfo>)
                    return info->iid;
                else
                    return info->uuid;
            },
            entry);
        EXPECT_FALSE(id == GUID_NULL);
        ids.insert(guidToString(id));
    }
    EXPECT_EQ(ids.size(), qsizetype(lib().types.size() + 1));
}

TEST(IdlListing, InstalledNextToTheLibraryAndMadeFromTheTable)
{
    QFile file(QStringLiteral(UPDATE_IDL_PATH));
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << UPDATE_IDL_PATH;
    const QString listing = QString::fromUtf8(file.readAll());
    EXPECT_EQ(listing, idlListing(lib()));
    EXPECT_TRUE(listing.contains(QStringLiteral("        [id(0x68030005), propput]\n"
                                                "        HRESULT DownloadFile([in, out] BSTR*);\n")));
    EXPECT_TRUE(listing.contains(QStringLiteral("void StatusChange([in, out] BSTR* Message);")));
    EXPECT_TRUE(listing.contains(QStringLiteral("[helpstring(\"GradientGrey\")] GradientGrey = 7\n")));
    EXPECT_TRUE(listing.contains(QStringLiteral("  hidden,\n      nonextensible\n    ]\n    dispinterface __ctlWebUpdate")));
    EXPECT_FALSE(listing.contains(QStringLiteral("import \"")))
        << "OLE_COLOR is the automation library's, not a redeclared DWORD";
    EXPECT_TRUE(listing.contains(QStringLiteral("importlib(\"stdole2.tlb\");")));
    // The enumerations come first, as IDL declares a type before its use;
    // the other types follow in the library's order.
    qsizetype at = 0;
    for (const char *marker : {"} AlignmentConstants;", "} GradientColour;", "} CaptionType;", "} BorderStyle;",
                               "interface _ctlWebUpdate :", "coclass ctlWebUpdate", "interface _qvProgressBar :",
                               "coclass qvProgressBar", "dispinterface __ctlWebUpdate",
                               "dispinterface __qvProgressBar"}) {
        const qsizetype next = listing.indexOf(QLatin1String(marker), at);
        EXPECT_GT(next, at) << marker;
        at = next;
    }
}
