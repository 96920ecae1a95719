#pragma once

#include "platform/com/core/unknown.h"

namespace platform::com {

#ifdef _WIN32
using ::IConnectionPoint;
using ::IConnectionPointContainer;
using ::IEnumConnectionPoints;
using ::IEnumConnections;
using ::IPropertyNotifySink;
#else
inline constexpr IID IID_IConnectionPointContainer = makeGuid("B196B284-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IConnectionPoint = makeGuid("B196B286-BAB4-101A-B69C-00AA00341D07");
inline constexpr IID IID_IPropertyNotifySink = makeGuid("9BFBBC02-EFF1-101A-84ED-00AA00341D07");

class IConnectionPoint;
class IEnumConnectionPoints;
class IEnumConnections;

// An object that raises events: finds the connection point of one outgoing
// (source) interface.
class IConnectionPointContainer : public IUnknown {
public:
    // Enumeration is not offered: returns E_NOTIMPL.
    virtual HRESULT EnumConnectionPoints(IEnumConnectionPoints **ppEnum) = 0;
    // The connection point for the source interface riid, or CONNECT_E_NOCONNECTION.
    virtual HRESULT FindConnectionPoint(REFIID riid, IConnectionPoint **ppCP) = 0;

protected:
    ~IConnectionPointContainer() = default;
};

// One outgoing interface of an object. Advise connects a sink (an IDispatch
// that receives each event through Invoke with DISPATCH_METHOD) and returns
// a cookie that Unadvise takes back.
class IConnectionPoint : public IUnknown {
public:
    virtual HRESULT GetConnectionInterface(IID *pIID) = 0;
    virtual HRESULT GetConnectionPointContainer(IConnectionPointContainer **ppCPC) = 0;
    virtual HRESULT Advise(IUnknown *pUnkSink, DWORD *pdwCookie) = 0;
    virtual HRESULT Unadvise(DWORD dwCookie) = 0;
    // Enumeration is not offered: returns E_NOTIMPL.
    virtual HRESULT EnumConnections(IEnumConnections **ppEnum) = 0;

protected:
    ~IConnectionPoint() = default;
};

// A container's receiver of an object's property changes, connected
// through the object's connection point for IID_IPropertyNotifySink.
class IPropertyNotifySink : public IUnknown {
public:
    // The property dispID has changed (DISPID_UNKNOWN: several may have).
    virtual HRESULT OnChanged(DISPID dispID) = 0;
    // The object asks whether the property dispID may change: S_OK allows,
    // S_FALSE refuses.
    virtual HRESULT OnRequestEdit(DISPID dispID) = 0;

protected:
    ~IPropertyNotifySink() = default;
};
#endif

} // namespace platform::com
