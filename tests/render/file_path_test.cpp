#include "render/file_path.h"

#include <gtest/gtest.h>

#include <string>

#include "render/hand_package.h"

namespace {

using render::FileKind;
using render::FilePath;

TEST(FileKindTest, KindsFollowTheWholeExtensionWithoutRegardToCase) {
  struct Case {
    const char* path;
    FileKind kind;
  };
  const Case cases[] = {
      {"Model.VMF", FileKind::Package}, {"a.att+", FileKind::AttributesPlus},
      {"mask.msk", FileKind::Bitmap},   {"noextension", FileKind::None},
      {"a.vmfx", FileKind::None},       {"a.vm", FileKind::None},
      {"mesh.m8", FileKind::ModelMesh}, {"shader.fxo", FileKind::CompiledEffect},
      {"trailing.", FileKind::None},    {"Scene.d/Tank", FileKind::None},
      {"Fish/a.tga", FileKind::Targa},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(FilePath(c.path).kind_of_extension(), c.kind) << c.path;
  }
  EXPECT_STREQ(render::extension_of_kind(FileKind::Bitmap), "bmp");
  EXPECT_STREQ(render::extension_of_kind(FileKind::Package), "vmf");
  EXPECT_EQ(render::extension_of_kind(FileKind::Hdr), nullptr);
  EXPECT_EQ(render::extension_of_kind(FileKind::None), nullptr);
  EXPECT_EQ(render::extension_of_kind(static_cast<FileKind>(99)), nullptr);
}

TEST(FilePathTest, DerivedParts) {
  struct Case {
    const char* path;
    const char* file_name;
    const char* folder;
    const char* stem;        // name_without_extension(false)
    const char* whole_stem;  // name_without_extension(true)
    const char* extension;   // nullptr: none
  };
  const Case cases[] = {
      {"C:/a/b.txt", "b.txt", "C:/a/", "b", "C:/a/b", "txt"},
      {"C:b.txt", "b.txt", "./", "b", "C:b", "txt"},
      {"b.txt", "b.txt", "./", "b", "b", "txt"},
      {"Scene/", "", "Scene/", "", "Scene/", nullptr},
      {"Fish.d/Tang", "Tang", "Fish.d/", "Tang", "Fish.d/Tang", nullptr},
      {"a/b.tar.gz", "b.tar.gz", "a/", "b.tar", "a/b.tar", "gz"},
      {"", "", "./", "", "", nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.path);
    FilePath path(c.path);
    EXPECT_STREQ(path.file_name(), c.file_name);
    EXPECT_STREQ(path.folder(), c.folder);
    EXPECT_STREQ(path.name_without_extension(false), c.stem);
    EXPECT_STREQ(path.name_without_extension(true), c.whole_stem);
    if (c.extension == nullptr) {
      EXPECT_EQ(path.extension(), nullptr);
    } else {
      EXPECT_STREQ(path.extension(), c.extension);
    }
    EXPECT_STREQ(path.c_str(), c.path) << "deriving leaves the path alone";
  }
}

TEST(FilePathTest, ReplacingExtensionsAndKinds) {
  struct Case {
    const char* path;
    FileKind kind;
    const char* result;
  };
  const Case cases[] = {
      {"Fish/Tang", FileKind::Package, "Fish/Tang.vmf"},
      {"Fish/Tang.bmp", FileKind::Package, "Fish/Tang.vmf"},
      {"x.bmp", FileKind::Hdr, "x"},
      {"x.bmp", FileKind::None, "x"},
      {"Scene.d/Reef", FileKind::Text, "Scene.d/Reef.txt"},
  };
  for (const Case& c : cases) {
    FilePath path;
    path.set_with_kind(c.path, c.kind);
    EXPECT_STREQ(path.c_str(), c.result) << c.path;
  }
  FilePath path("a.b");
  path.replace_extension(".tar.gz");
  EXPECT_STREQ(path.c_str(), "a.tar.gz") << "an extension with its own dot gets none added";
  path.replace_extension(nullptr);
  EXPECT_STREQ(path.c_str(), "a.tar");
}

TEST(FilePathTest, NeverGrowsBeyond260Characters) {
  const std::string long_text(300, 'p');
  FilePath path(long_text);
  EXPECT_EQ(path.length(), 260u);

  path.set(std::string(255, 'a'));
  EXPECT_EQ(path.append("0123456789"), 255u) << "the whole append or nothing";
  EXPECT_EQ(path.str(), std::string(255, 'a'));
  EXPECT_EQ(path.append("01234"), 260u);
  path.ensure_trailing_separator();
  EXPECT_EQ(path.length(), 260u);
  path.replace_extension("vmf");
  EXPECT_EQ(path.length(), 260u) << "no room for the extension";

  path.format("%s/%d", long_text.c_str(), 7);
  EXPECT_EQ(path.length(), 260u);
  path.format("%s-%02d", "Tank", 3);
  EXPECT_STREQ(path.c_str(), "Tank-03");
  path.format(nullptr);
  EXPECT_STREQ(path.c_str(), "Tank-03");

  path.set(static_cast<const char*>(nullptr));
  EXPECT_TRUE(path.empty());
  path.ensure_trailing_separator();
  EXPECT_TRUE(path.empty()) << "an empty path stays empty";
  path.set("Scene");
  path.ensure_trailing_separator();
  path.ensure_trailing_separator();
  EXPECT_STREQ(path.c_str(), "Scene/");
}

TEST(FilePathTest, ExistsOnlyForRegularFiles) {
  render_test::TempFolder folder;
  render_test::write_bytes(folder.file("file.txt"), render_test::bytes_of("x"));
  EXPECT_TRUE(FilePath(folder.file("file.txt")).exists());
  EXPECT_FALSE(FilePath(folder.file("missing.txt")).exists());
  EXPECT_FALSE(FilePath(folder.path().string()).exists()) << "a folder is no file";
  EXPECT_FALSE(FilePath("").exists());
}

TEST(FilePathTest, CurrentDirectoryEndsInASeparator) {
  FilePath path;
  ASSERT_TRUE(path.current_directory());
  EXPECT_EQ(path.view().back(), '/');
  EXPECT_EQ(std::filesystem::path(path.str()), std::filesystem::current_path() / "");
  EXPECT_FALSE(path.windows_directory());
  EXPECT_TRUE(path.empty());
}

TEST(FilePathTest, ExpandNewlinesKeepsTheBackslash) {
  struct Case {
    std::string text;
    std::string result;
  };
  const Case cases[] = {
      {"a\\nb", "a\\\nb"},      {"\\n\\n", "\\\n\\\n"}, {"a\\\\nb", "a\\\\\nb"},
      {"no break", "no break"}, {"\\", "\\"},           {"end\\n", "end\\\n"},
  };
  for (const Case& c : cases) {
    std::string text = c.text;
    render::expand_newlines(text);
    EXPECT_EQ(text, c.result) << c.text;
    std::string buffer = c.text;
    render::expand_newlines(buffer.data());
    EXPECT_EQ(buffer, c.result) << c.text;
  }
}

}  // namespace
