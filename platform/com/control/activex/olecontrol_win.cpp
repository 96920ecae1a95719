#include "platform/com/control/activex/olecontrol_win.h"

namespace platform::com {

HRESULT STDMETHODCALLTYPE OleControl::GetControlInfo(CONTROLINFO *pCI)
{
    if (!pCI)
        return E_POINTER;
    if (pCI->cb < sizeof(CONTROLINFO))
        return E_INVALIDARG;
    pCI->hAccel = nullptr;
    pCI->cAccel = 0;
    pCI->dwFlags = 0;
    return S_OK;
}

HRESULT STDMETHODCALLTYPE OleControl::OnMnemonic(MSG *)
{
    return E_NOTIMPL;
}

HRESULT STDMETHODCALLTYPE OleControl::OnAmbientPropertyChange(DISPID dispID)
{
    if (dispID == DISPID_AMBIENT_USERMODE || dispID == DISPID_UNKNOWN)
        m_ambientChanged();
    return S_OK;
}

// Events go on while frozen: a container that freezes them while it
// loads a form has no handler to miss them yet.
HRESULT STDMETHODCALLTYPE OleControl::FreezeEvents(BOOL)
{
    return S_OK;
}

} // namespace platform::com
