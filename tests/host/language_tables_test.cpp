#include "host/language_tables.h"

#include <gtest/gtest.h>

#include "base/feature_locks.h"
#include "render/data_folders.h"
#include "render/hand_package.h"
#include "render/package_builder.h"

namespace {

using render_test::bytes_of;

// A program folder with a "Language" package and a loose "System.txt";
// the process-wide folder and lock word are put back afterwards.
struct LanguageTablesTest : ::testing::Test {
  LanguageTablesTest() : program(render::program_folder().str()), locks(base::feature_locks().word) {
    render::PackageBuilder language;
    language.add(bytes_of("9991 from the package\r\n"), "System.txt", true);
    language.add(bytes_of("0001 information\r\n"), "Info.txt", true);
    language.write(folder.file("Language").c_str(), true, true);
    render_test::write_bytes(folder.path() / "System.txt", bytes_of("9991 loose\r\n"));
    render::set_program_folder(folder.path().string());
  }
  ~LanguageTablesTest() override {
    render::set_program_folder(program);
    base::feature_locks().word = locks;
  }

  render_test::TempFolder folder;
  std::string program;
  uint32_t locks;
};

TEST_F(LanguageTablesTest, ALooseFileWinsOnlyWhileLooseTablesArePreferred) {
  base::feature_locks().word = base::FeatureLocks::kPreferLooseTables;
  render::TextTable loose;
  ASSERT_TRUE(host::load_language_table(loose, "System"));
  EXPECT_STREQ(loose.text(9991), "loose");

  base::feature_locks().word = 0;
  render::TextTable packed;
  ASSERT_TRUE(host::load_language_table(packed, "System"));
  EXPECT_STREQ(packed.text(9991), "from the package");

  render::TextTable info;
  base::feature_locks().word = base::FeatureLocks::kPreferLooseTables;
  ASSERT_TRUE(host::load_language_table(info, "Info")) << "no loose file: the package";
  EXPECT_STREQ(info.text(1), "information");
  render::TextTable missing;
  EXPECT_FALSE(host::load_language_table(missing, "Help"));
}

}  // namespace
