#include "model/x_file.h"

#include <algorithm>
#include <bit>
#include <cstring>
#include <limits>

#include "base/file_io.h"
#include "model/x_templates.h"

namespace model {

std::optional<Guid> parse_guid(std::string_view text) {
  if (text.size() == 38 && (text.front() == '{' || text.front() == '<')) text = text.substr(1, 36);
  if (text.size() != 36 || text[8] != '-' || text[13] != '-' || text[18] != '-' || text[23] != '-')
    return std::nullopt;
  std::uint8_t bytes[16];
  std::size_t at = 0;
  for (std::size_t i = 0; i < 16; ++i) {
    if (text[at] == '-') ++at;
    int value = 0;
    for (int k = 0; k < 2; ++k, ++at) {
      const char c = text[at];
      int digit = -1;
      if (c >= '0' && c <= '9') digit = c - '0';
      if (c >= 'a' && c <= 'f') digit = c - 'a' + 10;
      if (c >= 'A' && c <= 'F') digit = c - 'A' + 10;
      if (digit < 0) return std::nullopt;
      value = value * 16 + digit;
    }
    bytes[i] = static_cast<std::uint8_t>(value);
  }
  Guid guid;
  guid.data1 = static_cast<std::uint32_t>(bytes[0]) << 24 | static_cast<std::uint32_t>(bytes[1]) << 16 |
               static_cast<std::uint32_t>(bytes[2]) << 8 | bytes[3];
  guid.data2 = static_cast<std::uint16_t>(bytes[4] << 8 | bytes[5]);
  guid.data3 = static_cast<std::uint16_t>(bytes[6] << 8 | bytes[7]);
  std::memcpy(guid.data4, bytes + 8, 8);
  return guid;
}

namespace {

enum class Tok {
  End,
  Error,
  Name,
  String,
  Integer,
  Float,
  Uuid,
  OBrace,
  CBrace,
  OBracket,
  CBracket,
  OParen,
  CParen,
  OAngle,
  CAngle,
  Dot,
  Comma,
  Semicolon,
};

struct Token {
  Token(Tok k = Tok::End, std::string t = {}, double n = 0.0) : kind(k), text(std::move(t)), number(n) {}
  Tok kind;
  std::string text;
  double number;
  Guid guid;
};

// Limits that keep a damaged file from asking for unbounded work.
constexpr std::size_t kMaxObjectBytes = 64u << 20;
constexpr int kMaxNesting = 64;

// Turns text or binary X data (after the 16-byte header) into tokens. Lists
// of numbers in binary files are handed out one number at a time.
class Lexer {
 public:
  Lexer(std::span<const std::uint8_t> bytes, bool binary, bool doubles)
      : bytes_(bytes), binary_(binary), doubles_(doubles) {}

  const Token& peek() {
    if (!peeked_) {
      token_ = binary_ ? binary_token() : text_token();
      peeked_ = true;
    }
    return token_;
  }
  Token next() {
    peek();
    peeked_ = false;
    if (token_.kind == Tok::Error) broken_ = true;
    return std::move(token_);
  }
  // Whether an unreadable token was met.
  bool broken() const { return broken_; }

 private:
  bool has(std::size_t n) const { return n <= bytes_.size() - at_; }
  std::uint32_t u32() {
    std::uint32_t v = 0;
    for (int i = 0; i < 4; ++i) v |= static_cast<std::uint32_t>(bytes_[at_ + static_cast<std::size_t>(i)]) << (8 * i);
    at_ += 4;
    return v;
  }
  static Token error() { return Token{Tok::Error}; }

  Token binary_token();
  Token text_token();

