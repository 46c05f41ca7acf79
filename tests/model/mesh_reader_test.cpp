#include "model/mesh_reader.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

#include "model/hand_mesh.h"
#include "model/mesh_writer.h"
#include "model/model.h"

namespace {

using namespace model_test;
using model::MeshNode;

std::unique_ptr<MeshNode> read(const Bytes& bytes, std::string* error = nullptr) {
  return model::read_mesh_tree(bytes, nullptr, error);
}

float vertex_float(const MeshNode& node, std::uint32_t vertex, int index) {
  float value = 0;
  std::memcpy(&value, node.vertices.bytes().data() + vertex * node.vertex_size + index * 4, 4);
  return value;
}

TEST(MeshReader, ReadsEveryPartOfAHandMadeTree) {
  std::string error;
  std::unique_ptr<MeshNode> root = read(full_tree(), &error);
  ASSERT_TRUE(root) << error;

  EXPECT_EQ(root->name, "Fish");
  EXPECT_TRUE(root->is_root);
  EXPECT_EQ(root->node_count(), 3u);
  ASSERT_TRUE(root->first_child);
  const MeshNode& tail = *root->first_child;
  ASSERT_TRUE(tail.next_sibling);
  const MeshNode& fin = *tail.next_sibling;
  EXPECT_EQ(tail.name, "Tail");
  EXPECT_EQ(fin.name, "Fin");
  EXPECT_FALSE(tail.is_root);
  EXPECT_EQ(tail.local_matrix, base::translation(0, 0, 2));
  EXPECT_EQ(tail.rest_matrix, tail.local_matrix);
  EXPECT_EQ(fin.local_matrix, base::translation(0, 1, 0));
  EXPECT_EQ(fin.handle(), 2u);
  EXPECT_EQ(root->box, (model::Box{{-1, -1, -1}, {1, 1, 1}}));
  EXPECT_EQ(root->radius, 1.75f);

  EXPECT_EQ(root->fvf, kQuadFormat);
  EXPECT_EQ(root->vertex_size, 32u);
  EXPECT_EQ(root->vertex_count, 4u);
  EXPECT_EQ(root->index_count, 6u);
  EXPECT_EQ(root->position(2), (base::Vec3{1, 1, 0}));
  EXPECT_EQ(vertex_float(*root, 3, 6), 1.0f) << "u of the last vertex";
  EXPECT_EQ(root->vertex_index(5), 3u);

  ASSERT_EQ(root->subsets.size(), 2u);
  EXPECT_EQ(root->subsets[1], (model::Subset{1, 3, 1, 0, 4}));
  ASSERT_TRUE(root->face_attributes);
  EXPECT_EQ(*root->face_attributes, (std::vector<std::uint32_t>{0, 1}));
  ASSERT_TRUE(root->subset_boxes);
  EXPECT_EQ((*root->subset_boxes)[1], (model::Box{{-1, -1, 0}, {1, 1, 0}}));
  EXPECT_EQ(root->draw_order, (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(root->transparent_count, 1u);

  ASSERT_EQ(root->materials.size(), 2u);
  const model::Material& opaque = root->materials[0];
  EXPECT_EQ(opaque.diffuse, (base::Vec4{1, 0.5f, 0.25f, 1}));
  EXPECT_EQ(opaque.ambient, (base::Vec4{0.5f, 0.25f, 0.125f, 1}));
  EXPECT_EQ(opaque.power, 8.0f);
  EXPECT_EQ(opaque.cull, 3);
  EXPECT_EQ(opaque.texture_name, "Scales.png");
  EXPECT_FALSE(opaque.transparent());
  EXPECT_TRUE(root->materials[1].transparent());
  EXPECT_EQ(root->materials[1].texture_name, "");

  ASSERT_TRUE(root->skin);
  const model::SkinData& skin = *root->skin;
  ASSERT_EQ(skin.bones.size(), 2u);
  EXPECT_EQ(skin.bones[1].name, "Tail");
  EXPECT_EQ(skin.bones[1].offset_matrix, base::translation(0, 0, -2));
  EXPECT_EQ(skin.bones[1].vertices, (std::vector<std::uint32_t>{2, 3}));
  EXPECT_EQ(skin.bones[0].weights, (std::vector<float>{1.0f, 0.5f}));
  ASSERT_EQ(skin.combinations.size(), 1u);
  EXPECT_EQ(skin.combinations[0].face_count, 2u);
  EXPECT_EQ(skin.combinations[0].bone_ids, (std::vector<std::uint32_t>{0, 1}));
  EXPECT_EQ(skin.palette_entries(), 2u);
  EXPECT_EQ(skin.bone_box_max, (base::Vec3{0, 0, 2}));
  ASSERT_TRUE(skin.bound());
  EXPECT_EQ(root->node(skin.bone_nodes[0]), root.get()) << "\"Scene_Root\" binds to the root";
  EXPECT_EQ(root->node(skin.bone_nodes[1]), &tail);

  ASSERT_TRUE(root->playback_block);
  EXPECT_EQ(root->playback_block->loops, 3);
  EXPECT_EQ(root->playback_block->rate, 25.0f);
  EXPECT_EQ(root->playback_block->duration, 0.0f) << "kept as stored";
  ASSERT_TRUE(root->playback);
  EXPECT_EQ(root->playback->duration, 3.5f) << "the longest track of the tree";
  EXPECT_EQ(tail.playback, root->playback) << "the root's block covers its subtree";
  EXPECT_EQ(fin.playback, root->playback);

  ASSERT_TRUE(root->tracks);
  EXPECT_EQ(root->tracks->rotation.size(), 2u);
  EXPECT_EQ(root->tracks->duration(), 2.5f);
  ASSERT_TRUE(tail.tracks);
  EXPECT_EQ(tail.tracks->matrices[1].value, base::translation(0, 0, 1));

  ASSERT_TRUE(root->animation);
  EXPECT_EQ(root->animation->max_events, 4u);
  ASSERT_EQ(root->animation->sets.size(), 1u);
  const model::AnimationSet& swim = root->animation->sets[0];
  EXPECT_EQ(swim.name, "Swim");
  EXPECT_EQ(swim.ticks_per_second, 4800.0);
  ASSERT_EQ(swim.animations.size(), 2u);
  EXPECT_EQ(swim.animations[0].node_name, "Tail");
  EXPECT_EQ(swim.animations[0].translation[0].value, (base::Vec3{0, 0, 2}));
  EXPECT_TRUE(swim.animations[1].node_name.empty()) << "an empty slot";

  ASSERT_TRUE(root->params);
  float fourth = 0;
  std::memcpy(&fourth, root->params->data() + 12, 4);
  EXPECT_EQ(fourth, 2.0f);
  ASSERT_EQ(root->morph_groups.size(), 1u);
  EXPECT_EQ(root->morph_groups[0].name, "mouth");
  EXPECT_EQ(root->morph_groups[0].frames[1][0], (base::Vec3{0, 0.25f, 0}));
  EXPECT_EQ(root->morph_groups[0].owner, 0u);
  ASSERT_TRUE(root->tag);
  EXPECT_EQ(model::tag_text(root->tag->code), "DEFO");
  EXPECT_EQ(root->tag->data, (Bytes{7, 8, 9}));

  EXPECT_EQ(model::derive_kind(*root), model::kKindAnimated) << "a skin makes an animated object";
}

TEST(MeshReader, OurWriterGivesBackTheHandMadeBytes) {
  const Bytes bytes = full_tree();
  std::unique_ptr<MeshNode> root = read(bytes);
  ASSERT_TRUE(root);
  const std::optional<Bytes> written = model::encode_mesh_tree(*root);
  ASSERT_TRUE(written);
  EXPECT_EQ(*written, bytes);

  // A copy of the tree writes the same bytes and keeps its bones bound.
  std::unique_ptr<MeshNode> copy = root->clone_tree();
  EXPECT_EQ(model::encode_mesh_tree(*copy), bytes);
  EXPECT_EQ(copy->node(copy->skin->bone_nodes[1]), copy->first_child.get());
}

TEST(MeshReader, ANodeWithoutFlagsIsItsNameAnd107Bytes) {
  Put put;
  put.node_head(kChild, "Root").node_head(0, "Leaf");
  EXPECT_EQ(put.bytes.size(), 2 * 107u + 4 + 4);
  EXPECT_TRUE(read(put.bytes));
  put.bytes.pop_back();
  EXPECT_FALSE(read(put.bytes));
}

TEST(MeshReader, AChildWithASiblingGivesTheRootTwoChildren) {
  Put put;
  put.node_head(kChild, "Root").node_head(kSibling, "A").node_head(0, "B");
  std::unique_ptr<MeshNode> root = read(put.bytes);
  ASSERT_TRUE(root);
  ASSERT_TRUE(root->first_child);
  EXPECT_EQ(root->first_child->name, "A");
  ASSERT_TRUE(root->first_child->next_sibling);
  EXPECT_EQ(root->first_child->next_sibling->name, "B");
  EXPECT_FALSE(root->next_sibling);
  EXPECT_EQ(model::derive_kind(*root), model::kKindGroup);
}

TEST(MeshReader, TextureAlphaTurnsOnBlendingWithSourceAlpha) {
  Put put;
  put.node_head(kMaterials, "Glass").u32(1).material(1, 1, 1, 1, 3, 0, 0, 0, 1).short_name("");
  std::unique_ptr<MeshNode> root = read(put.bytes);
  ASSERT_TRUE(root);
  const model::Material& material = root->materials[0];
  EXPECT_EQ(material.blend, 1);
  EXPECT_EQ(material.src_blend, 5);
  EXPECT_EQ(material.dest_blend, 6);
  EXPECT_EQ(material.texture_alpha, 1u);
}

TEST(MeshReader, TracksStoredNewestFirstAreReversed) {
  Put put;
  put.node_head(kTracks, "Moving");
  put.u32(3).floats({2, 0, 0, 0, 1}).floats({1, 0, 0, 0, 1}).floats({0, 0, 0, 0, 1});  // reversed
  put.u32(1).floats({5, 1, 1, 1});                                                      // one key
  put.u32(0).u32(0);
  std::unique_ptr<MeshNode> root = read(put.bytes);
  ASSERT_TRUE(root);
  ASSERT_EQ(root->tracks->rotation.size(), 3u);
  EXPECT_EQ(root->tracks->rotation[0].time, 0.0f);
  EXPECT_EQ(root->tracks->rotation[2].time, 2.0f);
  EXPECT_EQ(root->tracks->first[0].time, 5.0f);
}

TEST(MeshReader, AnEmptyAnimationSlotTakesOneByte) {
  Put put;
  put.node_head(kAnimation, "Anim").u32(1).u32(1).u32(2).u32(0).u32(0);
  put.short_name("Idle").zeros(8).f64(30.0).u32(1).u32(3).u8(0).u8(0);
  put.short_name("Anim").u32(0).u32(0).u32(1).floats({0, 1, 2, 3});
  std::unique_ptr<MeshNode> root = read(put.bytes);
  ASSERT_TRUE(root);
  const model::AnimationSet& set = root->animation->sets[0];
  ASSERT_EQ(set.animations.size(), 3u);
  EXPECT_EQ(set.animations[2].node_name, "Anim");
  EXPECT_EQ(set.playback, model::PlaybackType::Once);
  EXPECT_EQ(model::derive_kind(*root), model::kKindAnimated);
}

TEST(MeshReader, ComputesTheDrawOrderWhenTheRecordHasNone) {
  Put put;
  put.node_head(kGeometry | kSubsets | kMaterials, "Mixed");
  quad_geometry(put);
  put.u32(3);
  put.u32(1).u32(0).u32(1).u32(0).u32(3).zeros(8);
  put.u32(0).u32(3).u32(1).u32(0).u32(4).zeros(8);
  put.u32(1).u32(0).u32(1).u32(0).u32(3).zeros(8);
  put.u8(0);  // no face attributes
  put.u32(2).material(1, 1, 1, 1, 3, 0, 0, 0, 0).material(1, 1, 1, 0.5f, 2, 1, 5, 6, 0);
  put.short_name("").short_name("");
  std::unique_ptr<MeshNode> root = read(put.bytes);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->draw_order, (std::vector<std::uint32_t>{1, 0, 2}));
  EXPECT_EQ(root->transparent_count, 2u);
  EXPECT_FALSE(root->face_attributes);
  EXPECT_EQ(root->name, "Mixed");
}

TEST(MeshReader, NamesAnUnnamedRootM8AndLowerCasesMorphGroups) {
  Put put;
  put.node_head(kMorph, "").u32(1).short_name("Eye-L").u16(1).u16(0).u16(1).u8(1).u16(0);
  std::unique_ptr<MeshNode> root = read(put.bytes);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->name, "m8");
  EXPECT_EQ(root->morph_groups[0].name, "eye-l");
  EXPECT_EQ(model::derive_kind(*root), model::kKindDeforming);
}

TEST(MeshReader, DerivesKindsFromTagsAndParameters) {
  struct Case {
    const char* what;
    Bytes bytes;
    std::uint8_t kind;
  };
  const Case cases[] = {
      {"ACTI tag", Put().node_head(kTag, "A").chars("ACTI").u32(0).bytes, model::kKindActinia},
      {"fourth parameter 1", Put().node_head(kParams, "P").u32(16).floats({0, 0, 0, 1}).bytes, model::kKindStatic},
      {"other parameters", Put().node_head(kParams, "P").u32(4).floats({1}).bytes, model::kKindParams},
      {"nothing", Put().node_head(0, "Plain").bytes, model::kKindDerived},
  };
  for (const Case& c : cases) {
    std::unique_ptr<MeshNode> root = read(c.bytes);
    ASSERT_TRUE(root) << c.what;
    EXPECT_EQ(model::derive_kind(*root), c.kind) << c.what;
  }
}

// Playback blocks: one on a child covers that child's later siblings and
// their subtrees; a block higher up overrides those below it.
TEST(MeshReader, PlaybackBlocksCoverLaterSiblingsAndHigherBlocksWin) {
  auto playback = [](Put& put, float rate) { put.i32(-1).u8(0).u32(0).u8(0).f32(rate).u8(0).f32(1.0f); };
  Put put;
  put.node_head(kChild, "Root");
  put.node_head(kSibling, "First");
  put.node_head(kSibling | kPlayback | kChild, "Second");
  playback(put, 30);
  put.node_head(kPlayback, "Grandchild");
  playback(put, 40);
  put.node_head(0, "Third");
  std::unique_ptr<MeshNode> root = read(put.bytes);
  ASSERT_TRUE(root);
  const MeshNode* first = root->first_child.get();
  const MeshNode* second = first->next_sibling.get();
  const MeshNode* third = second->next_sibling.get();
  const MeshNode* grandchild = second->first_child.get();
  EXPECT_FALSE(root->playback);
  EXPECT_FALSE(first->playback);
  ASSERT_TRUE(second->playback);
  EXPECT_EQ(second->playback->rate, 30.0f);
  EXPECT_EQ(third->playback, second->playback);
  EXPECT_EQ(grandchild->playback, second->playback) << "the higher block wins";
  EXPECT_EQ(grandchild->playback_block->rate, 40.0f) << "its own block is kept for writing";
}

TEST(MeshReader, BonesWithoutANodeLeaveTheSkinUnbound) {
  Put put;
  put.node_head(kSkin, "Body").u32(1).u32(kQuadFormat).u32(0).u32(1).u32(1).u32(0).u32(0);
  put.u32(5).chars("Ghost").matrix().matrix().u32(0);
  std::unique_ptr<MeshNode> root = read(put.bytes);
  ASSERT_TRUE(root) << "the mesh still loads";
  EXPECT_FALSE(root->skin->bound());
  EXPECT_EQ(root->skin->bone_nodes, (std::vector<std::uint32_t>{model::kNoNode}));
}

TEST(MeshReader, ThePaletteRenderersUseHoldsAtMostTwentyMatrices) {
  Put put;
  put.node_head(kSkin, "Body").u32(1).u32(kQuadFormat).u32(0).u32(24).u32(1).u32(1).u32(24 + 24 * 4);
  put.u32(0).u32(0).u32(0).u32(0).u32(0).u32(0xDEADBEEF);  // the slot's value is not kept
  put.u32(0);
  for (int i = 1; i < 24; ++i) put.u32(0xFFFFFFFF);
  put.u32(10).chars("Scene_Root").matrix().matrix().u32(0);
  std::unique_ptr<MeshNode> root = read(put.bytes);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->skin->palette_size, 24u);
  EXPECT_EQ(root->skin->palette_entries(), 20u);
  EXPECT_TRUE(root->skin->bound());
  EXPECT_EQ(root->skin->combinations[0].bone_ids[1], model::kUnusedBone);
}

