#pragma once

#include <array>
#include <cstdint>

#include "base/matrix.h"
#include "base/rect.h"
#include "base/vector.h"
#include "platform/gfx_device.h"
#include "scene/group_box.h"
#include "scene/sea_set_record.h"

namespace scene {

// The one perspective camera of the aquarium. Its projection and home pose
// come with the tank; it glides between the home view and a closer view
// centred on the layout, and its viewport glides to a new 3D-view
// rectangle. It also answers the geometric questions of the rest of the
// scene: rays through screen points, view cross-sections, box visibility.
class Camera {
 public:
  struct Ray {
    base::Vec3 origin;
    base::Vec3 direction;  // not normalised: its component along the view direction is 1
  };

  // Outcode bits of a point in view space.
  enum Outcode : std::uint32_t {
    kNearer = 1u << 0,
    kBeyond = 1u << 1,
    kLeftOf = 1u << 4,
    kRightOf = 1u << 5,
    kBelow = 1u << 6,
    kAbove = 1u << 7,
  };

  // The new camera is the process-wide one until it is destroyed.
  Camera();
  ~Camera();
  Camera(const Camera&) = delete;
  Camera& operator=(const Camera&) = delete;
  static Camera* current();

  // Takes the tank's swim box, projection and home pose, and places the
  // camera at home.
  void apply_tank(const AlignedBox& swim_box, const SeaSetRecord& record);
  // Computes the closer preset around (x, y) and places the camera.
  void set_layout_centre(float x, float y);
  // Sets the zoom direction (1 = the closer preset, else home) and jumps
  // there: at start.
  void set_zoom(int direction);
  // Sets the zoom direction and lets update() glide there over one second:
  // the zoom command.
  void glide_zoom(int direction);
  int zoom_direction() const { return zoom_direction_; }
  void update(float dt);
  // A new 3D-view rectangle: set at once, or glided to at 64 pixels a second
  // per edge.
  void resize(const base::Rect& rect, bool animate);

  // The ray through a point relative to the viewport origin.
  Ray screen_ray(float x, float y) const;
  // The view rectangle at a distance in front of the eye: left-top,
  // right-top, left-bottom, right-bottom.
  std::array<base::Vec3, 4> cross_section(float distance) const;
  // Whether a box, given by its eight corners and its world matrix, may be
  // seen: false only when all corners lie outside one side of the frustum.
  bool box_visible(const base::Matrix& matrix, const std::array<base::Vec3, 8>& corners) const;
  // The outcode of a point in view space.
  std::uint32_t outcode(const base::Vec3& view_point) const;
  // The y of the home view's top edge at depth z, for the pose taken when
  // the tank was applied.
  float view_top_at(float z) const;

  const base::Matrix& view() const { return view_; }
  const base::Matrix& view_inverse() const { return view_inverse_; }
  const base::Matrix& projection() const { return projection_; }
  base::Matrix view_projection() const { return view_ * projection_; }
  const base::Vec3& eye() const { return eye_; }
  base::Vec3 forward() const { return base::row3(view_inverse_, 2); }
  gfx::Viewport viewport() const { return viewport_; }
  float aspect() const { return aspect_; }
  bool viewport_animating() const { return animating_; }

  bool changed() const { return changed_; }
  void clear_changed() { changed_ = false; }
  float zoom_blend() const { return zoom_blend_; }
  const AlignedBox& swim_box() const { return swim_box_; }
  const base::Vec3& home_position() const { return home_position_; }
  const base::Vec3& zoomed_position() const { return zoomed_position_; }

 private:
  struct EdgeRect {
    float left = 0.0f;
    float top = 0.0f;
    float right = 0.0f;
    float bottom = 0.0f;
  };

  void set_projection();
  void place(const base::Vec3& position, const base::Vec3& angles);
  void place_at_zoom();
  void show_viewport(const EdgeRect& rect);
  // Half-height of the view at a distance.
  float half_height(float distance) const;

  float fov_y_;
  float aspect_ = 1.0f;
  float z_near_ = 1.0f;
  float z_far_ = 1000.0f;
  base::Matrix projection_;

  base::Vec3 eye_{};
  base::Matrix view_ = base::identity();
  base::Matrix view_inverse_ = base::identity();
  // Side-plane normals in view space, each pointing out of the frustum.
  base::Vec3 left_plane_{};
  base::Vec3 right_plane_{};
  base::Vec3 top_plane_{};
  base::Vec3 bottom_plane_{};

  gfx::Viewport viewport_{};
  EdgeRect current_rect_{};
  EdgeRect target_rect_{};
  bool animating_ = false;

  AlignedBox swim_box_{};
  base::Vec3 home_position_{};
  base::Vec3 home_angles_{};
  base::Vec3 zoomed_position_{};
  int zoom_direction_ = -1;
  float zoom_blend_ = 0.0f;

  // The home pose when the tank was applied: eye y, eye z and cot(fovY / 2).
  float top_eye_y_ = 0.0f;
  float top_eye_z_ = 0.0f;
  float top_cot_ = 1.0f;

  bool changed_ = true;
};

}  // namespace scene