  std::span<const std::uint8_t> bytes_;
  std::size_t at_ = 0;
  bool binary_;
  bool doubles_;
  bool peeked_ = false;
  bool broken_ = false;
  Token token_;
  std::uint32_t list_left_ = 0;
  bool list_floats_ = false;
};

Token Lexer::binary_token() {
  if (list_left_ > 0) {
    --list_left_;
    Token token;
    if (!list_floats_) {
      token.kind = Tok::Integer;
      token.number = u32();
    } else if (doubles_) {
      std::uint64_t raw = u32();
      raw |= static_cast<std::uint64_t>(u32()) << 32;
      token.kind = Tok::Float;
      token.number = std::bit_cast<double>(raw);
    } else {
      token.kind = Tok::Float;
      token.number = std::bit_cast<float>(u32());
    }
    return token;
  }
  if (at_ == bytes_.size()) return Token{};
  if (!has(2)) return error();
  const int code = bytes_[at_] | (bytes_[at_ + 1] << 8);
  at_ += 2;
  auto keyword = [](const char* text) { return Token{Tok::Name, text}; };
  switch (code) {
    case 1:
    case 2: {
      if (!has(4)) return error();
      const std::uint32_t count = u32();
      if (!has(count)) return error();
      Token token{code == 1 ? Tok::Name : Tok::String,
                  std::string(reinterpret_cast<const char*>(bytes_.data() + at_), count)};
      at_ += count;
      if (code == 2) {
        if (!has(4)) return error();
        u32();  // the separator that ended the string
      }
      return token;
    }
    case 3:
      if (!has(4)) return error();
      return Token{Tok::Integer, {}, static_cast<double>(u32())};
    case 5: {
      if (!has(16)) return error();
      Token token{Tok::Uuid};
      token.guid.data1 = u32();
      token.guid.data2 = static_cast<std::uint16_t>(bytes_[at_] | (bytes_[at_ + 1] << 8));
      token.guid.data3 = static_cast<std::uint16_t>(bytes_[at_ + 2] | (bytes_[at_ + 3] << 8));
      std::memcpy(token.guid.data4, bytes_.data() + at_ + 4, 8);
      at_ += 12;
      return token;
    }
    case 6:
    case 7: {
      if (!has(4)) return error();
      const std::uint32_t count = u32();
      const std::size_t size = code == 6 ? 4 : (doubles_ ? 8 : 4);
      if (count > (bytes_.size() - at_) / size) return error();
      list_left_ = count;
      list_floats_ = code == 7;
      return binary_token();
    }
    case 10: return Token{Tok::OBrace};
    case 11: return Token{Tok::CBrace};
    case 12: return Token{Tok::OParen};
    case 13: return Token{Tok::CParen};
    case 14: return Token{Tok::OBracket};
    case 15: return Token{Tok::CBracket};
    case 16: return Token{Tok::OAngle};
    case 17: return Token{Tok::CAngle};
    case 18: return Token{Tok::Dot};
    case 19: return Token{Tok::Comma};
    case 20: return Token{Tok::Semicolon};
    case 31: return keyword("template");
    case 40: return keyword("WORD");
    case 41: return keyword("DWORD");
    case 42: return keyword("FLOAT");
    case 43: return keyword("DOUBLE");
    case 44: return keyword("CHAR");
    case 45: return keyword("UCHAR");
    case 46: return keyword("SWORD");
    case 47: return keyword("SDWORD");
    case 48: return keyword("VOID");
    case 49: return keyword("STRING");
    case 50: return keyword("UNICODE");
    case 51: return keyword("CSTRING");
    case 52: return keyword("array");
    default: return error();
  }
}

bool name_start(char c) { return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z') || c == '_'; }
bool name_char(char c) { return name_start(c) || (c >= '0' && c <= '9') || c == '-'; }
bool digit(char c) { return c >= '0' && c <= '9'; }

Token Lexer::text_token() {
  const auto text = [&](std::size_t i) { return static_cast<char>(bytes_[i]); };
  for (;;) {
    while (at_ < bytes_.size() && (text(at_) == ' ' || text(at_) == '\t' || text(at_) == '\r' || text(at_) == '\n'))
      ++at_;
    if (at_ == bytes_.size()) return Token{};
    const bool comment = text(at_) == '#' || (text(at_) == '/' && at_ + 1 < bytes_.size() && text(at_ + 1) == '/');
    if (!comment) break;
    while (at_ < bytes_.size() && text(at_) != '\n') ++at_;
  }
  const char c = text(at_);
  switch (c) {
    case '{': ++at_; return Token{Tok::OBrace};
    case '}': ++at_; return Token{Tok::CBrace};
    case '[': ++at_; return Token{Tok::OBracket};
    case ']': ++at_; return Token{Tok::CBracket};
    case '(': ++at_; return Token{Tok::OParen};
    case ')': ++at_; return Token{Tok::CParen};
    case '.': ++at_; return Token{Tok::Dot};
    case ',': ++at_; return Token{Tok::Comma};
    case ';': ++at_; return Token{Tok::Semicolon};
    default: break;
  }
  if (c == '<') {
    const std::size_t close = std::find(bytes_.begin() + static_cast<std::ptrdiff_t>(at_), bytes_.end(), '>') -
                              bytes_.begin();
    if (close == bytes_.size()) return error();
    const std::string inside(reinterpret_cast<const char*>(bytes_.data() + at_ + 1), close - at_ - 1);
    at_ = close + 1;
    std::string trimmed;
    for (char ch : inside) {
      if (ch != ' ' && ch != '\t' && ch != '\r' && ch != '\n') trimmed += ch;
    }
    std::optional<Guid> guid = parse_guid(trimmed);
    if (!guid) return error();
    Token token{Tok::Uuid};
    token.guid = *guid;
    return token;
  }
  if (c == '"') {
    const std::size_t close = std::find(bytes_.begin() + static_cast<std::ptrdiff_t>(at_ + 1), bytes_.end(), '"') -
                              bytes_.begin();
    if (close == bytes_.size()) return error();
    Token token{Tok::String, std::string(reinterpret_cast<const char*>(bytes_.data() + at_ + 1), close - at_ - 1)};
    at_ = close + 1;
    return token;
  }
  if (digit(c) || ((c == '-' || c == '+') && at_ + 1 < bytes_.size() && (digit(text(at_ + 1)) || text(at_ + 1) == '.')) ||
      (c == '.' && at_ + 1 < bytes_.size() && digit(text(at_ + 1)))) {
    const std::size_t start = at_;
    bool is_float = false;
    ++at_;
    while (at_ < bytes_.size()) {
      const char d = text(at_);
      if (digit(d)) {
        ++at_;
      } else if (d == '.' || d == 'e' || d == 'E') {
        is_float = true;
        ++at_;
        if ((d == 'e' || d == 'E') && at_ < bytes_.size() && (text(at_) == '-' || text(at_) == '+')) ++at_;
      } else {
        break;
      }
    }
    const std::string number(reinterpret_cast<const char*>(bytes_.data() + start), at_ - start);
    char* end = nullptr;
    const double value = std::strtod(number.c_str(), &end);
    if (end != number.c_str() + number.size()) return error();
    return Token{is_float ? Tok::Float : Tok::Integer, {}, value};
  }
  if (name_start(c)) {
    const std::size_t start = at_;
    while (at_ < bytes_.size() && name_char(text(at_))) ++at_;
    return Token{Tok::Name, std::string(reinterpret_cast<const char*>(bytes_.data() + start), at_ - start)};
  }
  return error();
}

bool same_word(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    char x = a[i];
    char y = b[i];
    if (x >= 'a' && x <= 'z') x = static_cast<char>(x - 'a' + 'A');
    if (y >= 'a' && y <= 'z') y = static_cast<char>(y - 'a' + 'A');
    if (x != y) return false;
  }
  return true;
}

// Bytes of a primitive member type; 0 for a string; -1 for no primitive.
int primitive_size(std::string_view type) {
  struct Entry {
    const char* name;
    int size;
  };
  static constexpr Entry kTypes[] = {{"WORD", 2},   {"DWORD", 4},  {"FLOAT", 4},  {"DOUBLE", 8},  {"CHAR", 1},
                                     {"UCHAR", 1},  {"BYTE", 1},   {"SWORD", 2},  {"SDWORD", 4},  {"STRING", 0},
                                     {"LPSTR", 0},  {"CSTRING", 0}, {"UNICODE", 0}, {"ULONGLONG", 8}};
  for (const Entry& entry : kTypes) {
    if (same_word(entry.name, type)) return entry.size;
  }
  return -1;
}

}  // namespace

// Parses template declarations and data objects from a token stream into a
// reader's tables.
class XParser {
 public:
  XParser(XFileReader& reader, Lexer& lexer) : reader_(reader), lexer_(lexer) {}

