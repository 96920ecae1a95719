#include "platform/com/control/activex/persiststream_win.h"

#include "platform/com/core/comptr.h"
#include "platform/com/host/propertybagoverstore.h"
#include "platform/settings/memorypropertystore.h"

#include <QJsonDocument>
#include <QtEndian>

namespace platform::com {

namespace {

// More than any control's settings: a longer record is damage, not settings.
constexpr quint32 kLargestRecord = 1 << 20;

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
    quint32 length = 0;
    HRESULT h = readExactly(pStm, &length, sizeof length);
    if (FAILED(h))
        return h;
    length = qFromLittleEndian(length);
    if (length > kLargestRecord)
        return STG_E_READFAULT;
    QByteArray bytes(qsizetype(length), '\0');
    h = readExactly(pStm, bytes.data(), length);
    if (FAILED(h))
        return h;
    QJsonParseError error{};
    const QJsonDocument document = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !document.isObject())
        return STG_E_READFAULT;
    platform::MemoryPropertyStore store = platform::MemoryPropertyStore::fromJson(document.object());
    const auto bag = ComPtr<PropertyBagOverStore>::adopt(PropertyBagOverStore::create(store));
    return m_bag.Load(bag.get(), nullptr);
}

HRESULT PersistStream::record(QByteArray &bytes)
{
    platform::MemoryPropertyStore store;
    const auto bag = ComPtr<PropertyBagOverStore>::adopt(PropertyBagOverStore::create(store));
    const HRESULT h = m_bag.Save(bag.get(), FALSE, TRUE);
    if (FAILED(h))
        return h;
    const QByteArray json = QJsonDocument(store.toJson()).toJson(QJsonDocument::Compact);
    bytes.resize(sizeof(quint32));
    qToLittleEndian(quint32(json.size()), bytes.data());
    bytes += json;
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
