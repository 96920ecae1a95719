// Saved settings as a host keeps them: a JSON file loaded into a property
// store, which saved and loaded again must be the same store.
#include "fuzz/fuzzsupport.h"
#include "platform/core/runtimeerror.h"
#include "platform/settings/memorypropertystore.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    static const QString path = fuzzsupport::privateFolder() + QStringLiteral("/bag.json");
    static const QString again = fuzzsupport::privateFolder() + QStringLiteral("/again.json");
    fuzzsupport::writeFile(path, fuzzsupport::inputOf(data, size));
    platform::MemoryPropertyStore store;
    try {
        store = platform::MemoryPropertyStore::loadFromFile(path);
    } catch (const platform::RuntimeError &) {
        return 0;
    }
    store.saveToFile(again);
    const platform::MemoryPropertyStore restored = platform::MemoryPropertyStore::loadFromFile(again);
    fuzzsupport::mustHold(restored.entries() == store.entries(), "a bag saved and restored compares equal");
    for (const auto &[key, value] : store.entries())
        fuzzsupport::mustHold(store.read(key.toUpper()) == value, "keys match in any letter case");
    return 0;
}
