#pragma once

#include "platform/com/control/activex/innerinterface_win.h"

#include <QByteArray>

namespace platform::com {

// IPersistStreamInit, for containers that keep a control's settings in a
// stream (ATL's among them): the same keys as the property bag, written by
// the control's IPersistPropertyBag into a JSON object, preceded by its
// length in bytes (32 bits, little endian) so that a container may store
// more after it in the same stream.
class PersistStream : public InnerInterface<IPersistStreamInit> {
public:
    PersistStream(IUnknown &outer, IPersistPropertyBag &bag) : InnerInterface(outer), m_bag(bag) {}

    HRESULT STDMETHODCALLTYPE GetClassID(CLSID *pClassID) override;
    // The settings are always offered for saving: the control doesn't
    // track which of its changes a container has saved.
    HRESULT STDMETHODCALLTYPE IsDirty() override;
    HRESULT STDMETHODCALLTYPE Load(LPSTREAM pStm) override;
    HRESULT STDMETHODCALLTYPE Save(LPSTREAM pStm, BOOL fClearDirty) override;
    HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER *pCbSize) override;
    HRESULT STDMETHODCALLTYPE InitNew() override;

private:
    // The record Save writes, or the failure of the control's own save.
    HRESULT record(QByteArray &bytes);

    IPersistPropertyBag &m_bag;
};

} // namespace platform::com
