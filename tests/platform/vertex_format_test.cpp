#include "platform/vertex_format.h"

#include <gtest/gtest.h>

namespace {

namespace fvf = gfx::fvf;

TEST(VertexFormat, SizesAndOffsetsFollowTheFormatWord) {
  struct Case {
    std::uint32_t fvf;
    std::uint32_t stride;
    int normal_offset;
    int diffuse_offset;
    int texture0_offset;
  };
  const Case cases[] = {
      {fvf::kXyz, 12, -1, -1, -1},
      {fvf::kXyz | fvf::kNormal | fvf::tex_count(1), 32, 12, -1, 24},
      {fvf::kXyz | fvf::kDiffuse, 16, -1, 12, -1},
      {fvf::kXyzRhw | fvf::kDiffuse | fvf::kSpecular | fvf::tex_count(1), 32, -1, 16, 24},
      {fvf::kXyzB2 | fvf::kNormal | fvf::tex_count(1), 40, 20, -1, 32},
      {fvf::kXyz | fvf::kNormal | fvf::tex_count(2) | fvf::tex_size3(1), 44, 12, -1, 24},
      {fvf::kXyz | fvf::kPointSize | fvf::tex_count(1) | fvf::tex_size1(0) | fvf::tex_size4(3), 20, -1, -1, 16},
      {fvf::kXyzW | fvf::tex_count(1) | fvf::tex_size4(0), 32, -1, -1, 16},
  };
  for (const Case& c : cases) {
    const std::optional<gfx::VertexLayout> layout = gfx::decode_vertex_format(c.fvf);
    ASSERT_TRUE(layout) << std::hex << c.fvf;
    EXPECT_EQ(layout->stride, c.stride) << std::hex << c.fvf;
    EXPECT_EQ(layout->normal_offset, c.normal_offset) << std::hex << c.fvf;
    EXPECT_EQ(layout->diffuse_offset, c.diffuse_offset) << std::hex << c.fvf;
    EXPECT_EQ(layout->texture_offset[0], c.texture0_offset) << std::hex << c.fvf;
    EXPECT_EQ(gfx::vertex_size(c.fvf), c.stride);
  }
}

TEST(VertexFormat, BlendValuesMayEndInBoneIndices) {
  const std::optional<gfx::VertexLayout> layout =
      gfx::decode_vertex_format(fvf::kXyzB4 | fvf::kLastBetaUByte4 | fvf::kNormal);
  ASSERT_TRUE(layout);
  EXPECT_EQ(layout->blend_values, 4);
  EXPECT_EQ(layout->blend_weights, 3);
  EXPECT_TRUE(layout->blend_indices);
  EXPECT_EQ(layout->blend_offset, 12);
  EXPECT_EQ(layout->indices_offset, 24);
  EXPECT_EQ(layout->normal_offset, 28);
  EXPECT_EQ(layout->stride, 40u);
}

TEST(VertexFormat, RefusesWordsThatAreNoFormat) {
  for (std::uint32_t word : {0x0001u, 0x4004u, 0x4000u, fvf::kXyz | fvf::tex_count(9)}) {
    EXPECT_FALSE(gfx::decode_vertex_format(word)) << std::hex << word;
    EXPECT_EQ(gfx::vertex_size(word), 0u);
  }
  EXPECT_TRUE(gfx::decode_vertex_format(0)) << "a format without a position is no error";
}

}  // namespace