// Every truncation of a tree fails cleanly, and so does a damaged child:
// no half tree is returned.
TEST(MeshReader, EveryShortReadFailsTheWholeTree) {
  const Bytes bytes = full_tree();
  for (std::size_t size = 0; size < bytes.size(); ++size) {
    const Bytes part(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(size));
    ASSERT_FALSE(read(part)) << "cut at " << size;
  }
}

struct Damage {
  const char* what;
  Bytes bytes;
  const char* reason;
};

Bytes geometry_with(std::uint32_t vertices, std::uint32_t indices, std::uint16_t index_value) {
  Put put;
  put.node_head(kGeometry, "G").u32(kQuadFormat).u32(vertices).u32(indices);
  put.zeros(std::size_t{std::min(vertices, 4u)} * 32);
  for (std::uint32_t i = 0; i < indices && i < 12; ++i) put.u16(i == 0 ? index_value : 0);
  return put.bytes;
}

Bytes subset_node(std::uint32_t material, std::uint32_t first_index, std::uint32_t triangles,
                  std::uint32_t draw_entry, std::uint32_t transparent, std::uint32_t attribute) {
  Put put;
  put.node_head(kGeometry | kSubsets | kMaterials | kDrawOrder, "S");
  quad_geometry(put);
  put.u32(1).u32(material).u32(first_index).u32(triangles).u32(0).u32(4).zeros(8);
  put.u8(0x50).u32(8).u32(8).u32(attribute).u32(0);
  put.u32(draw_entry).u32(transparent);
  put.u32(1).material(1, 1, 1, 1, 3, 0, 0, 0, 0).short_name("");
  return put.bytes;
}

