#include "render/effect_file.h"

#include <algorithm>

#include "base/byte_reader.h"
#include "base/byte_writer.h"
#include "platform/ascii.h"

namespace render {
namespace {

constexpr std::uint32_t kMagic = 0x58465450;  // "PTFX"
constexpr std::uint16_t kVersion = 1;
constexpr int kStages = 8;

bool valid_name(const std::string& name) {
  if (name.empty() || name.size() > kMaxEffectName) return false;
  return std::all_of(name.begin(), name.end(), [](char c) { return c > 0x20 && c < 0x7F; });
}

bool valid_source(const std::string& source) {
  return !source.empty() && source.size() <= kMaxEffectSource && source.find('\0') == std::string::npos;
}

bool valid_type(std::uint8_t type) { return type >= 1 && type <= 5; }

template <class T>
bool unique_names(const std::vector<T>& items) {
  for (std::size_t i = 0; i < items.size(); ++i) {
    for (std::size_t j = i + 1; j < items.size(); ++j) {
      if (platform::equals_ignore_ascii_case(items[i].name, items[j].name)) return false;
    }
  }
  return true;
}

bool valid_param(const EffectParam& param) {
  if (!valid_name(param.name) || !valid_type(static_cast<std::uint8_t>(param.type))) return false;
  if (param.elements < 1 || param.elements > kMaxEffectElements) return false;
  if (param.type == EffectParamType::Texture) {
    if (param.elements != 1 || param.stage >= kStages) return false;
  } else if (param.stage != 0) {
    return false;
  }
  return param.defaults.size() == param.elements * effect_param_components(param.type);
}

bool valid_pass(const EffectPass& pass) {
  return valid_name(pass.name) && pass.states.size() <= kMaxEffectStates &&
         valid_source(pass.vertex_source) && valid_source(pass.fragment_source);
}

class Parser {
 public:
  Parser(std::span<const std::uint8_t> bytes, std::string* error) : in_(bytes), error_(error) {}

  std::optional<EffectFile> run() {
    if (in_.u32() != kMagic) return fail("not an effect file");
    if (in_.u16() != kVersion || in_.u16() != 0) return fail("unknown version");
    EffectFile effect;
    const std::uint16_t parameters = in_.u16();
    if (parameters > kMaxEffectParameters) return fail("too many parameters");
    for (std::uint16_t i = 0; i < parameters && in_.ok(); ++i) {
      std::optional<EffectParam> param = read_param();
      if (!param) return std::nullopt;
      effect.parameters.push_back(std::move(*param));
    }
    const std::uint16_t techniques = in_.u16();
    if (techniques < 1 || techniques > kMaxEffectTechniques) return fail("bad technique count");
    for (std::uint16_t i = 0; i < techniques && in_.ok(); ++i) {
      std::optional<EffectTechnique> technique = read_technique();
      if (!technique) return std::nullopt;
      effect.techniques.push_back(std::move(*technique));
    }
    if (!in_.ok()) return fail("truncated");
    if (in_.remaining() != 0) return fail("bytes after the last technique");
    if (!unique_names(effect.parameters) || !unique_names(effect.techniques)) return fail("duplicate name");
    return effect;
  }

 private:
  std::nullopt_t fail(const char* reason) {
    if (error_ != nullptr) *error_ = reason;
    return std::nullopt;
  }

  std::optional<std::string> read_name() {
    const std::uint8_t length = in_.u8();
    if (!in_.ok() || length == 0 || length > kMaxEffectName || !in_.fits(length, 1)) return std::nullopt;
    std::span<const std::uint8_t> bytes = in_.bytes(length);
    std::string name(bytes.begin(), bytes.end());
    if (!valid_name(name)) return std::nullopt;
    return name;
  }

  std::optional<std::string> read_source() {
    const std::uint32_t length = in_.u32();
    if (!in_.ok() || length == 0 || length > kMaxEffectSource || !in_.fits(length, 1)) return std::nullopt;
    std::span<const std::uint8_t> bytes = in_.bytes(length);
    std::string source(bytes.begin(), bytes.end());
    if (!valid_source(source)) return std::nullopt;
    return source;
  }

  std::optional<EffectParam> read_param() {
    EffectParam param;
    std::optional<std::string> name = read_name();
    if (!name) return fail("bad parameter name");
    param.name = std::move(*name);
    const std::uint8_t type = in_.u8();
    const std::uint8_t flags = in_.u8();
    param.elements = in_.u16();
    param.stage = in_.u8();
    if (!in_.ok()) return fail("truncated");
    if (!valid_type(type) || (flags & ~kEffectParamShared) != 0) return fail("bad parameter type");
    param.type = static_cast<EffectParamType>(type);
    param.shared = (flags & kEffectParamShared) != 0;
    const std::size_t count = param.elements * effect_param_components(param.type);
    if (param.elements < 1 || param.elements > kMaxEffectElements || !in_.fits(count, 4)) {
      return fail("bad parameter size");
    }
    param.defaults.resize(count);
    for (float& value : param.defaults) {
      value = param.type == EffectParamType::Int ? static_cast<float>(in_.i32()) : in_.f32();
    }
    if (!valid_param(param)) return fail("bad parameter");
    return param;
  }

