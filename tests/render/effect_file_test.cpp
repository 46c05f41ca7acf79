#include "render/effect_file.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

using render::EffectFile;
using render::EffectParam;
using render::EffectParamType;

EffectFile small_effect() {
  EffectFile effect;
  effect.parameters.push_back({"DiffuseTexture", EffectParamType::Texture, false, 1, 0, {}});
  effect.parameters.push_back({"s_cGlow", EffectParamType::Float4, false, 1, 0, {0.5f, 0.25f, 1, 1}});
  effect.parameters.push_back({"g_iSkinBones", EffectParamType::Int, true, 1, 0, {3}});
  effect.techniques.push_back({"TE_PS11", {{"P0", {{22, 1}, {27, 0}}, "void main() {}", "void main() { }"}}});
  effect.techniques.push_back({"TE_LINE", {{"P0", {}, "vs", "fs"}, {"P1", {}, "vs2", "fs2"}}});
  return effect;
}

std::vector<std::uint8_t> encoded(const EffectFile& effect) {
  auto bytes = render::encode_effect_file(effect);
  EXPECT_TRUE(bytes);
  return bytes.value_or(std::vector<std::uint8_t>{});
}

TEST(EffectFile, WrittenEffectsReadBackAsWritten) {
  const EffectFile effect = small_effect();
  const std::optional<EffectFile> read = render::parse_effect_file(encoded(effect));
  ASSERT_TRUE(read);
  ASSERT_EQ(read->parameters.size(), 3u);
  EXPECT_EQ(read->parameters[1].name, "s_cGlow");
  EXPECT_EQ(read->parameters[1].defaults, (std::vector<float>{0.5f, 0.25f, 1, 1}));
  EXPECT_TRUE(read->parameters[2].shared);
  EXPECT_EQ(read->parameters[2].defaults, std::vector<float>{3});
  ASSERT_EQ(read->techniques.size(), 2u);
  EXPECT_EQ(read->techniques[0].passes[0].states,
            (std::vector<std::pair<std::uint32_t, std::uint32_t>>{{22, 1}, {27, 0}}));
  EXPECT_EQ(read->techniques[1].passes[1].fragment_source, "fs2");
}

// Each case breaks one rule, so no file could hold it.
TEST(EffectFile, EffectsBreakingTheRulesAreNotWritten) {
  const std::vector<std::pair<const char*, std::function<void(EffectFile&)>>> cases = {
      {"no techniques", [](EffectFile& e) { e.techniques.clear(); }},
      {"duplicate parameter", [](EffectFile& e) { e.parameters[1].name = "diffusetexture"; }},
      {"duplicate technique", [](EffectFile& e) { e.techniques[1].name = "TE_PS11"; }},
      {"empty name", [](EffectFile& e) { e.parameters[0].name.clear(); }},
      {"space in name", [](EffectFile& e) { e.techniques[0].name = "TE PS11"; }},
      {"texture stage 8", [](EffectFile& e) { e.parameters[0].stage = 8; }},
      {"defaults short", [](EffectFile& e) { e.parameters[1].defaults.pop_back(); }},
      {"no passes", [](EffectFile& e) { e.techniques[0].passes.clear(); }},
      {"empty source", [](EffectFile& e) { e.techniques[0].passes[0].vertex_source.clear(); }},
      {"zero in source", [](EffectFile& e) { e.techniques[0].passes[0].fragment_source[2] = '\0'; }},
      {"too many elements",
       [](EffectFile& e) {
         e.parameters[1].elements = 65;
         e.parameters[1].defaults.assign(65 * 4, 0.0f);
       }},
      {"too many states",
       [](EffectFile& e) {
         e.techniques[0].passes[0].states.assign(17, {7, 1});
       }},
  };
  for (const auto& [name, breaking] : cases) {
    EffectFile effect = small_effect();
    breaking(effect);
    EXPECT_FALSE(render::encode_effect_file(effect)) << name;
  }
}

TEST(EffectFile, MalformedBytesAreRefused) {
  const std::vector<std::uint8_t> good = encoded(small_effect());
  // Every shorter file is refused, and so is one with a byte more.
  for (std::size_t size = 0; size < good.size(); ++size) {
    EXPECT_FALSE(render::parse_effect_file(std::span(good.data(), size))) << size;
  }
  std::vector<std::uint8_t> longer = good;
  longer.push_back(0);
  std::string error;
  EXPECT_FALSE(render::parse_effect_file(longer, &error));
  EXPECT_EQ(error, "bytes after the last technique");

  struct Patch {
    const char* what;
    std::size_t offset;
    std::vector<std::uint8_t> bytes;
  };
  // Offsets in the small effect: magic 0, version 4, parameter count 8, the
  // first parameter's name length 10, its type 25, flags 26, elements 27,
  // stage 29.
  const std::vector<Patch> patches = {
      {"magic", 0, {'X'}},
      {"version", 4, {2}},
      {"reserved", 6, {1}},
      {"parameter count beyond the file", 8, {0xFF, 0xFF}},
      {"name length zero", 10, {0}},
      {"name length beyond the file", 10, {0xFF}},
      {"type 0", 25, {0}},
      {"type 6", 25, {6}},
      {"unknown flag", 26, {2}},
      {"elements 0", 27, {0, 0}},
      {"elements huge", 27, {0xFF, 0xFF}},
      {"stage 9", 29, {9}},
  };
  for (const Patch& patch : patches) {
    std::vector<std::uint8_t> bad = good;
    ASSERT_LE(patch.offset + patch.bytes.size(), bad.size());
    std::copy(patch.bytes.begin(), patch.bytes.end(),
              bad.begin() + static_cast<std::ptrdiff_t>(patch.offset));
    EXPECT_FALSE(render::parse_effect_file(bad)) << patch.what;
  }
  // The source lengths are checked against what is left: the last source's
  // length is made one larger than the bytes after it.
  std::vector<std::uint8_t> bad = good;
  const std::size_t length_at = bad.size() - 3 - 4;  // "fs2"
  ASSERT_EQ(bad[length_at], 3);
  bad[length_at] = 4;
  EXPECT_FALSE(render::parse_effect_file(bad));
  bad[length_at] = 0;
  bad[length_at + 3] = 0x80;  // 2 GiB
  EXPECT_FALSE(render::parse_effect_file(bad));
}

}  // namespace
