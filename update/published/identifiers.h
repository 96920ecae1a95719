#pragma once

#include "platform/com/core/guid.h"

// The identifiers of the type library, its classes and its interfaces:
// chosen once, never changed, since registries, hosts and saved forms hold
// them.
namespace qvWebUpdate {

using platform::com::CLSID;
using platform::com::GUID;
using platform::com::IID;
using platform::com::makeGuid;

inline constexpr GUID LIBID_qvWebUpdate = makeGuid("8CBBE234-A5F0-4D48-AD0A-DCB8DCE575BA");
inline constexpr CLSID CLSID_ctlWebUpdate = makeGuid("075FA637-8FAB-4CBD-9899-5CA6329C9E8D");
inline constexpr CLSID CLSID_qvProgressBar = makeGuid("DE43E959-6F4D-47B6-B8BE-8DD36F44EAA1");
inline constexpr IID IID__ctlWebUpdate = makeGuid("4D012997-24AF-4DFF-B0D4-53A1C8F87998");
inline constexpr IID IID__qvProgressBar = makeGuid("A64C3180-CFB1-4730-933A-5277F28A319E");
inline constexpr IID DIID___ctlWebUpdate = makeGuid("17712050-0817-4538-993D-DE01E62E4ECF");
inline constexpr IID DIID___qvProgressBar = makeGuid("7F14DC8F-17CC-4AED-9726-7029E82681BA");

} // namespace qvWebUpdate
