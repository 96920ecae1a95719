#include "tools/ctlhost/scriptline.h"

#include <gtest/gtest.h>
#include <cstdint>
#include <stdexcept>

using platform::Variant;

TEST(CtlhostScript, SplitsWordsAndKeepsQuotedBlanksAndEscapes)
{
    EXPECT_EQ(splitScriptLine("  put  web 0x68030005 \"http://127.0.0.1/a b.exe\" "),
              (QStringList{"put", "web", "0x68030005", "\"http://127.0.0.1/a b.exe\""}));
    EXPECT_EQ(splitScriptLine(R"(replace-status web "say \"hi\"\n\\ \x41")"),
              (QStringList{"replace-status", "web", "\"say \"hi\"\n\\ A\""}));
    EXPECT_THROW(splitScriptLine("put web 1 \"open"), std::invalid_argument);
    EXPECT_THROW(splitScriptLine(R"(put web 1 "\q")"), std::invalid_argument);
}

TEST(CtlhostScript, ReadsEveryKindOfValue)
{
    EXPECT_EQ(parseScriptValue("\"text\""), Variant("text"));
    EXPECT_EQ(parseScriptValue("\"\""), Variant(QString()));
    EXPECT_EQ(parseScriptValue("true"), Variant(true));
    EXPECT_EQ(parseScriptValue("false"), Variant(false));
    EXPECT_EQ(parseScriptValue("-42"), Variant(std::int32_t(-42)));
    EXPECT_EQ(parseScriptValue("i2:7"), Variant(std::int16_t(7)));
    EXPECT_EQ(parseScriptValue("r8:2.5"), Variant(2.5));
    EXPECT_THROW(parseScriptValue("i2:40000"), std::invalid_argument);
    EXPECT_THROW(parseScriptValue("yes"), std::invalid_argument);
}

TEST(CtlhostScript, DispidsInHexOrDecimalPrintAsHex)
{
    const QList<QPair<const char *, int>> valid = {
        {"0x68030005", 0x68030005}, {"1745027077", 0x68030005}, {"-709", -709},
        {"0x80000000", INT32_MIN},  {"-2147483648", INT32_MIN}, {"2147483647", INT32_MAX},
        {"0xFFFFFFFF", -1},         {"-0x1", -1},               {"0", 0},
    };
    for (const auto &[word, dispid] : valid)
        EXPECT_EQ(parseDispid(word), dispid) << word;
    for (const char *word : {"0xZZ", "2147483648", "-2147483649", "0x100000000", "4294967295", "-0x80000001",
                             "99999999999999999999", "--1", "", "-"})
        EXPECT_THROW(parseDispid(word), std::invalid_argument) << word;
    EXPECT_EQ(formatDispid(0x6803000F), QString("0x6803000F"));
    EXPECT_EQ(formatDispid(1), QString("0x00000001"));
}

TEST(CtlhostScript, PrintsValuesSoTheyReadBack)
{
    EXPECT_EQ(formatValue(Variant("a \"b\"\n")), QString(R"("a \"b\"\n")"));
    EXPECT_EQ(formatValue(Variant(true)), QString("true"));
    EXPECT_EQ(formatValue(Variant(std::int16_t(-3))), QString("-3"));
    const QString line = "x " + formatValue(Variant("tab\there \\ end"));
    EXPECT_EQ(parseScriptValue(splitScriptLine(line).at(1)), Variant("tab\there \\ end"));
}
