// The fish kinds the forge writes, read back with the program's own readers
// from a folder laid out like the program folder.
#include <gtest/gtest.h>

#include <bit>
#include <cstring>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "fish/body_bones.h"
#include "fish/fish_kind.h"
#include "forge/fishes/fish_content.h"
#include "model/mesh_reader.h"
#include "model/mesh_texture.h"
#include "model/x_file.h"
#include "model/x_templates.h"
#include "platform/vertex_format.h"
#include "render/bmp_file.h"
#include "render/package_reader.h"
#include "support/temp_folder.h"

namespace {

struct KindCase {
  int kind;
  std::uint8_t class_byte;
  float school_power;
  std::uint32_t spine_segments;
  float min_length;
  float max_length;
};
// Schooling fish about 1/20 of the 120-unit tank, dwellers a little larger.
constexpr KindCase kKinds[] = {
    {10008, 0, 1.0f, 8, 5.5f, 6.5f},
    {30001, 1, 0.0f, 7, 6.5f, 8.5f},
    {30005, 0, 0.5f, 8, 7.0f, 9.0f},
};

constexpr std::size_t kRecordSizes[] = {0, 60, 68, 24, 44};

// One entry of a deformer list as the fish read it.
struct Deformer {
  std::string frame;
  std::uint8_t type = 0;
  std::uint8_t part = 0;
  std::vector<std::uint8_t> record;
};

// Reads the list strictly: every length within the data, nothing left over.
std::optional<std::vector<Deformer>> parse_deformers(const std::vector<std::uint8_t>& data) {
  std::size_t at = 0;
  const auto take = [&](std::size_t n) { return at + n <= data.size() ? (at += n, true) : false; };
  const auto u32_at = [&](std::size_t offset) {
    std::uint32_t v = 0;
    std::memcpy(&v, data.data() + offset, 4);
    return v;
  };
  if (!take(4)) return std::nullopt;
  const std::uint32_t count = u32_at(0);
  std::vector<Deformer> list;
  for (std::uint32_t i = 0; i < count; ++i) {
    Deformer entry;
    if (!take(1)) return std::nullopt;
    const std::size_t name_length = data[at - 1];
    if (!take(name_length)) return std::nullopt;
    entry.frame.assign(reinterpret_cast<const char*>(data.data() + at - name_length), name_length);
    if (!take(2)) return std::nullopt;
    entry.type = data[at - 2];
    entry.part = data[at - 1];
    if (!take(4)) return std::nullopt;
    const std::uint32_t size = u32_at(at - 4);
    if (!take(size)) return std::nullopt;
    entry.record.assign(data.begin() + static_cast<std::ptrdiff_t>(at - size), data.begin() + static_cast<std::ptrdiff_t>(at));
    list.push_back(std::move(entry));
  }
  if (at != data.size()) return std::nullopt;
  return list;
}

float real_at(const std::vector<std::uint8_t>& bytes, std::size_t word) {
  std::uint32_t v = 0;
  std::memcpy(&v, bytes.data() + word * 4, 4);
  return std::bit_cast<float>(v);
}

class FishContentTest : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    const std::optional<std::vector<forge::scenery::ContentFile>> files = forge::fishes::fish_content();
    ASSERT_TRUE(files.has_value());
    folder_ = new test_support::TempFolder();
    for (const forge::scenery::ContentFile& file : *files) {
      std::filesystem::create_directories((folder_->path() / file.path).parent_path());
      ASSERT_TRUE(base::write_file_atomically(folder_->path() / file.path, file.bytes)) << file.path;
    }
    files_ = new std::vector<forge::scenery::ContentFile>(*files);
  }
  static void TearDownTestSuite() {
    delete folder_;
    delete files_;
  }

  static std::string package_path(int kind) { return folder_->file("Fish/" + std::to_string(kind) + ".vmf"); }

  // The kind's model as the program loads it: the first "m8" entry, with
  // textures from the package.
  static std::unique_ptr<model::MeshNode> load_model(render::PackageReader& package) {
    const std::uint32_t index = package.find_by_extension("m8");
    if (index == 0) return nullptr;
    const render::Block* block = package.read(index);
    if (block == nullptr) return nullptr;
    const std::vector<std::uint8_t> bytes(block->bytes().begin(), block->bytes().end());
    model::TextureCache cache;
    model::PackageTextureSource textures(cache, &package);
    std::string error;
    std::unique_ptr<model::MeshNode> root = model::read_mesh_tree(bytes, &textures, &error);
    EXPECT_NE(root, nullptr) << error;
    return root;
  }

  static inline test_support::TempFolder* folder_ = nullptr;
  static inline std::vector<forge::scenery::ContentFile>* files_ = nullptr;
};

