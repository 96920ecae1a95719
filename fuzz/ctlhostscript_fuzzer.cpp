// ctlhost's script lines: words, values and DISPIDs, each of which must
// read back as it is printed.
#include "fuzz/fuzzsupport.h"
#include "tools/ctlhost/scriptline.h"

#include <stdexcept>

namespace {

// Exceptions are slow under the sanitizers: words that can't be values
// (commands, names) are left out of the value parsers, which they would
// leave at their first character.
bool mayBeValue(const QString &word)
{
    return !word.isEmpty() && QStringLiteral("\"+-0123456789tfir").contains(word.front());
}

void checkWord(const QString &word)
{
    if (!mayBeValue(word))
        return;
    try {
        const platform::Variant value = parseScriptValue(word);
        if (value.type() == platform::Variant::Type::String)
            fuzzsupport::mustHold(parseScriptValue(splitScriptLine(quoted(value.toString())).value(0)) == value,
                                  "a text reads back as it is printed");
    } catch (const std::invalid_argument &) {
    }
    try {
        const int dispid = parseDispid(word);
        fuzzsupport::mustHold(parseDispid(formatDispid(dispid)) == dispid, "a DISPID reads back as printed");
    } catch (const std::invalid_argument &) {
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t *data, size_t size)
{
    const QString script = QString::fromUtf8(fuzzsupport::inputOf(data, size));
    for (const QString &line : script.split(QLatin1Char('\n'))) {
        try {
            for (const QString &word : splitScriptLine(line.trimmed()))
                checkWord(word);
        } catch (const std::invalid_argument &) {
        }
    }
    return 0;
}
