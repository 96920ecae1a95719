// Saved settings as a host keeps them: a JSON file loaded into a property
// store, which saved and loaded again must be the same store.
#include "fuzz/fuzzsupport.h"
#include "platform/core/runtimeerror.h"
#include "platform/settings/memorypropertystore.h"

namespace {

// The key in capitals, A to Z only: the letter case hosts write keys in
// (Unicode's full case mappings, such as a ligature's two capitals, are no
// spelling of the same key).
QString asciiCapitals(QString key)
{
    for (QChar &c : key) {
        if (c >= QLatin1Char('a') && c <= QLatin1Char('z'))
            c = QChar(c.unicode() - 'a' + 'A');
    }
    return key;
}

} // namespace

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
        fuzzsupport::mustHold(store.read(asciiCapitals(key)) == value, "keys match in any letter case");
    return 0;
}
