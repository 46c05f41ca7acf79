#include "scene/camera.h"

#include <algorithm>
#include <cmath>
#include <numbers>

namespace scene {
namespace {

Camera* g_current = nullptr;

constexpr float kViewportGlideSpeed = 64.0f;  // pixels per second per edge

float move_towards(float current, float target, float step) {
  if (std::fabs(target - current) <= step) return target;
  return current < target ? current + step : current - step;
}

}  // namespace

Camera::Camera() : fov_y_(std::numbers::pi_v<float> / 4.0f) {
  set_projection();
  place(home_position_, home_angles_);
  g_current = this;
}

Camera::~Camera() {
  if (g_current == this) g_current = nullptr;
}

Camera* Camera::current() { return g_current; }

void Camera::apply_tank(const AlignedBox& swim_box, const SeaSetRecord& record) {
  swim_box_ = swim_box;
  fov_y_ = record.field_of_view();
  z_near_ = record.near_plane();
  z_far_ = record.far_plane();
  home_position_ = record.home_position();
  home_angles_ = record.home_angles();
  // Until the layout centre arrives the closer preset is the home position.
  zoomed_position_ = home_position_;
  set_projection();
  place(home_position_, home_angles_);
  top_eye_y_ = eye_.y;
  top_eye_z_ = eye_.z;
  top_cot_ = 1.0f / std::tan(fov_y_ * 0.5f);
}

float Camera::half_height(float distance) const { return distance * std::tan(fov_y_ * 0.5f); }

void Camera::set_layout_centre(float x, float y) {
  const base::Vec3& home = home_position_;
  const float min_z = swim_box_.min.z;
  const float max_z = swim_box_.max.z;
  base::Vec3 zoomed;
  zoomed.z = min_z + (home.z - min_z) * 0.75f;
  // How far the narrower view may slide before it shows more than the home
  // view does at the back of the swim box.
  const float f = std::max(half_height(max_z - home.z) - half_height(max_z - zoomed.z), 0.0f);
  const float e = f * aspect_;
  zoomed.x = home.x + std::clamp(x - home.x, -e, e);
  zoomed.y = home.y + std::clamp(y - home.y, -f, f);
  zoomed_position_ = zoomed;
  place_at_zoom();
}

void Camera::set_zoom(int direction) {
  zoom_direction_ = direction == 1 ? 1 : -1;
  zoom_blend_ = zoom_direction_ == 1 ? 1.0f : 0.0f;
  place_at_zoom();
}

void Camera::glide_zoom(int direction) { zoom_direction_ = direction == 1 ? 1 : -1; }

void Camera::update(float dt) {
  if (animating_) {
    current_rect_.left = move_towards(current_rect_.left, target_rect_.left, kViewportGlideSpeed * dt);
    current_rect_.top = move_towards(current_rect_.top, target_rect_.top, kViewportGlideSpeed * dt);
    current_rect_.right = move_towards(current_rect_.right, target_rect_.right, kViewportGlideSpeed * dt);
    current_rect_.bottom = move_towards(current_rect_.bottom, target_rect_.bottom, kViewportGlideSpeed * dt);
    show_viewport(current_rect_);
    animating_ = current_rect_.left != target_rect_.left || current_rect_.top != target_rect_.top ||
                 current_rect_.right != target_rect_.right || current_rect_.bottom != target_rect_.bottom;
  }

  const float target = zoom_direction_ == 1 ? 1.0f : 0.0f;
  if (zoom_blend_ != target) {
    zoom_blend_ = std::clamp(target > zoom_blend_ ? zoom_blend_ + dt : zoom_blend_ - dt, 0.0f, 1.0f);
    place_at_zoom();
  }
}

void Camera::resize(const base::Rect& rect, bool animate) {
  target_rect_ = {static_cast<float>(rect.left), static_cast<float>(rect.top), static_cast<float>(rect.right),
                  static_cast<float>(rect.bottom)};
  if (animate) {
    animating_ = current_rect_.left != target_rect_.left || current_rect_.top != target_rect_.top ||
                 current_rect_.right != target_rect_.right || current_rect_.bottom != target_rect_.bottom;
    return;
  }
  animating_ = false;
  current_rect_ = target_rect_;
  show_viewport(current_rect_);
}

void Camera::show_viewport(const EdgeRect& rect) {
  const long left = std::lround(rect.left);
  const long top = std::lround(rect.top);
  viewport_.x = static_cast<int>(left);
  viewport_.y = static_cast<int>(top);
  viewport_.width = static_cast<int>(std::max(std::lround(rect.right) - left, 0L));
  viewport_.height = static_cast<int>(std::max(std::lround(rect.bottom) - top, 0L));
  viewport_.min_z = 0.0f;
  viewport_.max_z = 1.0f;
  // An empty view (a window minimised to nothing) keeps the last shape
  // instead of dividing by zero.
  if (viewport_.width > 0 && viewport_.height > 0) {
    aspect_ = static_cast<float>(viewport_.width) / static_cast<float>(viewport_.height);
  }
  set_projection();
}

void Camera::set_projection() {
  projection_ = base::perspective_fov_lh(fov_y_, aspect_, z_near_, z_far_);
  const float t = std::tan(fov_y_ * 0.5f) * aspect_ * z_near_;
  const float s = t / aspect_;
  const base::Vec3 a = base::normalize(base::Vec3{-t, -s, z_near_});
  const base::Vec3 b = base::normalize(base::Vec3{-t, s, z_near_});
  const base::Vec3 c = base::normalize(base::Vec3{t, -s, z_near_});
  const base::Vec3 d = base::normalize(base::Vec3{t, s, z_near_});
  left_plane_ = base::normalize(base::cross(a, b));
  right_plane_ = base::normalize(base::cross(d, c));
  top_plane_ = base::normalize(base::cross(b, d));
  bottom_plane_ = base::normalize(base::cross(c, a));
  changed_ = true;
}

void Camera::place(const base::Vec3& position, const base::Vec3& angles) {
  const base::Matrix rotation = base::rotation_yaw_pitch_roll(angles.y, angles.x, angles.z);
  // The eye sits on the pivot: this camera keeps no distance behind it.
  eye_ = position;
  view_inverse_ = rotation;
  view_inverse_.m[3][0] = eye_.x;
  view_inverse_.m[3][1] = eye_.y;
  view_inverse_.m[3][2] = eye_.z;
  // The frame is a rotation plus a translation, so its inverse is the
  // transposed rotation with the eye moved back through it.
  view_ = base::identity();
  for (int row = 0; row < 3; ++row) {
    for (int column = 0; column < 3; ++column) view_.m[row][column] = rotation.m[column][row];
  }
  for (int column = 0; column < 3; ++column)
    view_.m[3][column] = -base::dot(eye_, base::row3(rotation, column));
  changed_ = true;
}

void Camera::place_at_zoom() {
  place(base::lerp(home_position_, zoomed_position_, zoom_blend_), home_angles_);
}

Camera::Ray Camera::screen_ray(float x, float y) const {
  // A viewport without width or height has no points off its centre line.
  const float u = viewport_.width > 0
                      ? (2.0f * x / static_cast<float>(viewport_.width) - 1.0f) / projection_.m[0][0]
                      : 0.0f;
  const float v = viewport_.height > 0
                      ? -(2.0f * y / static_cast<float>(viewport_.height) - 1.0f) / projection_.m[1][1]
                      : 0.0f;
  const base::Matrix& m = view_inverse_;
  return {base::translation_of(m), base::row3(m, 0) * u + base::row3(m, 1) * v + base::row3(m, 2)};
}

std::array<base::Vec3, 4> Camera::cross_section(float distance) const {
  const float m = half_height(distance);
  const float r = m * aspect_;
  const base::Vec3 centre = eye_ + forward() * distance;
  const base::Vec3 right = base::row3(view_inverse_, 0) * r;
  const base::Vec3 up = base::row3(view_inverse_, 1) * m;
  return {centre - right + up, centre + right + up, centre - right - up, centre + right - up};
}

std::uint32_t Camera::outcode(const base::Vec3& p) const {
  std::uint32_t code = 0;
  if (p.z < z_near_) code |= kNearer;
  if (p.z > z_far_) code |= kBeyond;
  if (base::dot(p, left_plane_) > 0.0f) code |= kLeftOf;
  if (base::dot(p, right_plane_) > 0.0f) code |= kRightOf;
  if (base::dot(p, bottom_plane_) > 0.0f) code |= kBelow;
  if (base::dot(p, top_plane_) > 0.0f) code |= kAbove;
  return code;
}

bool Camera::box_visible(const base::Matrix& matrix, const std::array<base::Vec3, 8>& corners) const {
  const base::Matrix to_view = matrix * view_;
  std::uint32_t common = ~0u;
  for (const base::Vec3& corner : corners) {
    const std::uint32_t code = outcode(base::transform_coord(corner, to_view));
    if (code == 0) return true;
    common &= code;
  }
  return common == 0;
}

float Camera::view_top_at(float z) const { return top_eye_y_ + (z - top_eye_z_) / top_cot_; }

}  // namespace scene
