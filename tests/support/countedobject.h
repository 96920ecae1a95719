#pragma once

#include "platform/com/core/comimpl.h"

namespace testsupport {

namespace counted {
// COM's names unqualified: on Windows several of them are macros.
using namespace platform::com;

// The plainest COM object: IUnknown with its reference count, to see who
// takes and gives back references.
class CountedObject : public ComImpl<IUnknown> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID riid, void **ppv) override
    {
        if (riid == IID_IUnknown)
            return handOut(this, ppv);
        *ppv = nullptr;
        return E_NOINTERFACE;
    }
    // The references held now.
    ULONG refs()
    {
        AddRef();
        return Release();
    }
};
} // namespace counted

using counted::CountedObject;

} // namespace testsupport
