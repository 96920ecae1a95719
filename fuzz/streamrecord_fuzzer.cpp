// The stream form of a control's settings (the Windows edition's
// IPersistStreamInit): a 32-bit length, then JSON. Read as Load reads it:
// the length, then exactly that many bytes.
#include "fuzz/fuzzsupport.h"
#include "platform/settings/storerecord.h"

namespace record = platform::storerecord;

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QByteArray input = fuzzsupport::inputOf(data, size);
    const std::optional<quint32> length = record::bodyLength(input);
    if (!length || input.size() - record::kLengthBytes < qsizetype(*length))
        return 0;
    const std::optional<platform::MemoryPropertyStore> store =
        record::storeFromBody(input.mid(record::kLengthBytes, *length));
    if (!store)
        return 0;
    const QByteArray saved = record::recordOf(*store);
    fuzzsupport::mustHold(record::bodyLength(saved) == quint32(saved.size() - record::kLengthBytes),
                          "a saved record announces its own length");
    const std::optional<platform::MemoryPropertyStore> restored =
        record::storeFromBody(saved.mid(record::kLengthBytes));
    fuzzsupport::mustHold(restored && restored->entries() == store->entries(),
                          "a record saved and restored compares equal");
    return 0;
}
