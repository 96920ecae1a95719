#pragma once

#include "platform/com/core/comvariant.h"
#include "platform/com/core/guid.h"
#include "platform/com/core/types.h"

#include <span>
#include <utility>
#include <variant>
#include <vector>

// The description of a type library as plain tables: what a library
// publishes (classes, interfaces with every member, enumerations) in one
// place, from which the dispatcher, registration and the readable listing
// all work.
namespace platform::com {

// A value type as it crosses the interface: the VARTYPE that carries it and
// the name the listing shows.
struct TypeRef {
    VARTYPE vt;
    const char *name;
    // A type of its own that the type library refers to by name (an
    // enumeration, OLE_COLOR of the OLE automation library) rather than the
    // plain VARTYPE.
    bool named = false;
};

namespace types {
inline constexpr TypeRef None{VT_EMPTY, "void"};
inline constexpr TypeRef String{VT_BSTR, "BSTR"};
inline constexpr TypeRef Boolean{VT_BOOL, "VARIANT_BOOL"};
inline constexpr TypeRef Integer{VT_I2, "short"};
inline constexpr TypeRef Long{VT_I4, "long"};
inline constexpr TypeRef Colour{VT_I4, "OLE_COLOR", true};
// A 32-bit enumeration, named as in the table.
constexpr TypeRef enumeration(const char *name) { return {VT_I4, name, true}; }
} // namespace types

enum class MemberKind { PropertyGet, PropertyPut, Method };

enum ParamFlag : unsigned { ParamIn = 1, ParamOut = 2, ParamByRef = 4 };

struct ParamInfo {
    const char *name; // empty when the parameter has no name
    TypeRef type;
    unsigned flags;   // ParamFlag
};

// One slot of an interface. A property get returns its value; a property
// put takes it as one [in, out] parameter by reference; a method takes
// params and returns type (None: nothing).
struct MemberInfo {
    const char *name;
    DISPID dispid;
    MemberKind kind;
    TypeRef type;
    std::span<const ParamInfo> params = {};
};

enum InterfaceFlag : unsigned {
    InterfaceHidden = 1,
    InterfaceNonExtensible = 2,
    InterfaceOleAutomation = 4,
    InterfaceDual = 8,
    InterfaceDispatchable = 16,
};

enum class InterfaceKind { Dual, DispInterface };

struct InterfaceInfo {
    const char *name;
    IID iid;
    InterfaceKind kind;
    unsigned flags; // InterfaceFlag
    std::span<const MemberInfo> members;
};

struct EnumMember {
    const char *name;
    std::int32_t value;
    const char *helpString;
};

struct EnumInfo {
    const char *name;
    GUID uuid;
    std::span<const EnumMember> members;
};

// A small picture for form designers' toolboxes: one character per pixel,
// rows top to bottom, each character looked up in the palette.
struct ToolboxBitmap {
    int width;
    int height;
    int bitsPerPixel; // 24, or 4 for a 16-colour picture
    std::span<const char *const> rows;
    std::span<const std::pair<char, std::uint32_t>> palette; // character, 0xRRGGBB
};

enum ClassFlag : unsigned { ClassCanCreate = 1, ClassControl = 2 };

struct ClassInfo {
    const char *name;
    CLSID clsid;
    unsigned flags; // ClassFlag
    const InterfaceInfo *defaultInterface;
    const InterfaceInfo *sourceInterface;
    const char *progId;
    std::uint32_t miscStatus;
    ToolboxBitmap toolboxBitmap;
};

// One entry of the library's list of type information, in order.
using TypeEntry = std::variant<const InterfaceInfo *, const ClassInfo *, const EnumInfo *>;

// A library whose types this one uses: its type library file, or null when
// it has none (its enumerations are then declared in this library).
struct ImportInfo {
    const char *name;
    const char *description;
    const char *typeLibrary;
    std::span<const EnumInfo *const> enums;
};

// What a user looks up about the library file itself.
struct VersionInfo {
    const char *fileDescription;
    const char *internalName;
    const char *fileVersion;
    bool selfRegister;
};

enum LibraryFlag : unsigned { LibraryControl = 1 };

struct TypeLibraryInfo {
    const char *name;
    GUID libid;
    int majorVersion;
    int minorVersion;
    LCID lcid;
    const char *target;
    unsigned flags; // LibraryFlag
    const char *helpString;
    std::span<const ImportInfo> imports;
    std::span<const TypeEntry> types;
    VersionInfo version;
};

// The entries of one kind (ClassInfo, InterfaceInfo or EnumInfo) in the
// library's type list, in its order.
template <typename Info>
std::vector<const Info *> typesOf(const TypeLibraryInfo &lib)
{
    std::vector<const Info *> result;
    for (const TypeEntry &entry : lib.types) {
        if (const auto *info = std::get_if<const Info *>(&entry))
            result.push_back(*info);
    }
    return result;
}

// The name of a type entry.
const char *typeName(const TypeEntry &entry);

// In a Windows library file the type library is resource 1 and the toolbox
// bitmaps of the classes follow as resources 2, 3, ... in the classes'
// order. The resource number of the class's bitmap; 0 for a class not in
// the library.
int toolboxBitmapResource(const TypeLibraryInfo &lib, const ClassInfo &cls);

} // namespace platform::com
