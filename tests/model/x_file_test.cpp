#include "model/x_file.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "model/hand_mesh.h"
#include "model/x_templates.h"

namespace {

using namespace model_test;
using model::XFileReader;
using model::XObject;

Bytes bytes_of(std::string_view text) { return Bytes(text.begin(), text.end()); }

template <class T>
T at(const XObject& object, std::size_t offset) {
  T value{};
  std::memcpy(&value, object.data.data() + offset, sizeof value);
  return value;
}

const char* const kText = R"(xof 0303txt 0032
# attributes of a test fish
FishAtt2 {
  0, 1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16, 17, 18, 19,
  20, 21, 22, 23, 24, 25, 26, 27, 28, 29, 30, 31, 32, 33, 34, 35, 36, 37, 38, 39;;
}
SubDeformer Jaw {
  BoxWaveControl {
    0.5; 0.25; 2.0; 0.1; 3.0; 1.5;
    0; 1; 2;
    -1.0; -2.0; -3.0;;
    1.0; 2.0; 3.0;;
  }
}
SubDeformer Again {
  { Jaw }
}
GroupBox ocean {
  1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 0.0, 0.0, 0.0, 1.0, 0.0, 4.0, 5.0, 6.0, 1.0;;
  5; 111, 99, 101, 97, 110;;
}
)";

void expect_content(const XFileReader& reader) {
  ASSERT_EQ(reader.count(), 4u);
  const XObject& att = *reader.object(0);
  EXPECT_EQ(XFileReader::type(att), model::xguid::kFishAtt2);
  ASSERT_EQ(att.data.size(), 160u);
  EXPECT_EQ(at<std::uint32_t>(att, 39 * 4), 39u);

  const XObject& jaw = *reader.object(1);
  EXPECT_EQ(XFileReader::type(jaw), model::xguid::kSubDeformer);
  EXPECT_EQ(XFileReader::name(jaw), "Jaw");
  EXPECT_TRUE(jaw.data.empty());
  const XObject* wave = XFileReader::child(jaw, 0);
  ASSERT_NE(wave, nullptr);
  EXPECT_EQ(XFileReader::child(jaw, 1), nullptr);
  EXPECT_EQ(wave->type, model::xguid::kBoxWaveControl);
  ASSERT_EQ(wave->data.size(), 60u);
  EXPECT_EQ(at<float>(*wave, 4), 0.25f);
  EXPECT_EQ(at<std::uint32_t>(*wave, 32), 2u) << "iWaveSizeAxie";
  EXPECT_EQ(at<float>(*wave, 44), -3.0f) << "min.z";
  EXPECT_EQ(at<float>(*wave, 56), 3.0f) << "max.z";

  EXPECT_EQ(XFileReader::child(*reader.object(2), 0), &jaw) << "a reference names an earlier object";

  const XObject& box = *reader.object(3);
  EXPECT_EQ(box.type, model::xguid::kGroupBox);
  ASSERT_EQ(box.data.size(), 64u + 4 + 5);
  EXPECT_EQ(at<float>(box, 13 * 4), 5.0f);
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(box.data.data() + 68), 5), "ocean");

  std::uint8_t first[8];
  EXPECT_EQ(XFileReader::copy_data(box, first), 8u);
  EXPECT_EQ(XFileReader::data_block(box).size(), box.data.size());
}

TEST(XFile, ReadsTextFilesAgainstTheProgramsTemplates) {
  XFileReader reader;
  ASSERT_TRUE(reader.open_memory(bytes_of(kText))) << reader.error();
  expect_content(reader);
}

// The same content as binary tokens.
Bytes binary_file() {
  Put put;
  put.chars("xof 0303bin 0032");
  auto name = [&](std::string_view text) { put.u16(1).u32(static_cast<std::uint32_t>(text.size())).chars(text); };
  auto integers = [&](std::initializer_list<std::uint32_t> values) {
    put.u16(6).u32(static_cast<std::uint32_t>(values.size()));
    for (std::uint32_t v : values) put.u32(v);
  };
  auto floats = [&](std::initializer_list<float> values) {
    put.u16(7).u32(static_cast<std::uint32_t>(values.size()));
    for (float v : values) put.f32(v);
  };
  const std::uint16_t open = 10;
  const std::uint16_t close = 11;
  name("FishAtt2");
  put.u16(open).u16(6).u32(40);
  for (std::uint32_t i = 0; i < 40; ++i) put.u32(i);
  put.u16(close);
  name("SubDeformer");
  name("Jaw");
  put.u16(open);
  name("BoxWaveControl");
  put.u16(open);
  floats({0.5f, 0.25f, 2.0f, 0.1f, 3.0f, 1.5f});
  integers({0, 1, 2});
  floats({-1, -2, -3, 1, 2, 3});
  put.u16(close).u16(close);
  name("SubDeformer");
  name("Again");
  put.u16(open).u16(open);
  name("Jaw");
  put.u16(close).u16(close);
  name("GroupBox");
  name("ocean");
  put.u16(open);
  floats({1, 0, 0, 0, 0, 1, 0, 0, 0, 0, 1, 0, 4, 5, 6, 1});
  integers({5, 111, 99, 101, 97, 110});
  put.u16(close);
  return put.bytes;
}

