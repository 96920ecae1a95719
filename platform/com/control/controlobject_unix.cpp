// Names of a control object's members where the runtime is this one: with
// no type information, the dispatcher looks them up.

#include "platform/com/control/controlobject.h"

namespace platform::com {

HRESULT STDMETHODCALLTYPE ControlObject::GetIDsOfNames(REFIID riid, LPOLESTR *rgszNames, UINT cNames, LCID lcid,
                                                       DISPID *rgDispId)
{
    return m_dispatcher->GetIDsOfNames(riid, rgszNames, cNames, lcid, rgDispId);
}

} // namespace platform::com
