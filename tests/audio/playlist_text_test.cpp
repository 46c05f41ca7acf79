#include "audio/playlist_text.h"

#include <gtest/gtest.h>

namespace {

using Lines = std::vector<std::string>;

TEST(PlaylistText, MusicListLinesAreReadWhole) {
  struct Case {
    const char* name;
    std::string text;
    Lines lines;
  };
  const std::string long_path = "/music/" + std::string(400, 'x') + ".mp3";
  const Case cases[] = {
      {"three characters and a line feed are kept", "abc\n", {"abc"}},
      {"two characters and a line feed are skipped", "ab\nabcd\n", {"abcd"}},
      {"the last line needs no line feed", "/a.mp3\n/b.mp3", {"/a.mp3", "/b.mp3"}},
      {"CR LF line ends lose their CR", "/a.mp3\r\nab\r\n/b.mp3\r\n", {"/a.mp3", "/b.mp3"}},
      {"blank lines vanish", "\n\n/a.mp3\n\r\n\n", {"/a.mp3"}},
      {"a long line stays one entry", long_path + "\n/b.mp3\n", {long_path, "/b.mp3"}},
      {"a byte-order mark is no part of the first path", "\xEF\xBB\xBF/a.mp3\n", {"/a.mp3"}},
      {"blanks belong to the path", " /a b.mp3 \n", {" /a b.mp3 "}},
      {"an empty file", "", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(audio::list_lines(c.text), c.lines);
  }
}

TEST(PlaylistText, SavedListsReadBackTheSame) {
  const Lines paths = {"/home/me/a.mp3", "/home/me/Ünïcode.ogg", "/x y/z.flac"};
  const std::string text = audio::music_list_text(paths);
  EXPECT_EQ(text, "/home/me/a.mp3\n/home/me/Ünïcode.ogg\n/x y/z.flac\n");
  EXPECT_EQ(audio::list_lines(text), paths);
}

TEST(PlaylistText, ImportedListsNameTheirFiles) {
  struct Case {
    const char* name;
    audio::ListKind kind;
    std::string text;
    Lines names;
  };
  const Case cases[] = {
      {"TXT: one name a line", audio::ListKind::Plain, "a.mp3\r\n/m/b.ogg\r\n", {"a.mp3", "/m/b.ogg"}},
      {"M3U: header and track information are skipped",
       audio::ListKind::Plain,
       "#EXTM3U\n#EXTINF:123,Band - Song\nsong.mp3\n#EXTINF:-1,Other\nC:\\m\\x.mp3\n",
       {"song.mp3", "C:\\m\\x.mp3"}},
      {"PLS: only FileN keys name files",
       audio::ListKind::Pls,
       "[playlist]\nFile1=C:\\m\\a.mp3\nTitle1=A "
       "song\nLength1=200\nfile2=b.mp3\nNumberOfEntries=2\nVersion=2\n",
       {"C:\\m\\a.mp3", "b.mp3"}},
      {"PLS: keys that only look like FileN",
       audio::ListKind::Pls,
       "File=x.mp3\nFileX=y.mp3\nProfile1=z.mp3\nFile12=/m/c.mp3\nFile3=\n",
       {"/m/c.mp3"}},
      {"PLS: a value may hold '='", audio::ListKind::Pls, "File1=/m/a=b.mp3\n", {"/m/a=b.mp3"}},
      {"TXT: a line with '=' is a name", audio::ListKind::Plain, "File1=/m/a.mp3\n", {"File1=/m/a.mp3"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(audio::list_entry_names(c.text, c.kind), c.names);
  }
  EXPECT_EQ(audio::list_kind_of("/m/List.PLS"), audio::ListKind::Pls);
  EXPECT_EQ(audio::list_kind_of("/m/list.m3u"), audio::ListKind::Plain);
  EXPECT_EQ(audio::list_kind_of("/m.pls/list.txt"), audio::ListKind::Plain);
  EXPECT_EQ(audio::list_kind_of("/m/list.plsx"), audio::ListKind::Plain);
}

TEST(PlaylistText, NamesResolveAgainstTheListsFolder) {
  struct Case {
    const char* name;
    Lines candidates;
  };
  const Case cases[] = {
      {"/music/a.mp3", {"/music/a.mp3"}},
      {"a.mp3", {"/lists/a.mp3"}},
      {"sub/a.mp3", {"/lists/sub/a.mp3"}},
      {"sub\\a.mp3", {"/lists/sub/a.mp3"}},
      {"..\\other\\a.mp3", {"/lists/../other/a.mp3"}},
      {"C:\\Music\\Band\\a.mp3", {"/lists/Music/Band/a.mp3", "/lists/Band/a.mp3", "/lists/a.mp3"}},
      {"d:a.mp3", {"/lists/a.mp3"}},
      {"file:///music/My%20Song.mp3", {"/music/My Song.mp3"}},
      {"file://localhost/music/a.mp3", {"/music/a.mp3"}},
      {"FILE:///C:/Music/a%2.mp3", {"/lists/Music/a%2.mp3", "/lists/a%2.mp3"}},
      {"http://radio.example/stream.mp3", {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    EXPECT_EQ(audio::candidate_paths(c.name, "/lists/"), c.candidates);
  }
  EXPECT_EQ(audio::candidate_paths("a.mp3", "/lists"), Lines{"/lists/a.mp3"}) << "a folder without its '/'";
}

TEST(PlaylistText, DurationsShowMinutesUnderAnHour) {
  struct Case {
    int seconds;
    const char* text;
  };
  const Case cases[] = {{0, "00:00"},       {65, "01:05"},      {3599, "59:59"},
                        {3600, "01:00:00"}, {3725, "01:02:05"}, {360000, "100:00:00"}};
  for (const Case& c : cases) EXPECT_EQ(audio::format_duration(c.seconds), c.text) << c.seconds;
}

TEST(PlaylistText, FileNameAndFolderOfAPath) {
  EXPECT_EQ(audio::file_name_of("/m/a.mp3"), "a.mp3");
  EXPECT_EQ(audio::file_name_of("a.mp3"), "a.mp3");
  EXPECT_EQ(audio::folder_of("/m/a.mp3"), "/m/");
  EXPECT_EQ(audio::folder_of("a.mp3"), "");
}

}  // namespace