TEST(XFile, ReadsUncompressedBinaryFilesToTheSameData) {
  XFileReader reader;
  ASSERT_TRUE(reader.open_memory(binary_file())) << reader.error();
  expect_content(reader);

  XFileReader text;
  ASSERT_TRUE(text.open_memory(bytes_of(kText)));
  for (std::size_t i = 0; i < 4; ++i) EXPECT_EQ(reader.object(i)->data, text.object(i)->data) << i;
}

TEST(XFile, UsesTemplatesTheFileDeclaresWhileItIsOpen) {
  const char* const file = R"(xof 0303txt 0032
template Tint {
  <11111111-2222-3333-4444-555555555555>
  DWORD rgb;
  float level;
  array WORD steps[rgb];
}
Tint warm { 2; 0.5; 7, 9;; }
)";
  XFileReader reader;
  ASSERT_TRUE(reader.open_memory(bytes_of(file))) << reader.error();
  ASSERT_EQ(reader.count(), 1u);
  EXPECT_EQ(reader.object(0)->type, model::parse_guid("11111111-2222-3333-4444-555555555555"));
  EXPECT_EQ(reader.object(0)->data, (Bytes{2, 0, 0, 0, 0, 0, 0, 0x3F, 7, 0, 9, 0}));

  ASSERT_TRUE(reader.open_memory(bytes_of("xof 0303txt 0032\n")));
  EXPECT_EQ(reader.count(), 0u);
  EXPECT_FALSE(reader.open_memory(bytes_of("xof 0303txt 0032\nTint { 1; 1.0; 1;; }"))) << "forgotten after closing";
}

TEST(XFile, RefusesCompressedAndDamagedFilesCleanly) {
  struct Case {
    const char* what;
    std::string text;
    const char* reason;
  };
  const std::string head = "xof 0303txt 0032\n";
  const Case cases[] = {
      {"compressed", "xof 0303tzip0032 compressed data", "compressed"},
      {"no header", "FishAtt2 { 1; }", "not an X file"},
      {"unknown format", "xof 0303abc 0032", "unknown format"},
      {"unknown template", head + "Mystery { 1; }", "unknown template"},
      {"too few values", head + "FishType { }", "expected a number"},
      {"unclosed object", head + "FishType { 3;", "ends inside"},
      {"a huge array", head + "BinaryAnimationBlock { 4000000000; 1; }", "impossible size"},
      {"an array running out of values", head + "BinaryAnimationBlock { 100000; 1, 2; }", "expected a number"},
      {"self-containing template", head + "template Loop { <11111111-2222-3333-4444-555555555555> Loop inner; }",
       "contains itself"},
      {"bad uuid", head + "template T { <nope> }", "unreadable"},
  };
  for (const Case& c : cases) {
    XFileReader reader;
    EXPECT_FALSE(reader.open_memory(bytes_of(c.text))) << c.what;
    EXPECT_NE(reader.error().find(c.reason), std::string::npos) << c.what << ": " << reader.error();
    EXPECT_EQ(reader.count(), 0u) << c.what;
  }

  // Every cut of the binary file fails or reads a prefix, without harm.
  const Bytes binary = binary_file();
  for (std::size_t size = 0; size < binary.size(); ++size) {
    XFileReader reader;
    reader.open_memory(std::span(binary.data(), size));
  }
  XFileReader reader;
  EXPECT_FALSE(reader.open_file("/nonexistent/att.x"));
}

TEST(XFile, GuidsParseFromText) {
  const std::optional<model::Guid> guid = model::parse_guid("{089AAC43-6F64-4430-AF49-19AA36B7969A}");
  ASSERT_TRUE(guid);
  EXPECT_EQ(guid->data1, 0x089AAC43u);
  EXPECT_EQ(guid->data2, 0x6F64u);
  EXPECT_EQ(guid->data3, 0x4430u);
  EXPECT_EQ(guid->data4[0], 0xAF);
  EXPECT_EQ(guid->data4[7], 0x9A);
  EXPECT_FALSE(model::parse_guid("089AAC43-6F64-4430-AF49-19AA36B7969"));
  EXPECT_FALSE(model::parse_guid("089AAC43x6F64-4430-AF49-19AA36B7969A"));
}

}  // namespace