  bool parse(bool templates_only);
  const std::string& error() const { return error_; }

 private:
  using Template = XFileReader::Template;
  using Member = XFileReader::Member;

  bool fail(std::string why) {
    if (error_.empty()) error_ = std::move(why);
    return false;
  }
  bool expect(Tok kind, const char* what) {
    return lexer_.next().kind == kind ? true : fail(std::string("expected ") + what);
  }

  bool parse_all(bool templates_only);
  bool parse_template();
  XObject* parse_object(const std::string& template_name, int depth);
  bool read_members(const Template& t, std::vector<std::uint8_t>& data, int depth);
  bool read_value(const std::string& type, std::vector<std::uint8_t>& data, double* value, int depth);
  std::uint64_t min_values(const Template& t, int depth) const;
  const Template* find_template(std::string_view name) const {
    auto found = reader_.templates_.find(name);
    return found != reader_.templates_.end() ? &found->second : nullptr;
  }
  const XObject* find_object(std::string_view name) const {
    for (const XObject& object : reader_.objects_) {
      if (object.name == name) return &object;
    }
    return nullptr;
  }

  XFileReader& reader_;
  Lexer& lexer_;
  std::string error_;
};

bool XParser::parse(bool templates_only) {
  const bool ok = parse_all(templates_only);
  if (!ok && lexer_.broken()) error_ = "unreadable data (" + error_ + ")";
  return ok;
}

bool XParser::parse_all(bool templates_only) {
  for (;;) {
    const Token& token = lexer_.peek();
    if (token.kind == Tok::End) return true;
    if (token.kind != Tok::Name) return fail("unexpected token at the top level");
    Token name = lexer_.next();
    if (name.text == "template") {
      if (!parse_template()) return false;
      continue;
    }
    if (templates_only) return fail("a data object in a template text");
    XObject* object = parse_object(name.text, 0);
    if (object == nullptr) return false;
    reader_.top_.push_back(object);
  }
}

bool XParser::parse_template() {
  Token name = lexer_.next();
  if (name.kind != Tok::Name) return fail("a template without a name");
  if (!expect(Tok::OBrace, "{ after the template name")) return false;
  Template t;
  t.name = name.text;
  if (lexer_.peek().kind == Tok::Uuid) t.guid = lexer_.next().guid;
  for (;;) {
    Token token = lexer_.next();
    if (token.kind == Tok::CBrace) break;
    if (token.kind == Tok::OBracket) {
      // "[...]" or a list of allowed child templates: children of any type
      // are read either way.
      for (Token inner = lexer_.next(); inner.kind != Tok::CBracket; inner = lexer_.next()) {
        if (inner.kind == Tok::End || inner.kind == Tok::Error) return fail("an unfinished template restriction");
      }
      continue;
    }
    if (token.kind != Tok::Name) return fail("a template member without a type");
    Member member;
    const bool array = token.text == "array";
    Token type = array ? lexer_.next() : std::move(token);
    if (type.kind != Tok::Name) return fail("a template member without a type");
    member.type = type.text;
    if (primitive_size(member.type) < 0 && find_template(member.type) == nullptr && member.type != t.name)
      return fail("a member of an unknown type " + member.type);
    if (member.type == t.name) return fail("a template that contains itself");
    Token member_name = lexer_.next();
    if (member_name.kind != Tok::Name) return fail("a template member without a name");
    member.name = member_name.text;
    if (array) {
      while (lexer_.peek().kind == Tok::OBracket) {
        lexer_.next();
        Token dimension = lexer_.next();
        if (dimension.kind == Tok::Integer) {
          if (!(dimension.number >= 0.0 && dimension.number <= 1e9)) return fail("an array of impossible size");
          member.dimensions.push_back(std::to_string(static_cast<std::uint64_t>(dimension.number)));
        } else if (dimension.kind == Tok::Name) {
          member.dimensions.push_back(dimension.text);
        } else {
          return fail("an array dimension that is neither a number nor a member");
        }
        if (!expect(Tok::CBracket, "] after an array dimension")) return false;
      }
      if (member.dimensions.empty()) return fail("an array without a dimension");
    }
    if (!expect(Tok::Semicolon, "; after a template member")) return false;
    t.members.push_back(std::move(member));
  }
  reader_.templates_.try_emplace(t.name, std::move(t));
  return true;
}

std::uint64_t XParser::min_values(const Template& t, int depth) const {
  if (depth > kMaxNesting) return 0;
  std::uint64_t total = 0;
  for (const Member& member : t.members) {
    std::uint64_t element = 1;
    if (primitive_size(member.type) < 0) {
      const Template* inner = find_template(member.type);
      element = inner != nullptr ? min_values(*inner, depth + 1) : 0;
    }
    std::uint64_t count = 1;
    for (const std::string& dimension : member.dimensions) {
      count = digit(dimension[0]) ? count * std::min<std::uint64_t>(std::stoull(dimension), 1u << 20) : 0;
    }
    total += std::min<std::uint64_t>(count * element, 1u << 30);
  }
  return total;
}

bool XParser::read_value(const std::string& type, std::vector<std::uint8_t>& data, double* value, int depth) {
  const int size = primitive_size(type);
  if (size < 0) {
    const Template* inner = find_template(type);
    if (inner == nullptr) return fail("a member of an unknown type " + type);
    return read_members(*inner, data, depth + 1);
  }
  while (lexer_.peek().kind == Tok::Comma || lexer_.peek().kind == Tok::Semicolon) lexer_.next();
  Token token = lexer_.next();
  if (size == 0) {
    if (token.kind != Tok::String) return fail("expected a string");
    data.insert(data.end(), token.text.begin(), token.text.end());
    data.push_back(0);
    return true;
  }
  if (token.kind != Tok::Integer && token.kind != Tok::Float) return fail("expected a number");
  if (value != nullptr) *value = token.number;
  std::uint8_t bytes[8] = {};
  const double number = token.number == token.number ? token.number : 0.0;  // NaN reads as 0
  if (same_word(type, "FLOAT")) {
    const double limit = std::numeric_limits<float>::max();
    const float f = static_cast<float>(std::clamp(number, -limit, limit));
    std::memcpy(bytes, &f, 4);
  } else if (same_word(type, "DOUBLE")) {
    std::memcpy(bytes, &token.number, 8);
  } else {
    // Integers keep their low bytes, as a cast to the member's width would.
    const double clamped = std::clamp(number, -9.2e18, 9.2e18);
    const auto integer = static_cast<std::uint64_t>(static_cast<std::int64_t>(clamped));
    for (int i = 0; i < 8; ++i) bytes[i] = static_cast<std::uint8_t>(integer >> (8 * i));
  }
  data.insert(data.end(), bytes, bytes + size);
  return true;
}

bool XParser::read_members(const Template& t, std::vector<std::uint8_t>& data, int depth) {
  if (depth > kMaxNesting) return fail("templates nested too deeply");
  std::vector<std::pair<std::string_view, double>> values;  // of this level's numbers, for array sizes
  for (const Member& member : t.members) {
    if (member.dimensions.empty()) {
      double value = 0.0;
      if (!read_value(member.type, data, &value, depth)) return false;
      values.emplace_back(member.name, value);
      continue;
    }
    std::uint64_t count = 1;
    for (const std::string& dimension : member.dimensions) {
      double size = 0.0;
      if (digit(dimension[0])) {
        size = static_cast<double>(std::stoull(dimension));
      } else {
        auto found = std::find_if(values.begin(), values.end(), [&](const auto& v) { return v.first == dimension; });
        if (found == values.end()) return fail("an array sized by an unknown member " + dimension);
        size = found->second;
      }
      if (!(size >= 0.0) || size > 1e9) return fail("an array of impossible size");
      count *= static_cast<std::uint64_t>(size);
      if (count > kMaxObjectBytes) return fail("an array of impossible size");
    }
    if (count == 0) continue;
    const Template* inner = primitive_size(member.type) < 0 ? find_template(member.type) : nullptr;
    if (inner != nullptr && min_values(*inner, depth + 1) == 0) continue;  // elements without data
    for (std::uint64_t i = 0; i < count; ++i) {
      if (!read_value(member.type, data, nullptr, depth)) return false;
      if (data.size() > kMaxObjectBytes) return fail("a data object too large");
    }
  }
  return true;
}

XObject* XParser::parse_object(const std::string& template_name, int depth) {
  if (depth > kMaxNesting) {
    fail("data objects nested too deeply");
    return nullptr;
  }
  const Template* t = find_template(template_name);
  if (t == nullptr) {
    fail("a data object of an unknown template " + template_name);
    return nullptr;
  }
  XObject& object = reader_.objects_.emplace_back();
  object.type = t->guid;
  object.template_name = t->name;
  if (lexer_.peek().kind == Tok::Name) object.name = lexer_.next().text;
  if (!expect(Tok::OBrace, "{ to open a data object")) return nullptr;
  if (lexer_.peek().kind == Tok::Uuid) lexer_.next();
  if (!read_members(*t, object.data, 0)) return nullptr;
  for (;;) {
    Token token = lexer_.next();
    if (token.kind == Tok::CBrace) return &object;
    if (token.kind == Tok::Comma || token.kind == Tok::Semicolon) continue;
    if (token.kind == Tok::OBrace) {
      // A reference: { name [uuid] }.
      Token name = lexer_.next();
      if (name.kind == Tok::Uuid) {
        if (!expect(Tok::CBrace, "} to close a reference")) return nullptr;
        continue;
      }
      if (name.kind != Tok::Name) {
        fail("a reference without a name");
        return nullptr;
      }
      if (lexer_.peek().kind == Tok::Uuid) lexer_.next();
      if (!expect(Tok::CBrace, "} to close a reference")) return nullptr;
      if (const XObject* target = find_object(name.text)) object.children.push_back(target);
      continue;
    }
    if (token.kind == Tok::Name) {
      XObject* child = parse_object(token.text, depth + 1);
      if (child == nullptr) return nullptr;
      object.children.push_back(child);
      continue;
    }
    fail(token.kind == Tok::End ? "the data ends inside an object" : "unexpected token in a data object");
    return nullptr;
  }
}

XFileReader::XFileReader() { register_templates(kXFileTemplateText); }

bool XFileReader::register_templates(std::string_view text) {
  if (text.size() < 16 || text.substr(0, 4) != "xof " || text.substr(8, 4) != "txt ") {
    error_ = "not an X text file";
    return false;
  }
  const auto* bytes = reinterpret_cast<const std::uint8_t*>(text.data());
  Lexer lexer(std::span(bytes + 16, text.size() - 16), false, false);
  XParser parser(*this, lexer);
  if (!parser.parse(true)) {
    error_ = parser.error();
    return false;
  }
  return true;
}

bool XFileReader::open_memory(std::span<const std::uint8_t> bytes) {
  close();
  if (bytes.size() < 16 || std::memcmp(bytes.data(), "xof ", 4) != 0) {
    error_ = "not an X file";
    return false;
  }
  const std::string_view format(reinterpret_cast<const char*>(bytes.data() + 8), 4);
  const std::string_view float_size(reinterpret_cast<const char*>(bytes.data() + 12), 4);
  if (format == "tzip" || format == "bzip") {
    error_ = "compressed X files are not supported";
    return false;
  }
  if ((format != "txt " && format != "bin ") || (float_size != "0032" && float_size != "0064")) {
    error_ = "an X file of an unknown format";
    return false;
  }
  // Templates the file declares stay registered only while it is open.
  const auto saved_templates = templates_;
  Lexer lexer(bytes.subspan(16), format == "bin ", float_size == "0064");
  XParser parser(*this, lexer);
  const bool ok = parser.parse(false);
  templates_ = saved_templates;
  if (!ok) {
    close();
    error_ = parser.error();
    return false;
  }
  return true;
}

bool XFileReader::open_file(const char* path) {
  close();
  std::optional<std::vector<std::uint8_t>> bytes = path != nullptr ? base::read_file(path) : std::nullopt;
  if (!bytes) {
    error_ = "cannot read the file";
    return false;
  }
  return open_memory(*bytes);
}

void XFileReader::close() {
  objects_.clear();
  top_.clear();
  error_.clear();
}

std::size_t XFileReader::copy_data(const XObject& object, std::span<std::uint8_t> destination) {
  const std::size_t n = std::min(destination.size(), object.data.size());
  if (n > 0) std::memcpy(destination.data(), object.data.data(), n);
  return n;
}

render::Block XFileReader::data_block(const XObject& object) { return render::Block::copy_of(object.data); }

}  // namespace model
