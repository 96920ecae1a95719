// Where a download goes: pure rules, with the folder separator of the
// platform ('\' on Windows, which takes '/' too; '/' elsewhere).

#include "update/engine/placement.h"

#include <gtest/gtest.h>

TEST(Placement, FileNameFromPathKeepsOnlyTheLastComponent)
{
    EXPECT_EQ(FileNameFromPath("http://host/local/tarnwick.exe"), "tarnwick.exe");
    EXPECT_EQ(FileNameFromPath("http://host/a\\b/c.exe"), "c.exe") << "the later separator wins";
    EXPECT_EQ(FileNameFromPath("http://host/a/b\\c.exe"), "c.exe");
    EXPECT_EQ(FileNameFromPath("C:\\Program Files\\x.exe"), "x.exe");
    EXPECT_EQ(FileNameFromPath("plain.exe"), "plain.exe");
    EXPECT_EQ(FileNameFromPath("http://host/dir/"), "");
    EXPECT_EQ(FileNameFromPath("http://host/..\\..\\etc\\passwd"), "passwd");
}

#ifdef _WIN32
TEST(Placement, DestinationRules)
{
    EXPECT_EQ(destinationPath("C:\\app\\", "t.exe", false), "C:\\app\\t.exe") << "whether or not it exists";
    EXPECT_EQ(destinationPath("C:\\app\\", "t.exe", true), "C:\\app\\t.exe");
    EXPECT_EQ(destinationPath("C:/app/", "t.exe", false), "C:/app/t.exe") << "Windows takes '/' too";
    EXPECT_EQ(destinationPath("C:\\app", "t.exe", true), "C:\\app\\t.exe");
    EXPECT_EQ(destinationPath("C:\\app\\new.exe", "t.exe", false), "C:\\app\\new.exe");
    EXPECT_EQ(destinationPath("C:\\app", "", true), "C:\\app\\") << "a folder path: the move then fails";
}
#else
TEST(Placement, DestinationRules)
{
    EXPECT_EQ(destinationPath("/opt/app/", "t.exe", false), "/opt/app/t.exe") << "whether or not it exists";
    EXPECT_EQ(destinationPath("/opt/app/", "t.exe", true), "/opt/app/t.exe");
    EXPECT_EQ(destinationPath("/opt/app", "t.exe", true), "/opt/app/t.exe");
    EXPECT_EQ(destinationPath("/opt/app/new.exe", "t.exe", false), "/opt/app/new.exe");
    EXPECT_EQ(destinationPath("/opt/app", "", true), "/opt/app/") << "a folder path: the move then fails";
    EXPECT_EQ(destinationPath("/opt/app\\", "t.exe", false), "/opt/app\\") << "only '/' marks a folder here";
}
#endif