Bytes skin_node(std::uint32_t bone_id, std::uint32_t name_length, std::uint32_t influenced) {
  Put put;
  put.node_head(kSkin, "K").u32(1).u32(kQuadFormat).u32(4).u32(1).u32(1).u32(1).u32(28);
  put.zeros(24).u32(bone_id);
  put.u32(name_length).chars(std::string(name_length, 'b')).matrix().matrix().u32(1).u32(influenced).f32(1);
  return put.bytes;
}

Bytes animation_node(std::string_view set_name, double ticks, std::uint32_t playback) {
  Put put;
  put.node_head(kAnimation, "A").u32(1).u32(1).u32(1).u32(0).u32(0);
  put.short_name(set_name).zeros(8).f64(ticks).u32(playback).u32(0).zeros(8);
  return put.bytes;
}

Bytes deep_tree(int depth) {
  Put put;
  for (int i = 0; i < depth; ++i) put.node_head(kChild, "D");
  put.node_head(0, "Leaf");
  return put.bytes;
}

TEST(MeshReader, RefusesDamagedRecordsWithAReason) {
  const Damage cases[] = {
      {"huge vertex count", geometry_with(0x10000000, 0, 0), "count exceeds"},
      {"index beyond the vertices", geometry_with(4, 3, 4), "index names no vertex"},
      {"index count not a multiple of 3", geometry_with(4, 4, 0), "multiple of 3"},
      {"unknown vertex format", Put().node_head(kGeometry, "F").u32(0x0001).u32(0).u32(0).bytes, "vertex format"},
      {"subset material out of range", subset_node(1, 0, 1, 0, 0, 0), "names no material"},
      {"subset triangles past the indices", subset_node(0, 3, 2, 0, 0, 0), "outside the index list"},
      {"draw order entry out of range", subset_node(0, 0, 1, 1, 0, 0), "names no subset"},
      {"more transparent than subsets", subset_node(0, 0, 1, 0, 2, 0), "more transparent"},
      {"face attribute out of range", subset_node(0, 0, 1, 0, 0, 1), "face attribute"},
      {"bone id out of range", skin_node(1, 4, 0), "names no bone"},
      {"bone name of length 0", skin_node(0, 0, 0), "without a name"},
      {"influence beyond the vertices", skin_node(0, 4, 4), "does not exist"},
      {"animation set without a name", animation_node("", 30.0, 0), "without a name"},
      {"no ticks per second", animation_node("Swim", 0.0, 0), "ticks per second"},
      {"unknown playback type", animation_node("Swim", 30.0, 3), "playback type"},
      {"too deep", deep_tree(model::kMaxTreeDepth + 1), "too deeply"},
  };
  for (const Damage& c : cases) {
    std::string error;
    EXPECT_FALSE(read(c.bytes, &error)) << c.what;
    EXPECT_NE(error.find(c.reason), std::string::npos) << c.what << ": " << error;
  }
  EXPECT_TRUE(read(deep_tree(model::kMaxTreeDepth))) << "the deepest tree allowed";
  EXPECT_TRUE(read(subset_node(0, 0, 1, 0, 1, 0))) << "the undamaged subset node";
}

TEST(MeshReader, AFailedChildFailsTheWholeTree) {
  Put put;
  put.node_head(kChild | kSibling, "Root").node_head(kGeometry, "Broken").u32(0x0001).u32(0).u32(0);
  put.node_head(0, "Sibling");
  EXPECT_FALSE(read(put.bytes));
}

TEST(MeshReader, LongSiblingChainsNeedNoRecursion) {
  constexpr int kSiblings = 100000;
  Put put;
  put.node_head(kChild, "Root");
  for (int i = 0; i < kSiblings; ++i) put.node_head(i + 1 < kSiblings ? kSibling : 0, "S");
  std::unique_ptr<MeshNode> root = read(put.bytes);
  ASSERT_TRUE(root);
  EXPECT_EQ(root->node_count(), kSiblings + 1u);
  std::unique_ptr<MeshNode> copy = root->clone_tree();
  EXPECT_EQ(model::encode_mesh_tree(*copy), put.bytes);
}

}  // namespace
