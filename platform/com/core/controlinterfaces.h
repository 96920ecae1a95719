#pragma once

#include "platform/com/core/unknown.h"

class QWidget;

namespace platform::com {

inline constexpr IID IID_IControlSite = makeGuid("557D50EE-4FF0-4292-BBB1-9D4158C6191A");
inline constexpr IID IID_IControl = makeGuid("2C300A7F-DC19-4F29-9B22-F97FDBBC23DB");

// The container's side of a placed control. Its ambient properties
// (DISPID_AMBIENT_USERMODE and others) are read through the IDispatch that
// QueryInterface on the site returns, with DISPATCH_PROPERTYGET.
class IControlSite : public IUnknown {
public:
    // The widget the control is to be a child of (may be null: top level).
    virtual HRESULT STDMETHODCALLTYPE GetParentWidget(QWidget **ppParent) = 0;

protected:
    ~IControlSite() = default;
};

// The control's side: the container hands over its site, and places,
// sizes and shows the control's widget. The widget belongs to the control
// and lives until the control's last reference is released.
class IControl : public IUnknown {
public:
    // Takes the site (null releases it) and moves the widget into the
    // site's parent widget; reads the ambient properties it needs.
    virtual HRESULT STDMETHODCALLTYPE SetSite(IControlSite *pSite) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSite(IControlSite **ppSite) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetWidget(QWidget **ppWidget) = 0;

protected:
    ~IControl() = default;
};

} // namespace platform::com