  std::optional<EffectTechnique> read_technique() {
    EffectTechnique technique;
    std::optional<std::string> name = read_name();
    if (!name) return fail("bad technique name");
    technique.name = std::move(*name);
    const std::uint8_t passes = in_.u8();
    if (!in_.ok() || passes < 1 || passes > kMaxEffectPasses) return fail("bad pass count");
    for (std::uint8_t i = 0; i < passes; ++i) {
      EffectPass pass;
      std::optional<std::string> pass_name = read_name();
      if (!pass_name) return fail("bad pass name");
      pass.name = std::move(*pass_name);
      const std::uint8_t states = in_.u8();
      if (!in_.ok() || states > kMaxEffectStates || !in_.fits(states, 8)) return fail("bad state count");
      for (std::uint8_t s = 0; s < states; ++s) {
        const std::uint32_t state = in_.u32();
        pass.states.emplace_back(state, in_.u32());
      }
      std::optional<std::string> vertex = read_source();
      if (!vertex) return fail("bad vertex source");
      std::optional<std::string> fragment = read_source();
      if (!fragment) return fail("bad fragment source");
      pass.vertex_source = std::move(*vertex);
      pass.fragment_source = std::move(*fragment);
      technique.passes.push_back(std::move(pass));
    }
    return technique;
  }

  base::ByteReader in_;
  std::string* error_;
};

void write_name(base::ByteWriter& out, const std::string& name) {
  out.u8(static_cast<std::uint8_t>(name.size()));
  out.bytes(std::span(reinterpret_cast<const std::uint8_t*>(name.data()), name.size()));
}

void write_source(base::ByteWriter& out, const std::string& source) {
  out.u32(static_cast<std::uint32_t>(source.size()));
  out.bytes(std::span(reinterpret_cast<const std::uint8_t*>(source.data()), source.size()));
}

}  // namespace

std::size_t effect_param_components(EffectParamType type) {
  switch (type) {
    case EffectParamType::Float:
    case EffectParamType::Int:
      return 1;
    case EffectParamType::Float4:
      return 4;
    case EffectParamType::Matrix:
      return 16;
    case EffectParamType::Texture:
      return 0;
  }
  return 0;
}

std::optional<EffectFile> parse_effect_file(std::span<const std::uint8_t> bytes, std::string* error) {
  return Parser(bytes, error).run();
}

std::optional<std::vector<std::uint8_t>> encode_effect_file(const EffectFile& effect) {
  if (effect.parameters.size() > kMaxEffectParameters || effect.techniques.empty() ||
      effect.techniques.size() > kMaxEffectTechniques || !unique_names(effect.parameters) ||
      !unique_names(effect.techniques)) {
    return std::nullopt;
  }
  base::ByteWriter out;
  out.u32(kMagic);
  out.u16(kVersion);
  out.u16(0);
  out.u16(static_cast<std::uint16_t>(effect.parameters.size()));
  for (const EffectParam& param : effect.parameters) {
    if (!valid_param(param)) return std::nullopt;
    write_name(out, param.name);
    out.u8(static_cast<std::uint8_t>(param.type));
    out.u8(param.shared ? kEffectParamShared : 0);
    out.u16(param.elements);
    out.u8(param.stage);
    for (float value : param.defaults) {
      if (param.type == EffectParamType::Int) {
        out.i32(static_cast<std::int32_t>(value));
      } else {
        out.f32(value);
      }
    }
  }
  out.u16(static_cast<std::uint16_t>(effect.techniques.size()));
  for (const EffectTechnique& technique : effect.techniques) {
    if (!valid_name(technique.name) || technique.passes.empty() ||
        technique.passes.size() > kMaxEffectPasses) {
      return std::nullopt;
    }
    write_name(out, technique.name);
    out.u8(static_cast<std::uint8_t>(technique.passes.size()));
    for (const EffectPass& pass : technique.passes) {
      if (!valid_pass(pass)) return std::nullopt;
      write_name(out, pass.name);
      out.u8(static_cast<std::uint8_t>(pass.states.size()));
      for (const auto& [state, value] : pass.states) {
        out.u32(state);
        out.u32(value);
      }
      write_source(out, pass.vertex_source);
      write_source(out, pass.fragment_source);
    }
  }
  return out.take();
}

}  // namespace render
