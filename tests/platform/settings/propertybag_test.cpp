#include "platform/settings/memorypropertystore.h"
#include "platform/settings/propertybag.h"
#include "platform/core/runtimeerror.h"

#include <QTemporaryDir>
#include <gtest/gtest.h>

using platform::MemoryPropertyStore;
using platform::PropertyBag;
using platform::Variant;

TEST(PropertyBag, ReadsAnyLetterCaseAndFallsBackToTheDefault)
{
    MemoryPropertyStore store;
    store.write("autorun", false);
    const PropertyBag bag(store);
    EXPECT_EQ(bag.ReadProperty("AutoRun", true), Variant(false));
    EXPECT_EQ(bag.ReadProperty("AUTORUN", true), Variant(false));
    EXPECT_EQ(bag.ReadProperty("ConfirmDownload", true), Variant(true));
}

TEST(PropertyBag, LeavesOutAValueEqualToTheWritingDefault)
{
    MemoryPropertyStore store;
    PropertyBag bag(store);
    bag.WriteProperty("Empty", QString(), Variant(QString()));
    bag.WriteProperty("Flag", false, Variant(QString()));
    bag.WriteProperty("Text", "x", Variant(QString()));
    bag.WriteProperty("Always", std::int32_t(0));
    ASSERT_EQ(store.size(), 3);
    EXPECT_FALSE(store.read("Empty").has_value());
    EXPECT_EQ(store.read("flag"), Variant(false));
    EXPECT_EQ(store.read("always"), Variant(std::int32_t(0)));
}

TEST(PropertyBag, WritingAKeyInAnotherCaseReplacesIt)
{
    MemoryPropertyStore store;
    store.write("Max", std::int32_t(1));
    store.write("MAX", std::int32_t(2));
    ASSERT_EQ(store.size(), 1);
    EXPECT_EQ(store.entries().front().first, QString("Max"));
    EXPECT_EQ(store.read("max"), Variant(std::int32_t(2)));
    store.write(QString::fromUtf8("\u00c4rger"), true);
    EXPECT_EQ(store.read(QString::fromUtf8("\u00e4RGER")), Variant(true)) << "beyond ASCII too";
    EXPECT_EQ(store.size(), 2);
}

TEST(PropertyBag, SurvivesAJsonFile)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("settings.json");
    MemoryPropertyStore store;
    store.write("DownloadFile", "http://127.0.0.1/a.exe");
    store.write("AutoRun", true);
    store.write("Max", std::int32_t(-7));
    store.write("Ratio", 0.25);
    store.saveToFile(path);

    const MemoryPropertyStore loaded = MemoryPropertyStore::loadFromFile(path);
    EXPECT_EQ(loaded.read("downloadfile"), Variant("http://127.0.0.1/a.exe"));
    EXPECT_EQ(loaded.read("AutoRun"), Variant(true));
    EXPECT_EQ(loaded.read("Max"), Variant(std::int32_t(-7)));
    EXPECT_EQ(loaded.read("Ratio"), Variant(0.25));
}

TEST(PropertyBag, ABrokenOrMissingFileRaisesAClearError)
{
    QTemporaryDir dir;
    const QString path = dir.filePath("bad.json");
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("{ not json");
    f.close();
    try {
        MemoryPropertyStore::loadFromFile(path);
        FAIL() << "no error";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), 13);
    }
    try {
        MemoryPropertyStore::loadFromFile(dir.filePath("missing.json"));
        FAIL() << "no error";
    } catch (const platform::RuntimeError &e) {
        EXPECT_EQ(e.number(), 53);
    }
}
