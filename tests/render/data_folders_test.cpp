#include "render/data_folders.h"

#include <gtest/gtest.h>

#include "render/hand_package.h"

namespace {

using render::FilePath;

// Keeps the process-wide roots and the current folder as they were.
struct DataFoldersTest : ::testing::Test {
  DataFoldersTest()
      : program(render::program_folder().str()),
        user(render::user_data_folder().str()),
        cwd(std::filesystem::current_path()) {}
  ~DataFoldersTest() override {
    render::set_program_folder(program);
    render::set_user_data_folder(user);
    std::filesystem::current_path(cwd);
  }
  std::string program;
  std::string user;
  std::filesystem::path cwd;
  render_test::TempFolder folder;
};

TEST_F(DataFoldersTest, TheUserDataFolderIsCreatedInTheDocuments) {
  const std::string documents = folder.file("Documents");
  render::set_program_folder(folder.file("program"));
  EXPECT_STREQ(render::program_folder().c_str(), (folder.file("program") + "/").c_str());

  render::locate_user_data_folder(documents);
  EXPECT_EQ(render::user_data_folder().str(), documents + "/Pelorin Tessaly/");
  EXPECT_TRUE(std::filesystem::is_directory(documents + "/Pelorin Tessaly"));
  render::locate_user_data_folder(documents + "/");
  EXPECT_EQ(render::user_data_folder().str(), documents + "/Pelorin Tessaly/")
      << "an existing folder is no error";
}

TEST_F(DataFoldersTest, WithoutDocumentsTheFolderIsRelativeToTheCurrentOne) {
  std::filesystem::current_path(folder.path());
  FilePath found;
  EXPECT_TRUE(render::find_user_data_folder(found, "", "Pelorin Tessaly"));
  EXPECT_STREQ(found.c_str(), "Pelorin Tessaly/");
  EXPECT_TRUE(std::filesystem::is_directory(folder.path() / "Pelorin Tessaly"));
  EXPECT_FALSE(render::find_user_data_folder(found, "", nullptr)) << "nothing at all";
}

TEST_F(DataFoldersTest, AFolderThatCannotBeMadeFallsBackToTheProgramFolder) {
  render_test::write_bytes(folder.file("file"), render_test::bytes_of("in the way"));
  render::set_program_folder(folder.file("program/"));
  render::locate_user_data_folder(folder.file("file"));
  EXPECT_EQ(render::user_data_folder().str(), folder.file("program/"));

  render::locate_user_data_folder(std::string(300, 'd'));
  EXPECT_EQ(render::user_data_folder().str(), folder.file("program/")) << "too long for a path";
}

}  // namespace
