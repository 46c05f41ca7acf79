#include "platform/gfx_device.h"

namespace gfx {

std::uint32_t primitive_vertex_count(PrimitiveType type, std::uint32_t primitive_count) {
  if (primitive_count == 0) return 0;
  switch (type) {
    case PrimitiveType::PointList:
      return primitive_count;
    case PrimitiveType::LineList:
      return primitive_count * 2;
    case PrimitiveType::LineStrip:
      return primitive_count + 1;
    case PrimitiveType::TriangleList:
      return primitive_count * 3;
    case PrimitiveType::TriangleStrip:
    case PrimitiveType::TriangleFan:
      return primitive_count + 2;
  }
  return 0;
}

std::uint32_t default_render_state(RenderState state) {
  switch (state) {
    case RenderState::ZEnable:
    case RenderState::ZWriteEnable:
      return 1;
    case RenderState::FillMode:
      return kFillSolid;
    case RenderState::AlphaTestEnable:
    case RenderState::AlphaRef:
    case RenderState::AlphaBlendEnable:
      return 0;
    case RenderState::SrcBlend:
      return kBlendOne;
    case RenderState::DestBlend:
      return kBlendZero;
    case RenderState::CullMode:
      return kCullCounterClockwise;
    case RenderState::AlphaFunc:
      return kCompareAlways;
  }
  return 0;
}

}  // namespace gfx
