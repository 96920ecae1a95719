#pragma once

#include "platform/com/control/activex/innerinterface_win.h"

#include <functional>

namespace platform::com {

// IOleControl: the container says when an ambient property changed, and
// ambientChanged runs for UserMode (or for any, DISPID_UNKNOWN). The
// controls have no mnemonics and take no keyboard accelerators.
class OleControl : public InnerInterface<IOleControl> {
public:
    OleControl(IUnknown &outer, std::function<void()> ambientChanged)
        : InnerInterface(outer), m_ambientChanged(std::move(ambientChanged))
    {
    }

    HRESULT STDMETHODCALLTYPE GetControlInfo(CONTROLINFO *pCI) override;
    HRESULT STDMETHODCALLTYPE OnMnemonic(MSG *pMsg) override;
    HRESULT STDMETHODCALLTYPE OnAmbientPropertyChange(DISPID dispID) override;
    HRESULT STDMETHODCALLTYPE FreezeEvents(BOOL bFreeze) override;

private:
    std::function<void()> m_ambientChanged;
};

} // namespace platform::com
