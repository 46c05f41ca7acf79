// The tanks the forge writes, read back with the program's own readers from
// a folder laid out like the program folder.
#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/file_io.h"
#include "base/matrix.h"
#include "forge/scenery/tank_content.h"
#include "model/mesh_library.h"
#include "model/model.h"
#include "render/bmp_file.h"
#include "render/image_loader.h"
#include "render/package_reader.h"
#include "render/tga_file.h"
#include "scene/group_box.h"
#include "scene/sea_set_record.h"
#include "support/temp_folder.h"

namespace {

using forge::scenery::ContentFile;

struct TankCase {
  const char* tank;
  const char* layout;
  bool anemone;
};
constexpr TankCase kTanks[] = {{"Tank01_Anemone01", "Layout01", true}, {"Tank02_Reef01", "Layout02", false}};
constexpr char kSeaSetZones[] = "\xB3\xBD\xB8\x73";

// Keeps every object it is given, with the kind the reader settled on.
class KeepingFactory final : public model::ObjectFactory {
 public:
  std::unique_ptr<model::ModelObject> create_object(std::shared_ptr<model::MeshNode> mesh,
                                                    const base::Matrix& placement,
                                                    std::uint8_t kind) override {
    return std::make_unique<model::ModelObject>(std::move(mesh), placement, kind);
  }
};

// A model read the way a scene reads one, with a mesh library of its own so
// every mesh comes out of this store and no other.
struct LoadedModel {
  model::TextureCache textures;
  model::MeshLibrary library{nullptr, &textures};
  KeepingFactory factory;
  model::Model model{&factory, &library};
  bool complete = false;
};

std::vector<float> words_of(std::span<const std::uint8_t> bytes) {
  std::vector<float> words(bytes.size() / 4);
  std::memcpy(words.data(), bytes.data(), words.size() * 4);
  return words;
}

class TankContentTest : public ::testing::Test {
 protected:
  // Making the content takes a while: once for the suite.
  static void SetUpTestSuite() {
    content_ = new std::optional<std::vector<ContentFile>>(forge::scenery::tank_content());
    folder_ = new test_support::TempFolder;
    if (!content_->has_value()) return;
    for (const ContentFile& file : **content_) {
      const std::filesystem::path target = folder_->path() / file.path;
      std::filesystem::create_directories(target.parent_path());
      base::write_file_atomically(target, file.bytes);
    }
  }
  static void TearDownTestSuite() {
    delete folder_;
    delete content_;
    folder_ = nullptr;
    content_ = nullptr;
  }
  void SetUp() override { ASSERT_TRUE(content_->has_value()) << "the tank content could not be made"; }

  static std::string path(const std::string& relative) { return folder_->file(relative); }

  // Opens a package by its path without extension, as the program does.
  static bool open(render::PackageReader& reader, const std::string& relative) {
    return reader.open_file(path(relative).c_str(), true);
  }

  static std::vector<std::uint8_t> entry_bytes(render::PackageReader& reader, std::string_view name) {
    const render::Block* block = reader.read(name);
    if (block == nullptr) return {};
    return {block->bytes().begin(), block->bytes().end()};
  }

  // Reads a Model.info with the meshes of a store package.
  static std::unique_ptr<LoadedModel> load_model(std::span<const std::uint8_t> info,
                                                 std::span<const std::uint8_t> store) {
    auto loaded = std::make_unique<LoadedModel>();
    render::PackageReader store_reader;
    if (!store_reader.open_memory(store)) return loaded;
    loaded->complete = loaded->model.read_info(info, &store_reader, {}, false);
    return loaded;
  }

  static std::unique_ptr<LoadedModel> load_layout(const TankCase& tank) {
    render::PackageReader package;
    if (!open(package, std::string("Scene/") + tank.tank)) return std::make_unique<LoadedModel>();
    const std::vector<std::uint8_t> info = entry_bytes(package, tank.layout);
    const std::optional<std::vector<std::uint8_t>> store =
        base::read_file(path(std::string("Scene/") + tank.layout + ".vmf"));
    return load_model(info, store ? *store : std::vector<std::uint8_t>{});
  }

