#include "forge/scenery/soft_render.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>

#include "model/mesh_texture.h"
#include "platform/vertex_format.h"

namespace forge::scenery {
namespace {

struct Vertex {
  base::Vec3 world;
  base::Vec3 normal;
  base::Vec2 uv;
  base::Vec4 clip;
};

struct Target {
  Picture colour;
  std::vector<float> depth;
};

base::Vec3 rgb3(const base::Vec4& v) { return {v.x, v.y, v.z}; }

base::Vec3 mul(const base::Vec3& a, const base::Vec3& b) { return {a.x * b.x, a.y * b.y, a.z * b.z}; }

// Samples an 8-bit RGBA texture, bilinear and repeating.
base::Vec4 sample_texture(const model::MeshTexture& texture, float u, float v) {
  const std::uint32_t w = texture.width();
  const std::uint32_t h = texture.height();
  const std::vector<std::uint8_t>& rgba = texture.rgba();
  if (w == 0 || h == 0 || rgba.size() < static_cast<std::size_t>(w) * h * 4) return {1, 1, 1, 1};
  const float x = u * static_cast<float>(w) - 0.5f;
  const float y = v * static_cast<float>(h) - 0.5f;
  const float fx = x - std::floor(x);
  const float fy = y - std::floor(y);
  const auto wrap = [](float f, std::uint32_t n) {
    std::int64_t i = static_cast<std::int64_t>(std::floor(f)) % static_cast<std::int64_t>(n);
    return static_cast<std::uint32_t>(i < 0 ? i + static_cast<std::int64_t>(n) : i);
  };
  const std::uint32_t x0 = wrap(x, w);
  const std::uint32_t y0 = wrap(y, h);
  const std::uint32_t x1 = (x0 + 1) % w;
  const std::uint32_t y1 = (y0 + 1) % h;
  const auto texel = [&](std::uint32_t px, std::uint32_t py) {
    const std::uint8_t* p = rgba.data() + (static_cast<std::size_t>(py) * w + px) * 4;
    return base::Vec4{p[0] / 255.0f, p[1] / 255.0f, p[2] / 255.0f, p[3] / 255.0f};
  };
  return base::lerp(base::lerp(texel(x0, y0), texel(x1, y0), fx),
                    base::lerp(texel(x0, y1), texel(x1, y1), fx), fy);
}

float caustic_at(const SceneView& view, const base::Vec3& world) {
  if (view.caustics == nullptr || view.caustics->frames.empty() || view.caustics->size == 0) return 0.5f;
  const std::uint32_t n = view.caustics->size;
  const std::vector<std::uint8_t>& frame = view.caustics->frames.front();
  const float u = world.x / 128.0f * view.caustic_scale.x;
  const float v = world.z / 128.0f * view.caustic_scale.y;
  const auto wrap = [n](float f) {
    std::int64_t i =
        static_cast<std::int64_t>(std::floor(f * static_cast<float>(n))) % static_cast<std::int64_t>(n);
    return static_cast<std::uint32_t>(i < 0 ? i + static_cast<std::int64_t>(n) : i);
  };
  return frame[static_cast<std::size_t>(wrap(v)) * n + wrap(u)] / 255.0f;
}

class Rasterizer {
 public:
  Rasterizer(const SceneView& view, Target& target) : view_(view), target_(target) {
    const base::Matrix rotation = base::rotation_yaw_pitch_roll(view.angles.y, view.angles.x, view.angles.z);
    base::Matrix frame = rotation;
    frame.m[3][0] = view.eye.x;
    frame.m[3][1] = view.eye.y;
    frame.m[3][2] = view.eye.z;
    const base::Matrix camera = base::inverse(frame).value_or(base::identity());
    const float aspect = static_cast<float>(view.width) / static_cast<float>(view.height);
    view_projection_ = camera * base::perspective_fov_lh(view.fov_y, aspect, view.near_plane, view.far_plane);
    toward_light_ = base::normalize(-view.light_travel);
  }

