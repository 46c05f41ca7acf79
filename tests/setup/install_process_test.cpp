#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

#include "platform/isolated_environment.h"
#include "platform/posix_process.h"

namespace {

namespace fs = std::filesystem;

std::string read(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

// Only the first four bytes: the build folder holds test programs of
// hundreds of megabytes.
bool is_program(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  char magic[4] = {};
  in.read(magic, sizeof magic);
  return in.gcount() == 4 && std::string(magic, 4) == std::string("\x7f" "ELF", 4);
}

// `cmake --install` of this build into a temporary prefix.
class Install : public ::testing::Test {
 protected:
  void SetUp() override {
    prefix_ = environment_.root() + "prefix";
    auto started = processes_.start(
        PT_CMAKE, {PT_CMAKE, "--install", PT_BUILD_FOLDER, "--prefix", prefix_.string()}, false);
    ASSERT_TRUE(started.handle) << started.error;
    ASSERT_EQ(processes_.wait(*started.handle, 120000), 0);
  }

  platform_test::IsolatedEnvironment environment_;
  platform::PosixProcess processes_;
  fs::path prefix_;
};

TEST_F(Install, PutsTheProgramsTheirContentAndTheDesktopFilesInPlace) {
  const fs::path folder = prefix_ / "lib/pelorin-tessaly";
  for (const char* program : {"Brinewick.scr", "Pelorin Tessaly.scr", "saversetup"}) {
    EXPECT_TRUE(is_program(folder / program)) << program;
  }
  // The commands, and the short name the setup tool registers, lead to them.
  const std::pair<fs::path, fs::path> links[] = {
      {prefix_ / "bin/brinewick", folder / "Brinewick.scr"},
      {prefix_ / "bin/pelorin-tessaly", folder / "Pelorin Tessaly.scr"},
      {prefix_ / "bin/saversetup", folder / "saversetup"},
      {folder / "Pelori~1.scr", folder / "Pelorin Tessaly.scr"},
  };
  for (const auto& [link, program] : links) {
    EXPECT_TRUE(fs::is_symlink(link)) << link;
    EXPECT_TRUE(fs::equivalent(link, program)) << link;
    EXPECT_TRUE(fs::read_symlink(link).is_relative()) << link;
  }

  // Everything in the build's program folder that is not a program goes along;
  // no test or benchmark does.
  for (const auto& entry : fs::directory_iterator(PT_BUILD_PROGRAM_FOLDER)) {
    const fs::path installed = folder / entry.path().filename();
    if (entry.is_directory() || !is_program(entry.path())) {
      EXPECT_TRUE(fs::exists(installed)) << installed;
    } else if (entry.path().filename() != "Brinewick.scr" &&
               entry.path().filename() != "Pelorin Tessaly.scr" && entry.path().filename() != "saversetup") {
      EXPECT_FALSE(fs::exists(installed)) << installed;
    }
  }

  const std::string desktop = read(prefix_ / "share/applications/pelorin-tessaly.desktop");
  EXPECT_NE(desktop.find("\nExec=" + (prefix_ / "bin/brinewick").string() + " /r\n"), std::string::npos)
      << desktop;
  EXPECT_NE(desktop.find("\nIcon=pelorin-tessaly\n"), std::string::npos);
  const std::string description = read(prefix_ / "share/xscreensaver/config/pelorin-tessaly.xml");
  EXPECT_NE(description.find("<screensaver name=\"pelorin-tessaly\""), std::string::npos);
  EXPECT_NE(description.find("<_description>"), std::string::npos);
  EXPECT_NE(read(prefix_ / "share/icons/hicolor/scalable/apps/pelorin-tessaly.svg").find("<svg"),
            std::string::npos);
}

TEST_F(Install, TheInstalledSetupToolNamesTheInstalledSaverForXScreenSaver) {
  std::ofstream(environment_.home() + ".xscreensaver") << "programs:\t\\\n  lattice -root \\n\n";
  const fs::path setup = prefix_ / "bin/saversetup";
  auto started = processes_.start(setup.string(), {setup.string(), "DefaultSaver"}, false);
  ASSERT_TRUE(started.handle) << started.error;
  ASSERT_EQ(processes_.wait(*started.handle, 15000), 0);
  EXPECT_NE(read(environment_.home() + ".xscreensaver")
                .find("  GL:\t" + (prefix_ / "bin/pelorin-tessaly").string() + " -root \\n\n"),
            std::string::npos);
}

}  // namespace