TEST_F(FishContentTest, EveryKindHasAPackageAThumbnailAndACaption) {
  for (const KindCase& c : kKinds) {
    SCOPED_TRACE(c.kind);
    const std::string stem = folder_->file("Fish/" + std::to_string(c.kind));
    EXPECT_EQ(render::PackageReader::check_file(package_path(c.kind).c_str()), c.class_byte);
    render::PackageReader package;
    EXPECT_TRUE(package.open_file(package_path(c.kind).c_str(), false)) << "the stored name fits the file";

    const std::optional<std::vector<std::uint8_t>> bmp = base::read_file(stem + ".bmp");
    ASSERT_TRUE(bmp.has_value());
    const std::optional<render::Image> thumbnail = render::decode_bmp(*bmp);
    ASSERT_TRUE(thumbnail.has_value());
    EXPECT_EQ(thumbnail->width(), forge::fishes::kThumbnailWidth);
    ASSERT_GE(bmp->size(), 30u);
    EXPECT_EQ((*bmp)[28] | (*bmp)[29] << 8, 24) << "a 24-bit bitmap";

    const std::optional<std::vector<std::uint8_t>> caption = base::read_file(stem + ".txt");
    ASSERT_TRUE(caption.has_value());
    EXPECT_FALSE(caption->empty());
  }
}

