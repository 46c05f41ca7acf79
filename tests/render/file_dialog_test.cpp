#include "render/file_dialog.h"

#include <gtest/gtest.h>

#include "platform/dialogs.h"

namespace {

using platform::FileFilter;

TEST(FileDialogTest, TheTypeListIsSplitIntoDescriptionsAndPatterns) {
  const char list[] = "Playlists (*.m3u;*.pls)\0*.m3u;*.pls\0Text\0*.txt\0";
  EXPECT_EQ(render::parse_file_filter(list),
            (std::vector<FileFilter>{{"Playlists (*.m3u;*.pls)", {"*.m3u", "*.pls"}}, {"Text", {"*.txt"}}}));
  EXPECT_EQ(render::parse_file_filter(nullptr), (std::vector<FileFilter>{{"All Files(*.*)", {"*.*"}}}));
  EXPECT_EQ(render::parse_file_filter("Only a name\0"), (std::vector<FileFilter>{{"Only a name", {"*.*"}}}));
}

TEST(FileDialogTest, AsksWithTheDefaultsAndTakesTheChoice) {
  platform::FakeDialogs dialogs;
  dialogs.chosen_files = {std::string("/home/me/Settings.cf"), std::nullopt};
  render::FilePath buffer("Proposed.cf");
  EXPECT_TRUE(render::choose_file(dialogs, buffer, false, nullptr, nullptr, nullptr, nullptr));
  EXPECT_STREQ(buffer.c_str(), "/home/me/Settings.cf");
  ASSERT_EQ(dialogs.file_requests.size(), 1u);
  const platform::FileDialogRequest& request = dialogs.file_requests[0];
  EXPECT_FALSE(request.save);
  EXPECT_EQ(request.title, "Load");
  EXPECT_EQ(request.folder, ".");
  EXPECT_EQ(request.file_name, "Proposed.cf");
  EXPECT_EQ(request.filters, (std::vector<FileFilter>{{"All Files(*.*)", {"*.*"}}}));

  EXPECT_FALSE(render::choose_file(dialogs, buffer, true, nullptr, nullptr, nullptr, nullptr)) << "cancelled";
  EXPECT_STREQ(buffer.c_str(), "/home/me/Settings.cf") << "a cancel leaves the buffer alone";
  EXPECT_EQ(dialogs.file_requests[1].title, "Save");
  EXPECT_FALSE(render::choose_file(dialogs, buffer, true, nullptr, nullptr, nullptr, nullptr))
      << "no more answers: cancelled";
}

TEST(FileDialogTest, SavingAddsTheDefaultExtensionToABareName) {
  platform::FakeDialogs dialogs;
  dialogs.chosen_files = {std::string("/tmp/list"), std::string("/tmp/list.pls"),
                          std::string("/tmp/" + std::string(260, 'x'))};
  render::FilePath buffer;
  ASSERT_TRUE(render::choose_file(dialogs, buffer, true, "M3U\0*.m3u\0", "m3u", "Export", "/tmp"));
  EXPECT_STREQ(buffer.c_str(), "/tmp/list.m3u");
  EXPECT_EQ(dialogs.file_requests[0].title, "Export");
  EXPECT_EQ(dialogs.file_requests[0].folder, "/tmp");
  ASSERT_TRUE(render::choose_file(dialogs, buffer, true, nullptr, "m3u", nullptr, nullptr));
  EXPECT_STREQ(buffer.c_str(), "/tmp/list.pls");
  EXPECT_FALSE(render::choose_file(dialogs, buffer, false, nullptr, nullptr, nullptr, nullptr))
      << "a path too long for the buffer";
  EXPECT_STREQ(buffer.c_str(), "/tmp/list.pls");
}

}  // namespace
