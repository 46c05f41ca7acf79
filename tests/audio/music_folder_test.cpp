#include "audio/music_folder.h"

#include <gtest/gtest.h>

#include <filesystem>

#include "platform/isolated_environment.h"
#include "platform/tone_wave.h"

namespace {

TEST(MusicFolder, FilesComeByPatternThenByNameIgnoringCase) {
  platform_test::TempFolder folder;
  const std::string root = folder.path();
  for (const char* name : {"b.mp3", "A.mp3", "c.WAV", "song.midi", "song.mid", "z.aiff", "y.aif", "n.flac",
                           "m.opus", "readme.txt", "mp3", ".mp3", "x.mp3.part", "Track.Ogg", "o.oga"}) {
    ASSERT_TRUE(platform_test::write_bytes(root + name, {1}));
  }
  // Folders are never added, even when their names look like music, and
  // subfolders are not searched.
  std::filesystem::create_directories(root + "album.mp3");
  ASSERT_TRUE(platform_test::write_bytes(root + "album.mp3/inner.mp3", {1}));

  const std::vector<std::string> expected = {
      root + "c.WAV", root + "y.aif",    root + "z.aiff",    root + "A.mp3",
      root + "b.mp3", root + "song.mid", root + "song.midi", root + "Track.Ogg",
      root + "o.oga", root + "m.opus",   root + "n.flac",
  };
  EXPECT_EQ(audio::music_files_in_folder(root), expected);
  EXPECT_EQ(audio::music_files_in_folder(root.substr(0, root.size() - 1)), expected) << "without the '/'";
  EXPECT_TRUE(audio::music_files_in_folder(root + "missing/").empty());
}

TEST(MusicFolder, ExtensionsMatchWholeIgnoringCase) {
  EXPECT_TRUE(audio::has_extension("a.MP3", "mp3"));
  EXPECT_FALSE(audio::has_extension("a.mp3x", "mp3"));
  EXPECT_FALSE(audio::has_extension("a.aiff", "aif"));
  EXPECT_FALSE(audio::has_extension("amp3", "mp3"));
  EXPECT_FALSE(audio::has_extension(".mp3", "mp3")) << "a hidden file with no name";
}

}  // namespace