  void draw(const DrawItem& item, bool blended_pass) {
    const model::MeshNode& node = *item.node;
    const std::optional<gfx::VertexLayout> layout = gfx::decode_vertex_format(node.fvf);
    if (!layout || !node.has_geometry) return;
    const std::vector<std::uint8_t>& bytes = node.vertices.bytes();
    std::vector<Vertex> vertices(node.vertex_count);
    for (std::uint32_t v = 0; v < node.vertex_count; ++v) {
      const std::uint8_t* p = bytes.data() + static_cast<std::size_t>(v) * node.vertex_size;
      base::Vec3 position;
      base::Vec3 normal{0, 1, 0};
      base::Vec2 uv;
      std::memcpy(&position, p, 12);
      if (layout->normal_offset >= 0) std::memcpy(&normal, p + layout->normal_offset, 12);
      if (layout->texture_sets > 0) std::memcpy(&uv, p + layout->texture_offset[0], 8);
      Vertex& out = vertices[v];
      out.world = base::transform_coord(position, item.world);
      out.normal = base::normalize(base::transform_normal(normal, item.world));
      out.uv = uv;
      out.clip = base::transform(out.world, view_projection_);
    }
    for (const model::Subset& subset : node.subsets) {
      if (subset.material >= node.materials.size()) continue;
      const model::Material& material = node.materials[subset.material];
      if (!material.drawn() || material.transparent() != blended_pass) continue;
      for (std::uint32_t t = 0; t < subset.triangle_count; ++t) {
        const std::size_t first = subset.first_index + static_cast<std::size_t>(t) * 3;
        triangle(item, material, vertices[node.vertex_index(first)], vertices[node.vertex_index(first + 1)],
                 vertices[node.vertex_index(first + 2)]);
      }
    }
  }

 private:
  void triangle(const DrawItem& item, const model::Material& material, const Vertex& a, const Vertex& b,
                const Vertex& c) {
    if (a.clip.w < view_.near_plane || b.clip.w < view_.near_plane || c.clip.w < view_.near_plane) return;
    const float w = static_cast<float>(view_.width);
    const float h = static_cast<float>(view_.height);
    const auto screen = [&](const Vertex& v) {
      return base::Vec3{(v.clip.x / v.clip.w * 0.5f + 0.5f) * w, (0.5f - v.clip.y / v.clip.w * 0.5f) * h,
                        v.clip.z / v.clip.w};
    };
    const base::Vec3 sa = screen(a);
    const base::Vec3 sb = screen(b);
    const base::Vec3 sc = screen(c);
    const float area = (sb.x - sa.x) * (sc.y - sa.y) - (sb.y - sa.y) * (sc.x - sa.x);
    if (std::abs(area) < 1e-9f) return;
    // Clockwise on screen (y down) faces the viewer.
    const bool front = area > 0.0f;
    if ((material.cull == 3 && !front) || (material.cull == 2 && front)) return;
    const int x0 = std::max(0, static_cast<int>(std::floor(std::min({sa.x, sb.x, sc.x}))));
    const int x1 = std::min(static_cast<int>(view_.width) - 1,
                            static_cast<int>(std::ceil(std::max({sa.x, sb.x, sc.x}))));
    const int y0 = std::max(0, static_cast<int>(std::floor(std::min({sa.y, sb.y, sc.y}))));
    const int y1 = std::min(static_cast<int>(view_.height) - 1,
                            static_cast<int>(std::ceil(std::max({sa.y, sb.y, sc.y}))));
    const float ia = 1.0f / a.clip.w;
    const float ib = 1.0f / b.clip.w;
    const float ic = 1.0f / c.clip.w;
    for (int y = y0; y <= y1; ++y) {
      for (int x = x0; x <= x1; ++x) {
        const float px = static_cast<float>(x) + 0.5f;
        const float py = static_cast<float>(y) + 0.5f;
        float l0 = ((sb.x - px) * (sc.y - py) - (sb.y - py) * (sc.x - px)) / area;
        float l1 = ((sc.x - px) * (sa.y - py) - (sc.y - py) * (sa.x - px)) / area;
        float l2 = 1.0f - l0 - l1;
        if (l0 < 0.0f || l1 < 0.0f || l2 < 0.0f) continue;
        const float depth = l0 * sa.z + l1 * sb.z + l2 * sc.z;
        const std::size_t index = static_cast<std::size_t>(y) * view_.width + static_cast<std::size_t>(x);
        if (depth < 0.0f || depth > 1.0f || depth >= target_.depth[index]) continue;
        // Perspective-correct weights.
        const float q0 = l0 * ia;
        const float q1 = l1 * ib;
        const float q2 = l2 * ic;
        const float sum = q0 + q1 + q2;
        const auto lerp3 = [&](const base::Vec3& va, const base::Vec3& vb, const base::Vec3& vc) {
          return (va * q0 + vb * q1 + vc * q2) * (1.0f / sum);
        };
        const base::Vec3 world = lerp3(a.world, b.world, c.world);
        const base::Vec3 normal = base::normalize(lerp3(a.normal, b.normal, c.normal));
        const base::Vec2 uv = (a.uv * q0 + b.uv * q1 + c.uv * q2) * (1.0f / sum);
        base::Vec4 texel{1, 1, 1, 1};
        if (material.texture) texel = sample_texture(*material.texture, uv.x, uv.y);
        if (material.transparent() && texel.w < 0.02f) continue;
        const float diffuse = std::max(base::dot(normal, toward_light_), 0.0f);
        const float light_scale = view_.ambient + diffuse * (0.55f + 0.9f * caustic_at(view_, world));
        base::Vec3 colour = mul(rgb3(texel), view_.light_colour * light_scale);
        if (item.tentacle) {
          const float tip = std::clamp(uv.y, 0.0f, 1.0f);
          colour = mul(colour, item.base_colour) + item.glow_colour * (tip * texel.w);
        }
        const float distance = base::length(world - view_.eye);
        const float fog =
            std::clamp((distance - view_.fog_start) / std::max(view_.fog_end - view_.fog_start, 1e-3f), 0.0f,
                       1.0f) *
            view_.fog_amount;
        colour = base::lerp(colour, view_.fog_colour, fog);
        base::Vec4& pixel = target_.colour.at(static_cast<std::uint32_t>(x), static_cast<std::uint32_t>(y));
        const float alpha = material.transparent() ? texel.w : 1.0f;
        const base::Vec3 blended = base::lerp(rgb3(pixel), colour, alpha);
        pixel = {std::min(blended.x, 1.0f), std::min(blended.y, 1.0f), std::min(blended.z, 1.0f), 1.0f};
        if (alpha >= 0.5f) target_.depth[index] = depth;
      }
    }
  }

