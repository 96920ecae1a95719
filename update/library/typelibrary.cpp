#include "update/library/typelibrary.h"

namespace qvWebUpdate {

namespace {

using namespace platform::com;
namespace id = ctlWebUpdateId;
namespace pb = qvProgressBarId;

constexpr MemberKind Get = MemberKind::PropertyGet;
constexpr MemberKind Put = MemberKind::PropertyPut;
constexpr MemberKind Method = MemberKind::Method;

// _ctlWebUpdate: each property's get, then its put, in slot order.
constexpr MemberInfo ctlWebUpdateMembers[] = {
    {"DownloadLocation", id::DownloadLocation, Get, types::String},
    {"DownloadLocation", id::DownloadLocation, Put, types::String},
    {"DownloadFile", id::DownloadFile, Get, types::String},
    {"DownloadFile", id::DownloadFile, Put, types::String},
    {"DownloadVersionFile", id::DownloadVersionFile, Get, types::String},
    {"DownloadVersionFile", id::DownloadVersionFile, Put, types::String},
    {"CurrentVersion", id::CurrentVersion, Get, types::String},
    {"CurrentVersion", id::CurrentVersion, Put, types::String},
    {"ConfirmDownload", id::ConfirmDownload, Get, types::Boolean},
    {"ConfirmDownload", id::ConfirmDownload, Put, types::Boolean},
    {"AutoRun", id::AutoRun, Get, types::Boolean},
    {"AutoRun", id::AutoRun, Put, types::Boolean},
    {"LogFilename", id::LogFilename, Get, types::String},
    {"LogFilename", id::LogFilename, Put, types::String},
    {"RunUpdate", id::RunUpdate, Method, types::None},
    {"CancelDownload", id::CancelDownload, Method, types::None},
};

constexpr TypeRef GradientColourType = types::enumeration("GradientColour");
constexpr TypeRef CaptionTypeType = types::enumeration("CaptionType");
constexpr TypeRef BorderStyleType = types::enumeration("BorderStyle");
constexpr TypeRef AlignmentType = types::enumeration("AlignmentConstants");

// _qvProgressBar: each property's get, then its put, in slot order.
constexpr MemberInfo qvProgressBarMembers[] = {
    {"ReverseGradient", pb::ReverseGradient, Get, types::Boolean},
    {"ReverseGradient", pb::ReverseGradient, Put, types::Boolean},
    {"Horizontal", pb::Horizontal, Get, types::Boolean},
    {"Horizontal", pb::Horizontal, Put, types::Boolean},
    {"Alignment", pb::Alignment, Get, AlignmentType},
    {"Alignment", pb::Alignment, Put, AlignmentType},
    {"GradientColour", pb::GradientColour, Get, GradientColourType},
    {"GradientColour", pb::GradientColour, Put, GradientColourType},
    {"MarginSize", pb::MarginSize, Get, types::Integer},
    {"MarginSize", pb::MarginSize, Put, types::Integer},
    {"BorderStyle", pb::BorderStyle, Get, BorderStyleType},
    {"BorderStyle", pb::BorderStyle, Put, BorderStyleType},
    {"BackColour", pb::BackColour, Get, types::Colour},
    {"BackColour", pb::BackColour, Put, types::Colour},
    {"FontColour", pb::FontColour, Get, types::Colour},
    {"FontColour", pb::FontColour, Put, types::Colour},
    {"BarColour", pb::BarColour, Get, types::Colour},
    {"BarColour", pb::BarColour, Put, types::Colour},
    {"Max", pb::Max, Get, types::Long},
    {"Max", pb::Max, Put, types::Long},
    {"Min", pb::Min, Get, types::Long},
    {"Min", pb::Min, Put, types::Long},
    {"Value", pb::Value, Get, types::Long},
    {"Value", pb::Value, Put, types::Long},
    {"DotWidth", pb::DotWidth, Get, types::Long},
    {"DotWidth", pb::DotWidth, Put, types::Long},
    {"GapWidth", pb::GapWidth, Get, types::Long},
    {"GapWidth", pb::GapWidth, Put, types::Long},
    {"CaptionType", pb::CaptionType, Get, CaptionTypeType},
    {"CaptionType", pb::CaptionType, Put, CaptionTypeType},
    {"Caption", pb::Caption, Put, types::String},
};

constexpr ParamInfo statusChangeParams[] = {
    {"Message", types::String, ParamIn | ParamOut | ParamByRef},
};

constexpr MemberInfo ctlWebUpdateEvents[] = {
    {"StatusChange", id::StatusChange, Method, types::None, statusChangeParams},
};

constexpr unsigned dualFlags =
    InterfaceHidden | InterfaceNonExtensible | InterfaceOleAutomation | InterfaceDual | InterfaceDispatchable;
constexpr unsigned dispFlags = InterfaceHidden | InterfaceNonExtensible | InterfaceDispatchable;

constexpr InterfaceInfo ctlWebUpdateInterface{"_ctlWebUpdate", IID__ctlWebUpdate, InterfaceKind::Dual, dualFlags,
                                              ctlWebUpdateMembers};
constexpr InterfaceInfo qvProgressBarInterface{"_qvProgressBar", IID__qvProgressBar, InterfaceKind::Dual, dualFlags,
                                               qvProgressBarMembers};
constexpr InterfaceInfo ctlWebUpdateEventInterface{"__ctlWebUpdate", DIID___ctlWebUpdate,
                                                   InterfaceKind::DispInterface, dispFlags, ctlWebUpdateEvents};
constexpr InterfaceInfo qvProgressBarEventInterface{"__qvProgressBar", DIID___qvProgressBar,
                                                    InterfaceKind::DispInterface, dispFlags, {}};

constexpr EnumMember gradientColourMembers[] = {
    {"GradientNone", 0, "GradientNone"},       {"GradientRed", 1, "GradientRed"},
    {"GradientGreen", 2, "GradientGreen"},     {"GradientBlue", 3, "GradientBlue"},
    {"GradientCyan", 4, "GradientCyan"},       {"GradientYellow", 5, "GradientYellow"},
    {"GradientMagenta", 6, "GradientMagenta"}, {"GradientGrey", 7, "GradientGrey"},
};
constexpr EnumMember captionTypeMembers[] = {
    {"CaptionNone", 0, "CaptionNone"},
    {"CaptionPercent", 1, "CaptionPercent"},
    {"CaptionValue", 2, "CaptionValue"},
    {"CaptionCustom", 3, "CaptionCustom"},
};
constexpr EnumMember borderStyleMembers[] = {
    {"None", 0, "None"},
    {"FixedSingle", 1, "FixedSingle"},
};
constexpr EnumMember alignmentMembers[] = {
    {"LeftJustify", 0, "LeftJustify"},
    {"RightJustify", 1, "RightJustify"},
    {"Center", 2, "Center"},
};

constexpr EnumInfo gradientColourEnum{"GradientColour", makeGuid("1588B32E-F09F-4792-BA28-6644CB34878D"),
                                      gradientColourMembers};
constexpr EnumInfo captionTypeEnum{"CaptionType", makeGuid("0103C43A-4B50-4BF8-BB99-0C2174450E5C"),
                                   captionTypeMembers};
constexpr EnumInfo borderStyleEnum{"BorderStyle", makeGuid("621AF4BC-55EA-4395-8CAB-64625E7DA468"),
                                   borderStyleMembers};
constexpr EnumInfo alignmentEnum{"AlignmentConstants", makeGuid("661041D5-CBA6-422D-A92C-2395F51F254C"),
                                 alignmentMembers};

// A globe with a download arrow over a tray.
constexpr const char *ctlWebUpdateBitmapRows[] = {
    "............rrr.",
    "............rrr.",
    "...bbbbb....rrr.",
    ".bbcggccbb..rrr.",
    ".bcgggcccb..rrr.",
    "bccggccgccb.rrr.",
    "bcccgccggcb.rrr.",
    "bccccccggcbrrrrr",
    "bcgccccgccb.rrr.",
    "bcggccccccb..r..",
    ".bcgccccgb......",
    ".bbcccccbb......",
    "...bbbbb........",
    "kkkkkkkkkkkkkkkk",
    "kkkkkkkkkkkkkkkk",
};
constexpr std::pair<char, std::uint32_t> ctlWebUpdateBitmapPalette[] = {
    {'.', 0xC0C0C0}, {'b', 0x003C8C}, {'c', 0x4FA3E8}, {'g', 0x2E9E3E}, {'r', 0xD02020}, {'k', 0x404040},
};

// A framed row of dots, filled to the third dot.
constexpr const char *qvProgressBarBitmapRows[] = {
    "................",
    "................",
    "................",
    "................",
    "wwwwwwwwwwwwwwww",
    "wkkkkkkkkkkkkkkw",
    "wkcckcckcckggkkw",
    "wkcckcckcckggkkw",
    "wkcckcckcckggkkw",
    "wkkkkkkkkkkkkkkw",
    "wwwwwwwwwwwwwwww",
    "................",
    "................",
    "................",
    "................",
};
constexpr std::pair<char, std::uint32_t> qvProgressBarBitmapPalette[] = {
    {'.', 0xC0C0C0}, {'w', 0xFFFFFF}, {'k', 0x000000}, {'c', 0x00FFFF}, {'g', 0x008080},
};

// Recompose on resize, can't link inside, inside-out, activate when
// visible, set client site first.
constexpr std::uint32_t controlMiscStatus = 0x00020191;

constexpr ClassInfo ctlWebUpdateInfo{
    "ctlWebUpdate",
    CLSID_ctlWebUpdate,
    ClassCanCreate | ClassControl,
    &ctlWebUpdateInterface,
    &ctlWebUpdateEventInterface,
    "qvWebUpdate.ctlWebUpdate",
    controlMiscStatus,
    {16, 15, 24, ctlWebUpdateBitmapRows, ctlWebUpdateBitmapPalette},
};
constexpr ClassInfo qvProgressBarInfo{
    "qvProgressBar",
    CLSID_qvProgressBar,
    ClassCanCreate | ClassControl,
    &qvProgressBarInterface,
    &qvProgressBarEventInterface,
    "qvWebUpdate.qvProgressBar",
    controlMiscStatus,
    {16, 15, 4, qvProgressBarBitmapRows, qvProgressBarBitmapPalette},
};

constexpr TypeEntry typeEntries[] = {
    &ctlWebUpdateInterface, &ctlWebUpdateInfo, &qvProgressBarInterface, &qvProgressBarInfo,
    &ctlWebUpdateEventInterface, &qvProgressBarEventInterface, &gradientColourEnum, &captionTypeEnum,
    &borderStyleEnum,
};

constexpr const EnumInfo *controlRuntimeEnums[] = {&alignmentEnum};

constexpr ImportInfo imports[] = {
    {"stdole", "OLE Automation: the base interface IDispatch and the colour type OLE_COLOR", "stdole2.tlb", {}},
    {"ControlRuntime", "The control runtime: the alignment enumeration of Alignment", nullptr, controlRuntimeEnums},
};

constexpr TypeLibraryInfo library{
    "qvWebUpdate",
    LIBID_qvWebUpdate,
    1,
    0,
    0x0409,
#if defined(_WIN64)
    "Windows x86-64",
#elif defined(_WIN32)
    "Windows x86",
#else
    "Linux x86-64",
#endif
    LibraryControl,
    "qvWebUpdate software update over the web",
    imports,
    typeEntries,
    {"Software Download Manager", "Update", "1.0.0.0", true},
};

} // namespace

const TypeLibraryInfo &typeLibrary() { return library; }
const ClassInfo &ctlWebUpdateClass() { return ctlWebUpdateInfo; }
const ClassInfo &qvProgressBarClass() { return qvProgressBarInfo; }

} // namespace qvWebUpdate
