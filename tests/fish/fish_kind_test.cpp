#include "fish/fish_kind.h"

#include <gtest/gtest.h>

#include <array>
#include <bit>
#include <cstdint>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "render/package_builder.h"
#include "render/package_reader.h"

namespace {

using fish::FishKindAttributes;
using Bytes = std::vector<std::uint8_t>;
using Words = std::array<std::uint32_t, 40>;

Bytes bytes_of(std::string_view text) { return Bytes(text.begin(), text.end()); }

std::uint32_t bits(float value) { return std::bit_cast<std::uint32_t>(value); }

// A FishAtt2 object in X text: its 40 words, floats given by their bits.
std::string fish_att2(const Words& words) {
  std::string text = "FishAtt2 {\n ";
  for (std::size_t i = 0; i < words.size(); ++i) text += (i ? ", " : "") + std::to_string(words[i]);
  return text + ";;\n}\n";
}

std::string att_file(const std::string& body) { return "xof 0303txt 0032\n" + body; }

// Words 0 to 5 set to recognisable values, the rest zero.
Words swimming_words() {
  Words words{};
  words[0] = bits(2.0f);
  words[1] = bits(0.75f);
  words[5] = bits(0.3f);
  return words;
}

// A fish package held in memory with the given entries.
class MemoryPackage {
 public:
  explicit MemoryPackage(const std::vector<std::pair<std::string, Bytes>>& entries) {
    render::PackageBuilder builder;
    for (const auto& [name, bytes] : entries) EXPECT_GE(builder.add(bytes, name, true), 0) << name;
    std::optional<Bytes> encoded = builder.encode("");
    EXPECT_TRUE(encoded.has_value());
    if (encoded) bytes_ = std::move(*encoded);
    EXPECT_TRUE(reader_.open_memory(bytes_));
  }
  render::PackageReader& reader() { return reader_; }