  const SceneView& view_;
  Target& target_;
  base::Matrix view_projection_;
  base::Vec3 toward_light_;
};

}  // namespace

Picture render_scene(const SceneView& view, const std::vector<DrawItem>& items) {
  Target target;
  target.colour = Picture(view.width, view.height);
  target.depth.assign(static_cast<std::size_t>(view.width) * view.height, std::numeric_limits<float>::max());
  for (std::uint32_t y = 0; y < view.height; ++y) {
    const float t = (static_cast<float>(y) + 0.5f) / static_cast<float>(view.height);
    const base::Vec3 c = base::lerp(view.gradient_top, view.gradient_bottom, t);
    for (std::uint32_t x = 0; x < view.width; ++x) target.colour.at(x, y) = {c.x, c.y, c.z, 1.0f};
  }
  Rasterizer rasterizer(view, target);
  for (const DrawItem& item : items) {
    if (item.node != nullptr) rasterizer.draw(item, false);
  }
  std::vector<const DrawItem*> blended;
  for (const DrawItem& item : items) {
    if (item.node != nullptr) blended.push_back(&item);
  }
  const auto distance = [&](const DrawItem* item) {
    const base::Vec3 centre = base::transform_coord(item->node->center, item->world);
    return base::length_sq(centre - view.eye);
  };
  std::stable_sort(blended.begin(), blended.end(),
                   [&](const DrawItem* a, const DrawItem* b) { return distance(a) > distance(b); });
  for (const DrawItem* item : blended) rasterizer.draw(*item, true);
  return target.colour;
}

Picture half_size(const Picture& picture) {
  Picture half(picture.width / 2, picture.height / 2);
  for (std::uint32_t y = 0; y < half.height; ++y) {
    for (std::uint32_t x = 0; x < half.width; ++x) {
      half.at(x, y) = (picture.at(2 * x, 2 * y) + picture.at(2 * x + 1, 2 * y) +
                       picture.at(2 * x, 2 * y + 1) + picture.at(2 * x + 1, 2 * y + 1)) *
                      0.25f;
    }
  }
  return half;
}

}  // namespace forge::scenery
