#include "platform/read/internal/curltransfer.h"

#include <gtest/gtest.h>

TEST(CurlTransfer, LoopbackHostsAreTheNamesAndAddressesOfThisMachineOnly)
{
    for (const QString host : {"localhost", "LOCALHOST", "a.localhost", "127.0.0.1", "127.255.0.9", "::1",
                               "::ffff:127.0.0.1"})
        EXPECT_TRUE(platform::isLoopbackHost(host)) << qPrintable(host);
    for (const QString host : {"tarnwick.invalid", "128.0.0.1", "127.0.0", "127.0.0.256", "127.example.com", "::2", ""})
        EXPECT_FALSE(platform::isLoopbackHost(host)) << qPrintable(host);
}
