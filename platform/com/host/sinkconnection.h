#pragma once

#include "platform/com/core/comptr.h"
#include "platform/com/core/connectioninterfaces.h"

namespace platform::com {

// A sink's connection to one outgoing interface of an object, made through
// the object's connection point container.
class SinkConnection {
public:
    // Ends the connection made before, if any, then advises sink on the
    // object's connection point for iid.
    HRESULT connect(IUnknown *object, REFIID iid, IUnknown *sink);
    // Ends the connection, if any. The point releases the sink: a caller
    // that is the sink keeps a reference of its own until it is done.
    void disconnect();

private:
    ComPtr<IConnectionPoint> m_point;
    DWORD m_cookie = 0;
};

} // namespace platform::com