TEST_F(FishContentTest, TheModelLoadsWithSkinBlendsForItsSpine) {
  for (const KindCase& c : kKinds) {
    SCOPED_TRACE(c.kind);
    render::PackageReader package;
    ASSERT_TRUE(package.open_file(package_path(c.kind).c_str(), false));
    const std::unique_ptr<model::MeshNode> root = load_model(package);
    ASSERT_NE(root, nullptr);

    // The length axis is +z with the head forward: the eyes and the mouth
    // lie ahead of the middle, the tail behind it.
    const float length = root->box.max.z - root->box.min.z;
    EXPECT_GE(length, c.min_length);
    EXPECT_LE(length, c.max_length);
    const float middle = (root->box.min.z + root->box.max.z) * 0.5f;
    ASSERT_NE(root->find("eyes"), nullptr);
    ASSERT_NE(root->find("tail"), nullptr);
    ASSERT_NE(root->find("mouth"), nullptr);
    EXPECT_GT(root->find("eyes")->box.min.z, middle);
    EXPECT_LT(root->find("tail")->box.max.z, middle);
    EXPECT_GT(base::translation_of(root->find("mouth")->local_matrix).z, root->find("eyes")->box.max.z);
    ASSERT_NE(root->find("body"), nullptr);
    ASSERT_FALSE(root->find("body")->materials.empty());
    EXPECT_NE(root->find("body")->materials[0].texture, nullptr) << "the skin comes from the package";

    const fish::BoneLayout bones = fish::layout_bones(root->box.min.z, root->box.max.z, c.spine_segments);
    int geometry_nodes = 0;
    model::for_each_node(*root, [&](const model::MeshNode& node) {
      if (!node.has_geometry) return;
      ++geometry_nodes;
      SCOPED_TRACE(node.name);
      const std::optional<gfx::VertexLayout> layout = gfx::decode_vertex_format(node.fvf);
      ASSERT_TRUE(layout.has_value());
      ASSERT_GE(layout->blend_weights, 1);
      ASSERT_TRUE(layout->blend_indices);
      const std::vector<std::uint8_t>& bytes = node.vertices.bytes();
      for (std::uint32_t v = 0; v < node.vertex_count; ++v) {
        const std::uint8_t* vertex = bytes.data() + static_cast<std::size_t>(v) * layout->stride;
        float weight = 0.0f;
        std::memcpy(&weight, vertex + layout->blend_offset, 4);
        const std::uint8_t bone = vertex[layout->indices_offset];
        const std::uint8_t neighbour = vertex[layout->indices_offset + 1];
        ASSERT_GE(weight, 0.0f) << v;
        ASSERT_LE(weight, 1.0f) << v;
        ASSERT_LT(bone, bones.count) << v;
        ASSERT_LT(neighbour, bones.count) << v;
        // The blend is the one the body computes for the vertex's place
        // along the length axis.
        const fish::VertexBlend expected = fish::vertex_blend(node.position(v).z, bones.view());
        ASSERT_EQ(bone, expected.bone) << v;
        ASSERT_EQ(neighbour, expected.neighbour) << v;
        ASSERT_NEAR(weight, expected.weight, 1e-6f) << v;
      }
    });
    EXPECT_GE(geometry_nodes, 9);

    // Mouth and dorsal fin carry their two morph targets for all their
    // vertices.
    for (const char* name : {"lips", "dorsal"}) {
      const model::MeshNode* node = root->find(name);
      ASSERT_NE(node, nullptr) << name;
      bool found = false;
      for (const model::MorphGroup& group : root->morph_groups) {
        if (group.owner != node->handle()) continue;
        found = true;
        EXPECT_EQ(group.frames.size(), 2u) << name;
        EXPECT_EQ(group.vertex_indices.size(), node->vertex_count) << name;
        EXPECT_NE(group.frames[0], group.frames[1]) << name << ": the targets differ";
      }
      EXPECT_TRUE(found) << name;
    }
  }
}

TEST_F(FishContentTest, TheDeformerListNamesFramesOfTheModel) {
  struct Expected {
    const char* frame;
    std::uint8_t type;
    std::uint8_t part;
  };
  const std::vector<Expected> required = {
      {"lips", 3, 2}, {"eyes", 4, 1}, {"dorsal", 3, 5}, {"tail", 1, 6}, {"fin_pel", 2, 3}, {"fin_per", 2, 4}};
  for (const KindCase& c : kKinds) {
    SCOPED_TRACE(c.kind);
    render::PackageReader package;
    ASSERT_TRUE(package.open_file(package_path(c.kind).c_str(), false));
    const std::unique_ptr<model::MeshNode> root = load_model(package);
    ASSERT_NE(root, nullptr);
    ASSERT_TRUE(root->tag.has_value());
    EXPECT_EQ(model::tag_text(root->tag->code), "DEFO");
    const std::optional<std::vector<Deformer>> list = parse_deformers(root->tag->data);
    ASSERT_TRUE(list.has_value()) << "the list's lengths hold together";

    std::map<std::string, Deformer> by_frame;
    for (const Deformer& entry : *list) {
      SCOPED_TRACE(entry.frame);
      ASSERT_LE(entry.type, 4);
      EXPECT_EQ(entry.record.size(), kRecordSizes[entry.type]);
      const model::MeshNode* frame = root->find(entry.frame);
      ASSERT_NE(frame, nullptr);
      EXPECT_TRUE(frame->has_geometry);
      EXPECT_TRUE(by_frame.emplace(entry.frame, entry).second) << "one control per frame";
    }
    for (const Expected& e : required) {
      ASSERT_EQ(by_frame.count(e.frame), 1u) << e.frame;
      EXPECT_EQ(by_frame[e.frame].type, e.type) << e.frame;
      EXPECT_EQ(by_frame[e.frame].part, e.part) << e.frame;
    }
    // The pectoral hinges turn outwards on each side: the fin's box lies
    // beyond its hinge point on its own side.
    for (const auto& [name, side] : {std::pair{"fin_pel", -1.0f}, std::pair{"fin_per", 1.0f}}) {
      const std::vector<std::uint8_t>& hinge = by_frame[name].record;
      const float box_centre_x = (real_at(hinge, 8) + real_at(hinge, 11)) * 0.5f;
      EXPECT_GT((box_centre_x - real_at(hinge, 14)) * side, 0.0f) << name;
    }
    // The eye centres lie on their sides of the head.
    const std::vector<std::uint8_t>& eyes = by_frame["eyes"].record;
    EXPECT_LT(real_at(eyes, 5), 0.0f);
    EXPECT_GT(real_at(eyes, 8), 0.0f);
  }
}