 private:
  Bytes bytes_;
  render::PackageReader reader_;
};

FishKindAttributes loaded(const std::vector<std::pair<std::string, Bytes>>& entries) {
  MemoryPackage package(entries);
  FishKindAttributes attributes;
  attributes.load(package.reader());
  return attributes;
}

TEST(FishKindAttributes, AnAttFileFillsWordsAndDefaultsTheZeroOnes) {
  struct Case {
    const char* what;
    float origin_fraction;  // word 15 as the file gives it
    float follow_factor;    // word 16
    float pitch_limit;      // word 22
    float expected_origin_fraction;
    float expected_follow_factor;
    float expected_pitch_limit;
  };
  const Case cases[] = {
      {"all zero", 0.0f, 0.0f, 0.0f, 0.5f, 0.1f, 0.6f},
      {"own values kept", 0.3f, 0.25f, 0.2f, 0.3f, 0.25f, 0.2f},
      {"follow factor 0.9", 0.3f, 0.9f, 0.2f, 0.3f, 0.1f, 0.2f},
      {"follow factor within 0.001 of 0.9", 0.3f, 0.9005f, 0.2f, 0.3f, 0.1f, 0.2f},
      {"follow factor just outside", 0.3f, 0.902f, 0.2f, 0.3f, 0.902f, 0.2f},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    Words words = swimming_words();
    words[15] = bits(c.origin_fraction);
    words[16] = bits(c.follow_factor);
    words[22] = bits(c.pitch_limit);
    const FishKindAttributes attributes = loaded({{"10008.att", bytes_of(att_file(fish_att2(words)))}});
    EXPECT_EQ(attributes.school_power(), 2.0f);
    EXPECT_EQ(attributes.normal_speed(), 0.75f);
    EXPECT_EQ(attributes.elasticity(), 0.3f);
    EXPECT_EQ(attributes.origin_fraction(), c.expected_origin_fraction);
    EXPECT_EQ(attributes.follow_factor(), c.expected_follow_factor);
    EXPECT_EQ(attributes.pitch_limit(), c.expected_pitch_limit);
    EXPECT_EQ(attributes.spine_segments(), 8u);
  }
}

TEST(FishKindAttributes, OnlyTheFirst32WordsOfFishAtt2AreTaken) {
  Words words{};
  for (std::size_t i = 0; i < words.size(); ++i) words[i] = static_cast<std::uint32_t>(100 + i);
  const FishKindAttributes attributes = loaded({{"k.att", bytes_of(att_file(fish_att2(words)))}});
  EXPECT_EQ(attributes.word(31), 131u);
  EXPECT_EQ(attributes.word(32), 0u);
  EXPECT_EQ(attributes.spine_segments(), 8u) << "word 33 of the file is not read; the default applies";
}

TEST(FishKindAttributes, OtherObjectsArePassedOverAndTheLastFishAtt2Wins) {
  Words first{};
  first[18] = bits(3.0f);
  Words second{};
  second[18] = bits(4.0f);
  const std::string body =
      "SubDeformer Jaw {\n  BoxWaveControl {\n    0.5; 0.25; 2.0; 0.1; 3.0; 1.5;\n"
      "    0; 1; 2;\n    -1.0; -2.0; -3.0;;\n    1.0; 2.0; 3.0;;\n  }\n}\n" +
      fish_att2(first) + "FishType { 3; }\n" + fish_att2(second);
  const FishKindAttributes attributes = loaded({{"k.att", bytes_of(att_file(body))}});
  EXPECT_EQ(attributes.school_weight_factor(), 4.0f);
}

TEST(FishKindAttributes, AttPlusReplacesTheStartOfTheRecordWithoutDefaults) {
  const Bytes eight = {0, 0, 0x80, 0x3F, 0, 0, 0, 0x40};  // 1.0f, 2.0f
  struct Case {
    const char* what;
    bool with_att;
    Bytes att_plus;
    float school_power;
    float normal_speed;
    float max_speed;
    float origin_fraction;
    std::uint32_t spine_segments;
  };
  Bytes whole(200, 0);
  whole[2 * 4 + 3] = 0x40;  // word 2: 2.0f
  whole[33 * 4] = 12;       // word 33
  whole[34 * 4] = 99;       // past the record
  const Case cases[] = {
      {"8 bytes after att", true, eight, 1.0f, 2.0f, 0.0f, 0.5f, 8},
      {"8 bytes alone", false, eight, 1.0f, 2.0f, 0.0f, 0.0f, 0},
      {"3 bytes", true, {1, 2, 3}, std::bit_cast<float>(0x40030201u), 0.75f, 0.0f, 0.5f, 8},
      {"longer than the record", true, whole, 0.0f, 0.0f, 2.0f, 0.0f, 12},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::vector<std::pair<std::string, Bytes>> entries;
    if (c.with_att) entries.emplace_back("k.att", bytes_of(att_file(fish_att2(swimming_words()))));
    entries.emplace_back("k.att+", c.att_plus);
    const FishKindAttributes attributes = loaded(entries);
    EXPECT_EQ(attributes.school_power(), c.school_power);
    EXPECT_EQ(attributes.normal_speed(), c.normal_speed);
    EXPECT_EQ(attributes.max_speed(), c.max_speed);
    EXPECT_EQ(attributes.origin_fraction(), c.origin_fraction);
    EXPECT_EQ(attributes.spine_segments(), c.spine_segments);
  }
}

TEST(FishKindAttributes, DamagedOrMissingAttFilesLeaveTheRecordAlone) {
  const std::string head = "xof 0303txt 0032\n";
  Words short_array{};
  std::string too_few = fish_att2(short_array);
  too_few = too_few.substr(0, too_few.find(", 0, 0")) + ";;\n}\n";
  const std::vector<std::pair<const char*, std::string>> files = {
      {"empty", ""},
      {"header only, cut", "xof 03"},
      {"no header", "FishAtt2 { 1; }"},
      {"too few values", head + too_few},
      {"unclosed object", head + "FishAtt2 { 1, 2, 3"},
      {"compressed", "xof 0303tzip0032 compressed data"},
      {"binary, cut inside the object", std::string("xof 0303bin 0032") + std::string("\x01\x00\x08\x00", 4)},
      {"garbage", std::string("\xff\xfe") + '\0' + "\x01 not an x file"},
  };
  for (const auto& [what, text] : files) {
    SCOPED_TRACE(what);
    const FishKindAttributes attributes = loaded({{"k.att", bytes_of(text)}, {"k.att+", {0, 0, 0x80, 0x3F}}});
    EXPECT_EQ(attributes.school_power(), 1.0f) << "att+ still applies";
    for (std::size_t word = 1; word < FishKindAttributes::kWordCount; ++word) {
      EXPECT_EQ(attributes.word(word), 0u) << "word " << word;
    }
  }

  // An entry without an extension is not the attribute file, and no
  // attribute entry at all leaves the record zero.
  for (const char* name : {"att", "k.attx", "k.model"}) {
    SCOPED_TRACE(name);
    const FishKindAttributes attributes = loaded({{name, bytes_of(att_file(fish_att2(swimming_words())))}});
    EXPECT_EQ(attributes.bytes(), FishKindAttributes().bytes());
  }
}

TEST(FishKindAttributes, WordsOutsideTheRecordReadZeroAndAreNotWritten) {
  FishKindAttributes attributes;
  attributes.set_word(FishKindAttributes::kWordCount, 7);
  attributes.set_real(1000, 1.0f);
  EXPECT_EQ(attributes.word(FishKindAttributes::kWordCount), 0u);
  EXPECT_EQ(attributes.bytes(), FishKindAttributes().bytes());
  attributes.set_real(FishKindAttributes::kSpineSegments, 1.0f);
  EXPECT_EQ(attributes.bytes()[33 * 4 + 3], 0x3F) << "little-endian";
}

TEST(KindAttributesCache, ReadsAKindOnceAndSharesItsRecord) {
  Words words = swimming_words();
  MemoryPackage first({{"10008.att", bytes_of(att_file(fish_att2(words)))}});
  words[0] = bits(5.0f);
  MemoryPackage other({{"10008.att", bytes_of(att_file(fish_att2(words)))}});

  fish::KindAttributesCache cache;
  EXPECT_EQ(cache.find(10008), nullptr);
  const auto a = cache.get(10008, first.reader());
  const auto b = cache.get(10008, other.reader());
  EXPECT_EQ(a, b);
  EXPECT_EQ(b->school_power(), 2.0f);
  EXPECT_EQ(cache.find(10008), a);

  const auto c = cache.get(30001, other.reader());
  EXPECT_NE(c, a);
  EXPECT_EQ(c->school_power(), 5.0f);
  cache.clear();
  EXPECT_EQ(cache.find(10008), nullptr);
  EXPECT_EQ(a->school_power(), 2.0f) << "fish keep their record";
}

}  // namespace
