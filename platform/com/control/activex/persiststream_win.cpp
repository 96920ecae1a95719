#include "platform/com/control/activex/persiststream_win.h"

#include "platform/com/core/comptr.h"
#include "platform/com/host/propertybagoverstore.h"
#include "platform/settings/storerecord.h"

namespace platform::com {

namespace {

HRESULT readExactly(IStream *stream, void *data, ULONG size)
{
    ULONG read = 0;
    const HRESULT h = stream->Read(data, size, &read);
    if (FAILED(h))
        return h;
    return read == size ? S_OK : STG_E_READFAULT;
}

} // namespace

HRESULT STDMETHODCALLTYPE PersistStream::GetClassID(CLSID *pClassID)
{
    return m_bag.GetClassID(pClassID);
}

HRESULT STDMETHODCALLTYPE PersistStream::IsDirty()
{
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistStream::Load(LPSTREAM pStm)
{
    if (!pStm)
        return E_POINTER;
    char lengthBytes[platform::storerecord::kLengthBytes];
    HRESULT h = readExactly(pStm, lengthBytes, sizeof lengthBytes);
    if (FAILED(h))
        return h;
    const std::optional<quint32> length =
        platform::storerecord::bodyLength(QByteArrayView(lengthBytes, sizeof lengthBytes));
    if (!length)
        return STG_E_READFAULT;
    QByteArray bytes(qsizetype(*length), '\0');
    h = readExactly(pStm, bytes.data(), *length);
    if (FAILED(h))
        return h;
    std::optional<platform::MemoryPropertyStore> store = platform::storerecord::storeFromBody(bytes);
    if (!store)
        return STG_E_READFAULT;
    const auto bag = ComPtr<PropertyBagOverStore>::adopt(PropertyBagOverStore::create(*store));
    return m_bag.Load(bag.get(), nullptr);
}

HRESULT PersistStream::record(QByteArray &bytes)
{
    platform::MemoryPropertyStore store;
    const auto bag = ComPtr<PropertyBagOverStore>::adopt(PropertyBagOverStore::create(store));
    const HRESULT h = m_bag.Save(bag.get(), FALSE, TRUE);
    if (FAILED(h))
        return h;
    bytes = platform::storerecord::recordOf(store);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE PersistStream::Save(LPSTREAM pStm, BOOL)
{
    if (!pStm)
        return E_POINTER;
    QByteArray bytes;
    HRESULT h = record(bytes);
    if (FAILED(h))
        return h;
    ULONG written = 0;
    h = pStm->Write(bytes.constData(), ULONG(bytes.size()), &written);
    if (FAILED(h))
        return h;
    return written == ULONG(bytes.size()) ? S_OK : STG_E_WRITEFAULT;
}

HRESULT STDMETHODCALLTYPE PersistStream::GetSizeMax(ULARGE_INTEGER *pCbSize)
{
    if (!pCbSize)
        return E_POINTER;
    QByteArray bytes;
    const HRESULT h = record(bytes);
    if (SUCCEEDED(h))
        pCbSize->QuadPart = ULONGLONG(bytes.size());
    return h;
}

HRESULT STDMETHODCALLTYPE PersistStream::InitNew()
{
    return m_bag.InitNew();
}

} // namespace platform::com