TEST_F(FishContentTest, TheAttributesReadBackWithTheirTunedWords) {
  for (const KindCase& c : kKinds) {
    SCOPED_TRACE(c.kind);
    render::PackageReader package;
    ASSERT_TRUE(package.open_file(package_path(c.kind).c_str(), false));

    const render::Block* att = package.read(package.find_by_extension("att"));
    ASSERT_NE(att, nullptr);
    const std::vector<std::uint8_t> text(att->bytes().begin(), att->bytes().end());
    model::XFileReader reader;
    ASSERT_TRUE(reader.open_memory(text)) << reader.error();
    int objects = 0;
    std::vector<std::uint8_t> words;
    for (std::size_t i = 0; i < reader.count(); ++i) {
      if (model::XFileReader::type(*reader.object(i)) != model::xguid::kFishAtt2) continue;
      ++objects;
      words = reader.object(i)->data;
    }
    ASSERT_EQ(objects, 1);
    ASSERT_EQ(words.size(), 160u);

    const render::Block* plus = package.read(package.find_by_extension("att+"));
    ASSERT_NE(plus, nullptr);
    ASSERT_EQ(plus->size(), 136u);
    EXPECT_TRUE(std::equal(plus->bytes().begin(), plus->bytes().begin() + 128, words.begin()))
        << "both entries carry the same words";

    fish::FishKindAttributes attributes;
    attributes.load(package);
    EXPECT_EQ(attributes.real(fish::FishKindAttributes::kSchoolPower), c.school_power);
    EXPECT_EQ(attributes.word(fish::FishKindAttributes::kSpineSegments), c.spine_segments);
    for (std::size_t word : {fish::FishKindAttributes::kNormalSpeed, fish::FishKindAttributes::kMaxSpeed,
                             fish::FishKindAttributes::kNormalWaveSize, fish::FishKindAttributes::kNormalFreq,
                             fish::FishKindAttributes::kElasticity, fish::FishKindAttributes::kOriginFraction,
                             fish::FishKindAttributes::kFollowFactor, fish::FishKindAttributes::kPitchLimit}) {
      EXPECT_GT(attributes.real(word), 0.0f) << "word " << word;
      EXPECT_EQ(attributes.real(word), real_at(words, word)) << "word " << word << " is tuned in att itself";
    }
  }
}

TEST_F(FishContentTest, ASecondRunWritesTheSameBytes) {
  const std::optional<std::vector<forge::scenery::ContentFile>> again = forge::fishes::fish_content();
  ASSERT_TRUE(again.has_value());
  ASSERT_EQ(again->size(), files_->size());
  for (std::size_t i = 0; i < again->size(); ++i) {
    EXPECT_EQ((*again)[i].path, (*files_)[i].path);
    EXPECT_TRUE((*again)[i].bytes == (*files_)[i].bytes) << (*again)[i].path;
  }
}

}  // namespace
