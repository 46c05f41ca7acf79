#include <gtest/gtest.h>

#include <filesystem>

#include "audio/playlist.h"
#include "audio/playlist_fixture.h"
#include "base/file_io.h"

namespace {

using audio::MusicPlayer;
using audio_test::FakeView;
using audio_test::PlaylistFixture;

class PlaylistDialogsTest : public PlaylistFixture {
 protected:
  void SetUp() override { start_with({}); }

  std::string write_list(const std::string& name, const std::string& text) {
    const std::string path = root() + name;
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    EXPECT_TRUE(platform_test::write_bytes(path, std::vector<uint8_t>(text.begin(), text.end())));
    return path;
  }
};

TEST_F(PlaylistDialogsTest, AddedFilesStartPlayingWhenNothingPlays) {
  const std::string a = track("in/a.mp3");
  const std::string b = track("in/b.ogg");
  dialogs_.chosen_file_lists = {{a, b}};
  FakeView view;
  ASSERT_TRUE(playlist_.add_files(&view));
  EXPECT_EQ(paths(), (std::vector<std::string>{a, b}));
  EXPECT_EQ(view.rows, paths());
  EXPECT_EQ(view.selects, 1);
  EXPECT_EQ(view.refreshes, 1);
  EXPECT_EQ(playlist_.current_index(), 0);
  EXPECT_EQ(playlist_.last_folder(), root() + "in/");
  EXPECT_TRUE(playlist_.modified());

  ASSERT_EQ(dialogs_.file_requests.size(), 1u);
  const platform::FileDialogRequest& request = dialogs_.file_requests[0];
  EXPECT_FALSE(request.save);
  EXPECT_EQ(request.title, "text 1501");
  ASSERT_EQ(request.filters.size(), 2u);
  EXPECT_EQ(request.filters[0].patterns,
            (std::vector<std::string>{"*.wav", "*.au", "*.aif", "*.aiff", "*.snd", "*.mpa", "*.mp2", "*.mp3",
                                      "*.wma", "*.ogg", "*.oga", "*.opus", "*.flac"}));
  EXPECT_EQ(request.filters[1].patterns, (std::vector<std::string>{"*.mid", "*.midi", "*.rmi"}));

  // While a track plays, adding does not interrupt it; the next dialog
  // starts in the last folder.
  const std::string c = track("more/c.mp3");
  dialogs_.chosen_file_lists = {{c}};
  ASSERT_TRUE(playlist_.add_files(&view));
  EXPECT_EQ(dialogs_.file_requests[1].folder, root() + "in/");
  EXPECT_EQ(playlist_.current_index(), 0);
  EXPECT_EQ(view.selects, 1) << "a selection is kept";

  // Paused, the first new file starts; a file that is listed already starts
  // where it is.
  playlist_.set_paused(true);
  const std::string d = track("more/d.mp3");
  dialogs_.chosen_file_lists = {{b, d}};
  ASSERT_TRUE(playlist_.add_files(&view));
  EXPECT_EQ(playlist_.current_index(), 3);
  playlist_.set_paused(true);
  dialogs_.chosen_file_lists = {{b}};
  ASSERT_TRUE(playlist_.add_files(nullptr));
  EXPECT_EQ(playlist_.current_index(), 1);
  EXPECT_EQ(playlist_.size(), 4u);

  const std::size_t requests = dialogs_.file_requests.size();
  EXPECT_FALSE(playlist_.add_files(&view)) << "cancelled";
  EXPECT_EQ(dialogs_.file_requests.size(), requests + 1);
  EXPECT_EQ(playlist_.size(), 4u);
}

TEST_F(PlaylistDialogsTest, ImportedListsAddTheFilesThatAreThere) {
  const std::string a = track("lists/a.mp3");
  const std::string b = track("lists/sub/b.mp3");
  const std::string c = track("elsewhere/c.flac");
  const std::string d = track("lists/Music/d.mp3");
  const std::string e = track("lists/e f.mp3");
  // Only in the current folder, not beside the list: not found.
  const std::string cwd = root() + "cwd/";
  std::filesystem::create_directories(cwd);
  ASSERT_TRUE(platform_test::write_bytes(cwd + "cwd_only.mp3", {'x'}));
  const std::filesystem::path previous = std::filesystem::current_path();
  std::filesystem::current_path(cwd);

  struct Case {
    const char* name;
    std::string text;
    std::vector<std::string> added;
  };
  const Case cases[] = {
      {"list.txt", "a.mp3\r\nsub\\b.mp3\r\n" + c + "\r\nmissing.mp3\r\ncwd_only.mp3\r\n", {a, b, c}},
      {"list.m3u",
       "#EXTM3U\n#EXTINF:12,A\na.mp3\n#EXTINF:12,D\nD:\\Music\\d.mp3\nfile://" + c + "\nfile:///" +
           root().substr(1) + "lists/e%20f.mp3\n",
       {a, d, c, e}},
      {"list.pls",
       "[playlist]\nNumberOfEntries=3\nFile1=" + c +
           "\nTitle1=C\nFile2=sub/b.mp3\nFile3=nothing.mp3\nVersion=2\n",
       {c, b}},
  };
  for (const Case& item : cases) {
    SCOPED_TRACE(item.name);
    playlist_.clear();
    playlist_.set_paused(true);
    dialogs_.chosen_files = {write_list(std::string("lists/") + item.name, item.text)};
    FakeView view;
    ASSERT_TRUE(playlist_.import_list(&view));
    EXPECT_EQ(paths(), item.added);
    EXPECT_EQ(view.rows, item.added);
    EXPECT_EQ(view.refreshes, 1);
    EXPECT_EQ(playlist_.last_folder(), root() + "lists/");
    EXPECT_EQ(playlist_.current_index(), 0) << "the first imported track starts";
  }
  std::filesystem::current_path(previous);

  const platform::FileDialogRequest& request = dialogs_.file_requests.back();
  EXPECT_EQ(request.title, "text 1503");
  ASSERT_EQ(request.filters.size(), 3u);
  EXPECT_EQ(request.filters[2].patterns, std::vector<std::string>{"*.pls"});
}

TEST_F(PlaylistDialogsTest, AnImportThatAddsNothingLeavesThePausedTrack) {
  const std::string a = track("a.mp3");
  playlist_.add(nullptr, a);
  ASSERT_TRUE(playlist_.play(0));
  playlist_.set_paused(true);
  dialogs_.chosen_files = {write_list("empty.m3u", "#EXTM3U\n")};
  EXPECT_TRUE(playlist_.import_list(nullptr));
  EXPECT_EQ(playlist_.current_index(), 0);
  EXPECT_EQ(playlist_.player().state(), MusicPlayer::kPaused);
  EXPECT_FALSE(playlist_.import_list(nullptr)) << "cancelled";
}

TEST_F(PlaylistDialogsTest, AddingAFolderTakesItsMusicInPatternOrder) {
  const std::string folder = root() + "album";
  const std::string b = track("album/b.mp3");
  const std::string a = track("album/A.MP3");
  const std::string w = track("album/w.wav");
  const std::string o = track("album/o.ogg");
  ASSERT_TRUE(platform_test::write_bytes(folder + "/cover.jpg", {'x'}));
  playlist_.add(nullptr, b);
  dialogs_.chosen_folders = {folder};
  FakeView view;
  ASSERT_TRUE(playlist_.add_folder(&view));
  EXPECT_EQ(paths(), (std::vector<std::string>{b, w, a, o})) << "b was listed already";
  EXPECT_EQ(view.rows, (std::vector<std::string>{w, a, o}));
  EXPECT_EQ(playlist_.current_index(), 1) << "the first new file starts";
  EXPECT_EQ(playlist_.last_folder(), folder + "/");
  ASSERT_EQ(dialogs_.folder_requests.size(), 1u);
  EXPECT_EQ(dialogs_.folder_requests[0].title, "text 1502");
  EXPECT_EQ(dialogs_.folder_requests[0].text, "text 1500");
  EXPECT_FALSE(playlist_.add_folder(&view)) << "cancelled";
  EXPECT_EQ(dialogs_.folder_requests[1].folder, folder + "/");
}

TEST_F(PlaylistDialogsTest, SavingAsWritesATxtList) {
  playlist_.add(nullptr, "/m/a.mp3");
  playlist_.add(nullptr, "/m/b.mp3");
  dialogs_.chosen_files = {root() + "out/mine.m3u", root() + "out/plain"};
  std::filesystem::create_directories(root() + "out");
  ASSERT_TRUE(playlist_.save_as());
  ASSERT_TRUE(playlist_.save_as());
  const std::string expected = "/m/a.mp3\n/m/b.mp3\n";
  EXPECT_EQ(base::read_file(root() + "out/mine.txt"), std::vector<uint8_t>(expected.begin(), expected.end()));
  EXPECT_TRUE(std::filesystem::exists(root() + "out/plain.txt"));
  EXPECT_FALSE(std::filesystem::exists(root() + "out/mine.m3u"));
  const platform::FileDialogRequest& request = dialogs_.file_requests[0];
  EXPECT_TRUE(request.save);
  EXPECT_EQ(request.title, "text 1504");
  EXPECT_EQ(request.file_name, list_file());
  EXPECT_EQ(request.filters, (std::vector<platform::FileFilter>{{"TXT Playlist (*.txt)", {"*.txt"}}}));
  EXPECT_TRUE(playlist_.modified()) << "saving elsewhere does not save the music list";
  EXPECT_FALSE(playlist_.save_as()) << "cancelled";
}

}  // namespace
