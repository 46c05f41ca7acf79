#include "vmftool/mesh_dump.h"

#include <cstdio>
#include <cstring>
#include <optional>
#include <vector>

#include "base/byte_reader.h"
#include "model/mesh_reader.h"
#include "model/node_flags.h"
#include "platform/vertex_format.h"
#include "render/package_reader.h"

namespace vmftool {

namespace {

std::string number(float value) {
  char text[32];
  std::snprintf(text, sizeof text, "%g", static_cast<double>(value));
  return text;
}

std::string vec(const base::Vec3& v) {
  char text[96];
  std::snprintf(text, sizeof text, "(%g %g %g)", static_cast<double>(v.x), static_cast<double>(v.y),
                static_cast<double>(v.z));
  return text;
}

std::string colour(const base::Vec4& c) {
  char text[128];
  std::snprintf(text, sizeof text, "(%g %g %g %g)", static_cast<double>(c.x), static_cast<double>(c.y),
                static_cast<double>(c.z), static_cast<double>(c.w));
  return text;
}

std::string hex(std::uint32_t value, int digits) {
  char text[16];
  std::snprintf(text, sizeof text, "0x%0*X", digits, value);
  return text;
}

std::string format_text(std::uint32_t fvf) {
  const std::optional<gfx::VertexLayout> layout = gfx::decode_vertex_format(fvf);
  if (!layout) return "invalid";
  std::string text;
  auto add = [&](const std::string& part) { text += (text.empty() ? "" : " ") + part; };
  if (layout->position_floats > 0) add(layout->position_floats == 4 ? "xyzw" : "xyz");
  if (layout->blend_weights > 0) add(std::to_string(layout->blend_weights) + " weights");
  if (layout->blend_indices) add("indices");
  if (layout->normal_offset >= 0) add("normal");
  if (layout->point_size_offset >= 0) add("psize");
  if (layout->diffuse_offset >= 0) add("diffuse");
  if (layout->specular_offset >= 0) add("specular");
  for (int set = 0; set < layout->texture_sets; ++set) add("tex" + std::to_string(set) + ":" + std::to_string(layout->texture_floats[set]));
  return text;
}

const char* cull_text(std::uint8_t cull) {
  switch (cull) {
    case 0: return "hidden";
    case 1: return "none";
    case 2: return "cw";
    case 3: return "ccw";
    default: return "unknown";
  }
}

bool is_identity(const base::Matrix& m) { return m == base::identity(); }

std::uint16_t flags_of(const model::MeshNode& node, const model::MeshNode& root) {
  std::uint16_t flags = 0;
  if (node.has_geometry) flags |= model::kNodeGeometry;
  if (node.has_subsets) flags |= model::kNodeSubsets;
  if (node.subset_boxes) flags |= model::kNodeSubsetBoxes;
  if (node.has_materials) flags |= model::kNodeMaterials;
  if (node.draw_order_stored) flags |= model::kNodeDrawOrder;
  if (node.skin) flags |= model::kNodeSkin;
  if (node.playback_block) flags |= model::kNodePlayback;
  if (node.tracks) flags |= model::kNodeTracks;
  if (node.animation) flags |= model::kNodeAnimation;
  for (const model::MorphGroup& group : root.morph_groups) {
    if (group.owner == node.handle()) flags |= model::kNodeMorph;
  }
  if (node.first_child) flags |= model::kNodeFirstChild;
  if (node.next_sibling) flags |= model::kNodeNextSibling;
  if (node.tag) flags |= model::kNodeTag;
  if (node.params) flags |= model::kNodeParams;
  return flags;
}

void dump_node(const model::MeshNode& node, const model::MeshNode& root, int depth, std::ostream& out) {
  const std::string pad(static_cast<std::size_t>(depth) * 2, ' ');
  const std::string in = pad + "  ";
  out << pad << "node \"" << node.name << "\" flags " << hex(flags_of(node, root), 4) << "\n";
  base::Matrix moved_back = node.local_matrix;
  moved_back.m[3][0] = moved_back.m[3][1] = moved_back.m[3][2] = 0.0f;
  if (is_identity(node.local_matrix)) {
    out << in << "matrix identity\n";
  } else if (is_identity(moved_back)) {
    out << in << "matrix translation " << vec(base::translation_of(node.local_matrix)) << "\n";
  } else {
    out << in << "matrix";
    for (int r = 0; r < 4; ++r) out << " [" << vec(base::row3(node.local_matrix, r)) << " " << number(node.local_matrix.m[r][3]) << "]";
    out << "\n";
  }
  out << in << "box " << vec(node.box.min) << ".." << vec(node.box.max) << " centre " << vec(node.center)
      << " radius " << number(node.radius) << "\n";
  if (node.has_geometry) {
    out << in << "vertices " << node.vertex_count << " x " << node.vertex_size << " bytes, format "
        << hex(node.fvf, 3) << " (" << format_text(node.fvf) << "), indices " << node.index_count << " ("
        << node.triangle_count() << " triangles)\n";
  }
  for (std::size_t i = 0; i < node.subsets.size(); ++i) {
    const model::Subset& s = node.subsets[i];
    out << in << "subset " << i << ": material " << s.material << ", triangles " << s.first_index / 3 << "+"
        << s.triangle_count << ", vertices " << s.first_vertex << "+" << s.vertex_count << "\n";
  }
  if (!node.subsets.empty()) {
    out << in << "draw order";
    for (std::uint32_t entry : node.draw_order) out << " " << entry;
    out << " (" << node.transparent_count << " transparent" << (node.draw_order_stored ? "" : ", computed") << ")\n";
  }
  for (std::size_t i = 0; i < node.materials.size(); ++i) {
    const model::Material& m = node.materials[i];
    out << in << "material " << i << ": diffuse " << colour(m.diffuse) << " ambient " << colour(m.ambient)
        << " specular " << colour(m.specular) << " emissive " << colour(m.emissive) << " power " << number(m.power)
        << ", cull " << cull_text(m.cull) << ", blend " << (m.blend != 0 ? "on " + std::to_string(m.src_blend) + "/" + std::to_string(m.dest_blend) : std::string("off"));
    if (m.texture_alpha != 0) out << ", texture alpha " << m.texture_alpha;
    out << ", texture " << (m.texture_name.empty() ? std::string("none") : "\"" + m.texture_name + "\"") << "\n";
  }
  if (node.skin) {
    const model::SkinData& skin = *node.skin;
    out << in << "skin: " << skin.bones.size() << " bones, " << skin.vertex_count << " vertices, format "
        << hex(skin.fvf, 3) << ", palette " << skin.palette_size << " (" << skin.palette_entries()
        << " used), " << skin.combinations.size() << " combinations, at most " << skin.max_face_influences
        << " per face, " << (skin.bound() ? "bound" : "unbound") << "\n";
    for (std::size_t i = 0; i < skin.bones.size(); ++i) {
      const model::Bone& bone = skin.bones[i];
      const model::MeshNode* target =
          i < skin.bone_nodes.size() ? node.node(skin.bone_nodes[i]) : nullptr;
      out << in << "  bone \"" << bone.name << "\" at " << vec(base::translation_of(bone.bind_matrix)) << ", "
          << bone.vertices.size() << " influences -> " << (target != nullptr ? "node \"" + target->name + "\"" : std::string("no node")) << "\n";
    }
  }
  if (node.playback_block) {
    const model::PlaybackParameters& p = *node.playback_block;
    out << in << "playback: loops " << p.loops << " ±" << int{p.loops_variation} << "%, pause " << p.pause << " ±"
        << int{p.pause_variation} << "%, rate " << number(p.rate) << " ±" << int{p.rate_variation}
        << "%, duration " << number(p.duration) << "\n";
  }
  if (node.tracks) {
    const model::KeyframeTracks& t = *node.tracks;
    out << in << "tracks: " << t.rotation.size() << " rotation, " << t.first.size() << " + " << t.second.size()
        << " vector, " << t.matrices.size() << " matrix keys; duration " << number(t.duration()) << "\n";
  }
  if (node.animation) {
    const model::AnimationData& a = *node.animation;
    out << in << "animation: " << a.sets.size() << " sets, " << a.max_outputs << " outputs, " << a.max_tracks
        << " tracks, " << a.max_events << " events, priority blend " << a.priority_blend << "\n";
    static const char* const kPlayback[] = {"loop", "once", "ping-pong"};
    for (const model::AnimationSet& set : a.sets) {
      int used = 0;
      for (const model::NodeAnimation& animated : set.animations) used += animated.node_name.empty() ? 0 : 1;
      out << in << "  set \"" << set.name << "\": " << set.ticks_per_second << " ticks/s, "
          << kPlayback[static_cast<int>(set.playback)] << ", " << used << " animated nodes ("
          << set.animations.size() << " slots)\n";
    }
  }
  for (const model::MorphGroup& group : root.morph_groups) {
    if (group.owner != node.handle()) continue;
    out << in << "morph \"" << group.name << "\": " << group.vertex_indices.size() << " vertices, "
        << group.point_sizes.size() << " points, " << group.frames.size() << " frames\n";
  }
  if (node.params) {
    float values[4];
    std::memcpy(values, node.params->data(), sizeof values);
    out << in << "params " << number(values[0]) << " " << number(values[1]) << " " << number(values[2]) << " "
        << number(values[3]) << " ...\n";
  }
  if (node.tag) out << in << "tag \"" << model::tag_text(node.tag->code) << "\", " << node.tag->data.size() << " bytes\n";
}

bool dump_store(render::PackageReader& package, std::ostream& out, std::ostream& err);

bool dump_info(std::span<const std::uint8_t> info, std::ostream& out) {
  base::ByteReader in(info);
  const std::uint16_t meshes = in.u16();
  out << "Model.info: " << meshes << " meshes\n";
  for (std::uint16_t i = 0; i < meshes && in.ok(); ++i) {
    const std::uint8_t length = in.u8();
    out << "  mesh " << i << " \"" << in.text(length) << "\"\n";
  }
  const std::uint16_t objects = in.u16();
  if (in.ok()) out << "  " << objects << " objects\n";
  for (std::uint16_t i = 0; i < objects && in.ok(); ++i) {
    in.u8();
    const std::uint8_t kind = in.u8();
    const std::uint16_t mesh = in.u16();
    float m[16];
    for (float& value : m) value = in.f32();
    if (!in.ok()) break;
    out << "  object " << i << ": kind " << int{kind} << ", mesh " << mesh << ", at " << vec({m[12], m[13], m[14]})
        << "\n";
  }
  if (!in.ok()) out << "  (the info ends early)\n";
  return in.ok();
}

}  // namespace

bool dump_mesh_tree(std::span<const std::uint8_t> bytes, std::ostream& out) {
  std::string error;
  std::unique_ptr<model::MeshNode> root = model::read_mesh_tree(bytes, nullptr, &error);
  if (!root) {
    out << "not a mesh tree: " << error << "\n";
    return false;
  }
  out << "mesh tree: " << root->node_count() << (root->node_count() == 1 ? " node" : " nodes") << "\n";
  struct Step {
    const model::MeshNode* node;
    int depth;
  };
  std::vector<Step> stack{{root.get(), 0}};
  while (!stack.empty()) {
    const Step step = stack.back();
    stack.pop_back();
    dump_node(*step.node, *root, step.depth, out);
    if (step.node->next_sibling) stack.push_back({step.node->next_sibling.get(), step.depth});
    if (step.node->first_child) stack.push_back({step.node->first_child.get(), step.depth + 1});
  }
  return true;
}

namespace {

bool dump_opened(render::PackageReader& package, std::ostream& out, std::ostream& err) {
  if (package.find("m8") != 0) {
    const render::Block* tree = package.read("m8");
    if (tree == nullptr) {
      err << "vmftool: the m8 entry is damaged\n";
      return false;
    }
    return dump_mesh_tree(tree->bytes(), out);
  }
  if (package.find("Model.info") != 0) {
    const render::Block* info = package.read("Model.info");
    bool ok = info != nullptr && dump_info(info->bytes(), out);
    if (package.find("Model.vmf") != 0) ok = dump_store(package, out, err) && ok;
    return ok;
  }
  err << "vmftool: the package holds no mesh (no m8 or Model.info entry)\n";
  return false;
}

bool dump_store(render::PackageReader& package, std::ostream& out, std::ostream& err) {
  if (package.read("Model.vmf") == nullptr) {
    err << "vmftool: the mesh store is damaged\n";
    return false;
  }
  render::PackageReader store;
  if (!store.open_memory(std::move(*package.detach_current()))) {
    err << "vmftool: the mesh store is no package\n";
    return false;
  }
  bool ok = true;
  for (std::uint32_t i = 1; i <= store.count(); ++i) {
    const std::string name = store.entry(i)->name;
    out << "\n== " << name << "\n";
    const render::Block* block = store.read(i);
    render::PackageReader mesh;
    if (block == nullptr || !mesh.open_memory(std::move(*store.detach_current()))) {
      err << "vmftool: " << name << " is no package\n";
      ok = false;
      continue;
    }
    ok = dump_opened(mesh, out, err) && ok;
  }
  return ok;
}

}  // namespace

bool dump_package(std::span<const std::uint8_t> bytes, const std::string& entry, std::ostream& out,
                  std::ostream& err) {
  render::PackageReader package;
  if (!package.open_memory(bytes)) return dump_mesh_tree(bytes, out);
  if (entry.empty()) return dump_opened(package, out, err);

  std::optional<render::Block> block;
  if (package.read(entry) != nullptr) {
    block = package.detach_current();
  } else if (package.read("Model.vmf") != nullptr) {
    render::PackageReader store;
    if (store.open_memory(std::move(*package.detach_current()))) {
      if (store.read(entry) != nullptr || store.read(entry + ".vmf") != nullptr) block = store.detach_current();
    }
  }
  if (!block) {
    err << "vmftool: no entry \"" << entry << "\"\n";
    return false;
  }
  render::PackageReader nested;
  if (nested.open_memory(block->bytes())) return dump_opened(nested, out, err);
  if (entry == "Model.info" || entry.ends_with(".info")) return dump_info(block->bytes(), out);
  return dump_mesh_tree(block->bytes(), out);
}

}  // namespace vmftool
