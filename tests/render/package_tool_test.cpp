#include "vmftool/package_tool.h"

#include <gtest/gtest.h>

#include <sstream>

#include "render/hand_package.h"

namespace {

using namespace render_test;

struct ToolResult {
  int code;
  std::string out;
  std::string err;
};

ToolResult run_tool(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = vmftool::run(args, out, err);
  return {code, out.str(), err.str()};
}

struct PackageToolTest : ::testing::Test {
  PackageToolTest() {
    write_bytes(folder.file("reef.txt"), bytes_of("a reef of coral\n"));
    write_bytes(folder.file("body.m8"), repetitive(10000));
    write_bytes(folder.file("skin.bmp"), noise(3000, 8));
  }
  TempFolder folder;
};

TEST_F(PackageToolTest, CreateListExtractGivesTheSameBytes) {
  const std::string package = folder.file("Tang.vmf");
  ToolResult created = run_tool({"create", package, "--class", "0x12", folder.file("reef.txt"),
                                 folder.file("body.m8"), folder.file("skin.bmp")});
  ASSERT_EQ(created.code, 0) << created.err;
  EXPECT_EQ(created.err, "");

  ToolResult listed = run_tool({"list", package});
  ASSERT_EQ(listed.code, 0) << listed.err;
  EXPECT_NE(listed.out.find("package \"Tang\", class 18, 3 entries"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("reef.txt"), std::string::npos);
  EXPECT_NE(listed.out.find("10000  packed"), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("3000  plain"), std::string::npos) << "noise is stored plain\n" << listed.out;

  const std::string out = folder.file("out");
  ToolResult extracted = run_tool({"extract", package, "-C", out});
  ASSERT_EQ(extracted.code, 0) << extracted.err;
  for (const char* name : {"reef.txt", "body.m8", "skin.bmp"}) {
    EXPECT_EQ(read_bytes(out + "/" + name), read_bytes(folder.file(name))) << name;
  }

  const std::string some = folder.file("some");
  ASSERT_EQ(run_tool({"extract", package, "BODY.M8", "-C", some}).code, 0);
  EXPECT_TRUE(std::filesystem::exists(some + "/body.m8"));
  EXPECT_FALSE(std::filesystem::exists(some + "/reef.txt"));

  ToolResult printed = run_tool({"cat", package, "reef.txt"});
  EXPECT_EQ(printed.code, 0);
  EXPECT_EQ(printed.out, "a reef of coral\n");
}

TEST_F(PackageToolTest, TheNameOptionSetsOrRemovesThePackageName) {
  const std::string package = folder.file("Scene.vmf");
  ASSERT_EQ(run_tool({"create", package, "--name", "Reef", folder.file("reef.txt")}).code, 0);
  ToolResult listed = run_tool({"list", package});
  EXPECT_NE(listed.out.find("package \"Reef\""), std::string::npos) << listed.out;
  EXPECT_NE(listed.out.find("note: the package is named \"Reef\""), std::string::npos) << listed.out;

  ASSERT_EQ(run_tool({"create", package, "--name", "", folder.file("reef.txt")}).code, 0);
  listed = run_tool({"list", package});
  EXPECT_NE(listed.out.find("package \"\""), std::string::npos) << listed.out;
  EXPECT_EQ(listed.out.find("note:"), std::string::npos) << listed.out;
}

TEST_F(PackageToolTest, BadFilesAndBadUsageFailWithAMessage) {
  write_bytes(folder.file("junk.vmf"), bytes_of("this is not a package at all"));
  const std::string package = folder.file("Good.vmf");
  ASSERT_EQ(run_tool({"create", package, folder.file("reef.txt")}).code, 0);
  struct Case {
    std::vector<std::string> args;
    int code;
    const char* message;
  };
  const Case cases[] = {
      {{"list", folder.file("junk.vmf")}, vmftool::kFailed, "not a package file"},
      {{"list", folder.file("missing.vmf")}, vmftool::kFailed, "no such file"},
      {{"cat", folder.file("junk.vmf"), "x"}, vmftool::kFailed, "not a package file"},
      {{"extract", folder.file("junk.vmf"), "-C", folder.file("x")}, vmftool::kFailed, "not a package file"},
      {{"cat", package, "nothing.txt"}, vmftool::kFailed, "no entry \"nothing.txt\""},
      {{"extract", package, "nothing.txt", "-C", folder.file("x")}, vmftool::kFailed, "no entry"},
      {{"create", folder.file("New.vmf"), folder.file("missing.txt")}, vmftool::kFailed, "no such file"},
      {{}, vmftool::kBadUsage, "usage:"},
      {{"unpack", package}, vmftool::kBadUsage, "unknown command"},
      {{"list"}, vmftool::kBadUsage, "usage:"},
      {{"cat", package}, vmftool::kBadUsage, "usage:"},
      {{"extract", package, "-C"}, vmftool::kBadUsage, "-C needs a folder"},
      {{"create", package, "--class", "256", folder.file("reef.txt")}, vmftool::kBadUsage, "--class"},
      {{"create", package, "--class", "1x", folder.file("reef.txt")}, vmftool::kBadUsage, "--class"},
  };
  for (const Case& c : cases) {
    std::string joined;
    for (const std::string& arg : c.args) joined += arg + " ";
    SCOPED_TRACE(joined);
    const ToolResult result = run_tool(c.args);
    EXPECT_EQ(result.code, c.code);
    EXPECT_NE(result.err.find(c.message), std::string::npos) << result.err;
  }
  EXPECT_FALSE(std::filesystem::exists(folder.file("New.vmf")));
  EXPECT_EQ(run_tool({"cat", package, "reef.txt"}).out, "a reef of coral\n")
      << "a failed create left it alone";
}

TEST_F(PackageToolTest, ExtractRefusesNamesThatLeaveTheFolder) {
  const HandPackage evil = make_package(
      "", 0, {{"../evil.txt", bytes_of("x"), Form::Plain}, {"fine.txt", bytes_of("ok"), Form::Plain}});
  write_bytes(folder.file("evil.vmf"), evil.bytes);
  const std::string out = folder.file("out");
  const ToolResult result = run_tool({"extract", folder.file("evil.vmf"), "-C", out});
  EXPECT_EQ(result.code, vmftool::kFailed);
  EXPECT_NE(result.err.find("\"../evil.txt\" not extracted"), std::string::npos) << result.err;
  EXPECT_FALSE(std::filesystem::exists(folder.file("evil.txt")));
  EXPECT_EQ(read_bytes(out + "/fine.txt"), bytes_of("ok"));
}

}  // namespace
