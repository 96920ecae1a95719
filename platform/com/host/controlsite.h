#pragma once

#include "platform/com/core/controlinterfaces.h"
#include "platform/com/core/dispatchimpl.h"

#include <QPointer>
#include <QWidget>

namespace platform::com {

// A container's answer to IDispatch::Invoke for its ambient properties:
// UserMode (DISPID_AMBIENT_USERMODE, got as a Boolean); other DISPIDs are
// not found. Every site of this runtime answers so.
HRESULT invokeAmbientProperty(bool userMode, DISPID dispIdMember, WORD wFlags, DISPPARAMS *pDispParams,
                              VARIANT *pVarResult);

// A container's site for one control: gives the control its parent widget
// and answers the ambient properties through IDispatch (UserMode, DISPID
// DISPID_AMBIENT_USERMODE, as a Boolean; other DISPIDs are not found).
class ControlSite : public DispatchImpl<IControlSite, IDispatch> {
public:
    // A new site with one reference, owned by the caller.
    static ControlSite *create(QWidget *parent, bool userMode);

    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppvObject) override;

    HRESULT STDMETHODCALLTYPE GetParentWidget(QWidget **ppParent) override;

    HRESULT STDMETHODCALLTYPE Invoke(DISPID dispIdMember, REFIID riid, LCID lcid, WORD wFlags, DISPPARAMS *pDispParams,
                                     VARIANT *pVarResult, EXCEPINFO *pExcepInfo, UINT *puArgErr) override;

private:
    ControlSite(QWidget *parent, bool userMode) : m_parent(parent), m_userMode(userMode) {}

    QPointer<QWidget> m_parent;
    bool m_userMode;
};

} // namespace platform::com