  static std::optional<std::vector<ContentFile>>* content_;
  static test_support::TempFolder* folder_;
};

std::optional<std::vector<ContentFile>>* TankContentTest::content_ = nullptr;
test_support::TempFolder* TankContentTest::folder_ = nullptr;

TEST_F(TankContentTest, EachTankNamesItsSeaSetAndLayoutAndCarriesZonesThumbnailAndTitle) {
  for (const TankCase& tank : kTanks) {
    SCOPED_TRACE(tank.tank);
    render::PackageReader package;
    ASSERT_TRUE(open(package, std::string("Scene/") + tank.tank)) << "opens under its own name";
    ASSERT_GE(package.count(), 3u);
    EXPECT_EQ(package.entry(1)->name, "SeaSet01");
    EXPECT_EQ(package.entry(2)->name, tank.layout);
    const std::vector<std::uint8_t> zones_bytes = entry_bytes(package, package.entry(3)->name);
    const std::optional<scene::GroupBoxList> zones = scene::GroupBoxList::parse(zones_bytes);
    ASSERT_TRUE(zones.has_value());
    EXPECT_GE(zones->boxes().size(), 3u) << "zones among the rocks";
    EXPECT_EQ(zones->find("anemone") != nullptr, tank.anemone);

    const std::optional<std::vector<std::uint8_t>> bmp =
        base::read_file(path(std::string("Scene/") + tank.tank + ".bmp"));
    ASSERT_TRUE(bmp.has_value());
    const std::optional<render::BmpLayout> thumbnail = render::read_bmp(*bmp);
    ASSERT_TRUE(thumbnail.has_value());
    EXPECT_EQ(thumbnail->width, 128);
    EXPECT_EQ(thumbnail->pixel_height(), 96u);
    EXPECT_EQ(thumbnail->bits, 24);
    // A picture, not a blank: the top (water) and the bottom (sand) differ.
    const std::uint32_t top = thumbnail->pixel(64, 2);
    const std::uint32_t bottom = thumbnail->pixel(64, 93);
    EXPECT_NE(top & 0xFFFFFF, bottom & 0xFFFFFF);

    const std::optional<std::vector<std::uint8_t>> title =
        base::read_file(path(std::string("Scene/") + tank.tank + ".txt"));
    ASSERT_TRUE(title.has_value());
    EXPECT_FALSE(title->empty());
    EXPECT_LT(title->size(), 64u);
  }
}

TEST_F(TankContentTest, TheSeaSetHasItsRecordAndTheOceanAndBubbleBoxes) {
  render::PackageReader package;
  ASSERT_TRUE(open(package, "Scene/SeaSet01"));
  const std::vector<std::uint8_t> record_bytes = entry_bytes(package, "SeaSet.BW");
  ASSERT_EQ(record_bytes.size(), scene::SeaSetRecord::kBytes);
  scene::SeaSetRecord record;
  record.assign(record_bytes);

  const std::optional<scene::GroupBoxList> zones =
      scene::GroupBoxList::parse(entry_bytes(package, kSeaSetZones));
  ASSERT_TRUE(zones.has_value());
  const scene::GroupBox* ocean = zones->find("ocean");
  const scene::GroupBox* bubble = zones->find("bubble");
  ASSERT_NE(ocean, nullptr);
  ASSERT_NE(bubble, nullptr);
  const scene::AlignedBox swim = ocean->bounds();
  EXPECT_LT(swim.min.x, -40.0f);
  EXPECT_GT(swim.max.x, 40.0f);
  EXPECT_GT(swim.min.y, 0.0f) << "the fish keep above the sand";

  // The camera stands in front of the swim box, looks into it a little from
  // above and sees as far as the back wall.
  EXPECT_GT(record.field_of_view(), 0.5f);
  EXPECT_LT(record.field_of_view(), 1.2f);
  EXPECT_LT(record.near_plane(), 2.0f);
  EXPECT_GT(record.far_plane(), 200.0f);
  EXPECT_LT(record.home_position().z, swim.min.z);
  EXPECT_GT(record.home_position().y, swim.min.y);
  EXPECT_LT(record.home_position().y, swim.max.y);
  EXPECT_GT(record.home_angles().x, 0.0f) << "pitched down";
  EXPECT_LT(record.home_angles().x, 0.4f);
  EXPECT_LT(record.light_direction().y, 0.0f) << "the light travels downwards";
  EXPECT_GT(record.pattern_rate(), 0.0f);
  EXPECT_GT(record.pattern_scale().x, 0.0f);
  EXPECT_GT(record.pattern_scale().y, 0.0f);

  // The bubbles set off from the sand inside the swim box's width and depth.
  const base::Vec3 source = bubble->bounds().centre();
  EXPECT_GT(source.x, swim.min.x);
  EXPECT_LT(source.x, swim.max.x);
  EXPECT_GT(source.z, swim.min.z);
  EXPECT_LT(source.z, swim.max.z);
  EXPECT_LT(source.y, swim.min.y + 0.25f * (swim.max.y - swim.min.y));

  // The floor and the back wall come out of the sea set's own store.
  const std::vector<std::uint8_t> info = entry_bytes(package, "Model.info");
  const std::vector<std::uint8_t> store = entry_bytes(package, "Model.vmf");
  const std::unique_ptr<LoadedModel> loaded = load_model(info, store);
  EXPECT_TRUE(loaded->complete);
  EXPECT_EQ(loaded->model.objects().size(), 2u);
}

TEST_F(TankContentTest, EveryLayoutObjectComesOutOfItsLayoutStore) {
  for (const TankCase& tank : kTanks) {
    SCOPED_TRACE(tank.tank);
    const std::unique_ptr<LoadedModel> loaded = load_layout(tank);
    EXPECT_TRUE(loaded->complete) << "every mesh the layout names is in " << tank.layout << ".vmf";
    EXPECT_GE(loaded->model.objects().size(), 10u);
  }
}

TEST_F(TankContentTest, RocksAreObstaclesWithTheirTrianglesInTheRoot) {
  for (const TankCase& tank : kTanks) {
    SCOPED_TRACE(tank.tank);
    const std::unique_ptr<LoadedModel> loaded = load_layout(tank);
    int rocks = 0;
    for (const auto& object : loaded->model.objects()) {
      const model::MeshNode& root = *object->mesh();
      if (root.name.rfind("Rock", 0) != 0) continue;
      ++rocks;
      EXPECT_EQ(object->kind(), 4) << root.name;
      EXPECT_TRUE(root.has_geometry) << root.name;
      EXPECT_GT(root.triangle_count(), 100u) << root.name;
      EXPECT_FALSE(root.first_child) << root.name << ": the obstacle is the root alone";
      // Standing on the sand: its base a little below the floor, its top
      // well above it.
      const std::array<base::Vec3, 8> corners = root.box_corners(object->placement());
      EXPECT_LT(corners[0].y, 1.0f) << root.name;
      EXPECT_GT(corners[0].y, -8.0f) << root.name;
      EXPECT_GT(corners[7].y, 4.0f) << root.name;
    }
    EXPECT_GE(rocks, 4);
  }
}

TEST_F(TankContentTest, TheAnemoneIsItsOwnKindWithBodyHandAndTentacleData) {
  const std::unique_ptr<LoadedModel> loaded = load_layout(kTanks[0]);
  const model::ModelObject* anemone = nullptr;
  for (const auto& object : loaded->model.objects()) {
    if (object->kind() == model::kKindActinia) anemone = object.get();
  }
  ASSERT_NE(anemone, nullptr) << "an object of kind 0 whose root carries \"ACTI\"";
  model::MeshNode& root = *anemone->mesh();
  ASSERT_TRUE(root.tag.has_value());
  EXPECT_EQ(model::tag_text(root.tag->code), "ACTI");
  const model::MeshNode* body = root.find("body");
  const model::MeshNode* hand = root.find("hand");
  ASSERT_NE(body, nullptr);
  ASSERT_NE(hand, nullptr);
  EXPECT_GT(body->triangle_count(), 0u);
  EXPECT_GT(hand->vertex_count, 0u);
  EXPECT_NEAR(hand->box.max.y - hand->box.min.y, 1.0f, 1e-4f) << "the tentacle template stands 1 unit tall";

  // The tag data: 32 parameter words, six node heights, the roots and their
  // directions, and nothing more.
  const std::vector<std::uint8_t>& data = root.tag->data;
  ASSERT_GE(data.size(), 156u);
  const std::vector<float> words = words_of(data);
  std::uint32_t bones = 0;
  std::uint32_t roots = 0;
  std::memcpy(&bones, data.data(), 4);
  std::memcpy(&roots, data.data() + 152, 4);
  EXPECT_GE(bones, 1u);
  EXPECT_LE(bones, 4u);
  EXPECT_NE(words[25], 0.0f) << "the scale ranges are given";
  EXPECT_GE(words[24], words[25]);
  EXPECT_GE(words[26], words[27]);
  EXPECT_GE(words[28], words[29]);
  for (int i = 32; i < 37; ++i) EXPECT_GT(words[i], words[i + 1]) << "node heights run from tip to root";
  ASSERT_GT(roots, 20u);
  ASSERT_EQ(data.size(), 156u + 24u * roots);
  for (std::uint32_t r = 0; r < roots; ++r) {
    const float* position = &words[39 + 3 * r];
    const float* direction = &words[39 + 3 * roots + 3 * r];
    const float length =
        std::sqrt(direction[0] * direction[0] + direction[1] * direction[1] + direction[2] * direction[2]);
    EXPECT_NEAR(length, 1.0f, 1e-3f) << "root " << r;
    EXPECT_GT(direction[1], 0.0f) << "root " << r << " grows upwards";
    EXPECT_GE(position[1], body->box.min.y) << "root " << r << " on the body";
    EXPECT_LE(position[1], body->box.max.y) << "root " << r << " on the body";
  }
}

// Whether a point lies inside a closed mesh: a ray from it crosses the
// surface an odd number of times. The ray leans off every axis, so it does
// not run through the poles and seams of a mesh built around an axis.
bool inside_mesh(const model::MeshNode& node, const base::Matrix& placement, const base::Vec3& point) {
  const base::Vec3 ray = base::normalize(base::Vec3{0.331f, 0.912f, 0.241f});
  int crossings = 0;
  for (std::uint32_t t = 0; t < node.triangle_count(); ++t) {
    const base::Vec3 a = base::transform_coord(node.position(node.vertex_index(t * 3)), placement);
    const base::Vec3 b = base::transform_coord(node.position(node.vertex_index(t * 3 + 1)), placement);
    const base::Vec3 c = base::transform_coord(node.position(node.vertex_index(t * 3 + 2)), placement);
    const base::Vec3 edge1 = b - a;
    const base::Vec3 edge2 = c - a;
    const base::Vec3 h = base::cross(ray, edge2);
    const float det = base::dot(edge1, h);
    if (std::abs(det) < 1e-9f) continue;
    const base::Vec3 s = point - a;
    const float u = base::dot(s, h) / det;
    if (u < 0.0f || u > 1.0f) continue;
    const base::Vec3 q = base::cross(s, edge1);
    const float v = base::dot(ray, q) / det;
    if (v < 0.0f || u + v > 1.0f) continue;
    if (base::dot(edge2, q) / det > 0.0f) ++crossings;
  }
  return crossings % 2 == 1;
}

TEST_F(TankContentTest, HidingZonesLieInOpenWaterInsideTheSwimBox) {
  render::PackageReader sea_set;
  ASSERT_TRUE(open(sea_set, "Scene/SeaSet01"));
  const std::optional<scene::GroupBoxList> sea_zones =
      scene::GroupBoxList::parse(entry_bytes(sea_set, kSeaSetZones));
  ASSERT_TRUE(sea_zones.has_value());
  ASSERT_NE(sea_zones->find("ocean"), nullptr);
  const scene::AlignedBox swim = sea_zones->find("ocean")->bounds();
  for (const TankCase& tank : kTanks) {
    SCOPED_TRACE(tank.tank);
    render::PackageReader package;
    ASSERT_TRUE(open(package, std::string("Scene/") + tank.tank));
    const std::optional<scene::GroupBoxList> zones =
        scene::GroupBoxList::parse(entry_bytes(package, "Zones"));
    ASSERT_TRUE(zones.has_value());
    const std::unique_ptr<LoadedModel> loaded = load_layout(tank);
    for (const scene::GroupBox& zone : zones->boxes()) {
      const base::Vec3 centre = zone.bounds().centre();
      SCOPED_TRACE("zone at " + std::to_string(centre.x) + ", " + std::to_string(centre.y) + ", " +
                   std::to_string(centre.z));
      EXPECT_GT(centre.x, swim.min.x);
      EXPECT_LT(centre.x, swim.max.x);
      EXPECT_GT(centre.y, swim.min.y);
      EXPECT_LT(centre.y, swim.max.y);
      EXPECT_GT(centre.z, swim.min.z);
      EXPECT_LT(centre.z, swim.max.z);
      for (const auto& object : loaded->model.objects()) {
        if (object->kind() != 4) continue;
        EXPECT_FALSE(inside_mesh(*object->mesh(), object->placement(), centre))
            << "inside " << object->mesh()->name;
      }
    }
  }
}

TEST_F(TankContentTest, LayoutsThatShareAMeshNameShareItsBytes) {
  render::PackageReader first;
  render::PackageReader second;
  ASSERT_TRUE(open(first, "Scene/Layout01"));
  ASSERT_TRUE(open(second, "Scene/Layout02"));
  int shared = 0;
  for (std::uint32_t i = 1; i <= first.count(); ++i) {
    const std::string name = first.entry(i)->name;
    if (second.find(name) == 0) continue;
    ++shared;
    EXPECT_EQ(entry_bytes(first, name), entry_bytes(second, name)) << name;
  }
  EXPECT_GT(shared, 0);
}

// The frames of a light pattern package as grey levels, in entry order.
struct PatternFrames {
  std::uint32_t size = 0;
  std::vector<std::vector<int>> frames;
};

PatternFrames read_pattern(render::PackageReader& package) {
  PatternFrames result;
  for (std::uint32_t i = 1; i <= package.count(); ++i) {
    const render::Block* block = package.read(i);
    if (block == nullptr) return {};
    EXPECT_TRUE(render::decode_image(block->bytes()).has_value()) << package.entry(i)->name;
    const std::optional<render::TgaPicture> picture = render::read_tga(block->bytes());
    if (!picture || picture->width != picture->height) return {};
    result.size = picture->width;
    std::vector<int> grey;
    for (std::uint32_t argb : picture->argb) grey.push_back(static_cast<int>((argb >> 16) & 0xFF));
    result.frames.push_back(std::move(grey));
  }
  return result;
}

double mean_difference(const std::vector<int>& a, const std::vector<int>& b) {
  double sum = 0.0;
  for (std::size_t i = 0; i < a.size(); ++i) sum += std::abs(a[i] - b[i]);
  return sum / static_cast<double>(a.size());
}

// Mean difference between two columns of a frame.
double column_difference(const std::vector<int>& frame, std::uint32_t size, std::uint32_t x0,
                         std::uint32_t x1) {
  double sum = 0.0;
  for (std::uint32_t y = 0; y < size; ++y) sum += std::abs(frame[y * size + x0] - frame[y * size + x1]);
  return sum / size;
}

TEST_F(TankContentTest, TheLightPatternFramesTileAndLoop) {
  struct Case {
    const char* package;
    std::uint32_t size;
  };
  for (const Case& c : {Case{"System/WS", 128}, Case{"System/WS0", 64}}) {
    SCOPED_TRACE(c.package);
    render::PackageReader package;
    ASSERT_TRUE(open(package, c.package));
    EXPECT_EQ(package.entry(1)->name, "WS00.tga");
    const PatternFrames pattern = read_pattern(package);
    ASSERT_EQ(pattern.size, c.size);
    ASSERT_GE(pattern.frames.size(), 32u);
    ASSERT_LE(pattern.frames.size(), 64u);
    const std::uint32_t n = pattern.size;

    double step = 0.0;  // mean change from one frame to the next
    for (std::size_t f = 1; f < pattern.frames.size(); ++f)
      step += mean_difference(pattern.frames[f - 1], pattern.frames[f]);
    step /= static_cast<double>(pattern.frames.size() - 1);
    EXPECT_GT(step, 0.5) << "the pattern moves";
    EXPECT_LT(mean_difference(pattern.frames.back(), pattern.frames.front()), 1.5 * step)
        << "the last frame leads into the first";
    EXPECT_GT(mean_difference(pattern.frames[pattern.frames.size() / 2], pattern.frames.front()), 2.0 * step)
        << "and half way it is another picture";

    for (std::size_t f : {std::size_t{0}, pattern.frames.size() / 2}) {
      const std::vector<int>& frame = pattern.frames[f];
      double neighbours = 0.0;
      for (std::uint32_t x = 1; x < n; ++x) neighbours += column_difference(frame, n, x - 1, x);
      neighbours /= n - 1;
      EXPECT_LT(column_difference(frame, n, n - 1, 0), 1.5 * neighbours)
          << "the right edge runs on into the left";
      EXPECT_GT(column_difference(frame, n, 0, n / 2), 3.0 * neighbours);
      double rows = 0.0;
      for (std::uint32_t y = 1; y < n; ++y) {
        for (std::uint32_t x = 0; x < n; ++x) rows += std::abs(frame[(y - 1) * n + x] - frame[y * n + x]);
      }
      rows /= static_cast<double>(n) * (n - 1);
      double wrap = 0.0;
      for (std::uint32_t x = 0; x < n; ++x) wrap += std::abs(frame[(n - 1) * n + x] - frame[x]);
      EXPECT_LT(wrap / n, 1.5 * rows) << "the bottom edge runs on into the top";

      double mean = 0.0;
      for (int level : frame) mean += level;
      mean /= static_cast<double>(frame.size());
      EXPECT_GT(mean, 80.0);
      EXPECT_LT(mean, 150.0);
    }
  }
}

TEST_F(TankContentTest, TheSameBytesOnEveryRun) {
  const std::optional<std::vector<ContentFile>> again = forge::scenery::tank_content();
  ASSERT_TRUE(again.has_value());
  ASSERT_EQ(again->size(), (*content_)->size());
  for (std::size_t i = 0; i < again->size(); ++i) {
    EXPECT_EQ((*again)[i].path, (**content_)[i].path);
    EXPECT_TRUE((*again)[i].bytes == (**content_)[i].bytes) << (*again)[i].path;
  }
}

}  // namespace
