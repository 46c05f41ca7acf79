#include "render/file_path.h"

#include <algorithm>
#include <cstdarg>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <system_error>

namespace render {

void FilePath::clear() {
  std::memset(text_, 0, sizeof text_);
  std::memset(scratch_, 0, sizeof scratch_);
  length_ = 0;
}

void FilePath::set(const char* source) {
  set(source == nullptr ? std::string_view() : std::string_view(source));
}

void FilePath::set(std::string_view source) {
  length_ = std::min(source.size(), kMaxLength);
  if (length_ > 0) std::memcpy(text_, source.data(), length_);
  text_[length_] = '\0';
}

void FilePath::format(const char* format, ...) {
  if (format == nullptr) return;
  std::va_list arguments;
  va_start(arguments, format);
  const int written = std::vsnprintf(text_, sizeof text_, format, arguments);
  va_end(arguments);
  if (written < 0) {
    text_[0] = '\0';
    length_ = 0;
    return;
  }
  length_ = std::min(static_cast<std::size_t>(written), kMaxLength);
}

std::size_t FilePath::append(std::string_view s) {
  if (s.size() > kMaxLength - length_) return length_;
  if (!s.empty()) std::memcpy(text_ + length_, s.data(), s.size());
  length_ += s.size();
  text_[length_] = '\0';
  return length_;
}

void FilePath::ensure_trailing_separator() {
  if (length_ > 0 && text_[length_ - 1] != '/') append("/");
}

bool FilePath::exists() const {
  if (empty()) return false;
  std::error_code error;
  if (!std::filesystem::is_regular_file(std::filesystem::path(str()), error)) return false;
  std::ifstream file(str(), std::ios::binary);
  return file.is_open();
}

std::size_t FilePath::name_start() const {
  const std::string_view text = view();
  std::size_t separator = text.rfind('/');
  if (separator == std::string_view::npos) separator = text.rfind(':');
  return separator == std::string_view::npos ? 0 : separator + 1;
}

std::size_t FilePath::extension_dot() const {
  const std::size_t dot = view().rfind('.');
  if (dot == std::string_view::npos || dot < name_start()) return std::string_view::npos;
  return dot;
}

FileKind FilePath::kind_of_extension() const {
  const char* ext = extension();
  return ext == nullptr ? FileKind::None : render::kind_of_extension(ext);
}

const char* FilePath::extension() const {
  const std::size_t dot = extension_dot();
  return dot == std::string_view::npos ? nullptr : text_ + dot + 1;
}

const char* FilePath::set_scratch(std::string_view part) {
  const std::size_t n = std::min(part.size(), kMaxLength);
  std::memmove(scratch_, part.data(), n);
  scratch_[n] = '\0';
  return scratch_;
}

const char* FilePath::file_name() { return set_scratch(view().substr(name_start())); }

const char* FilePath::folder() {
  const std::size_t separator = view().rfind('/');
  if (separator == std::string_view::npos) return set_scratch("./");
  return set_scratch(view().substr(0, separator + 1));
}

const char* FilePath::name_without_extension(bool whole) {
  const std::size_t start = whole ? 0 : name_start();
  const std::size_t dot = extension_dot();
  const std::size_t end = dot == std::string_view::npos ? length_ : dot;
  return set_scratch(view().substr(start, end - start));
}

void FilePath::replace_extension(const char* ext) {
  const std::size_t dot = extension_dot();
  if (dot != std::string_view::npos) {
    length_ = dot;
    text_[length_] = '\0';
  }
  if (ext == nullptr || *ext == '\0') return;
  std::string suffix;
  if (std::strchr(ext, '.') == nullptr) suffix = ".";
  suffix += ext;
  append(suffix);
}

void FilePath::set_kind(FileKind kind) { replace_extension(extension_of_kind(kind)); }

void FilePath::set_with_kind(std::string_view source, FileKind kind) {
  set(source);
  set_kind(kind);
}

bool FilePath::current_directory() {
  set(std::string_view());
  std::error_code error;
  std::string folder = std::filesystem::current_path(error).string();
  if (error || folder.empty()) return false;
  if (folder.back() != '/') folder += '/';
  if (folder.size() > kMaxLength) return false;
  set(folder);
  return true;
}

bool FilePath::windows_directory() {
  set(std::string_view());
  return false;
}

void expand_newlines(char* text) {
  if (text == nullptr) return;
  for (char* p = text; p[0] != '\0'; ++p) {
    if (p[0] == '\\' && p[1] == 'n') {
      p[1] = '\n';
      ++p;
    }
  }
}

void expand_newlines(std::string& text) {
  for (std::size_t i = 0; i + 1 < text.size(); ++i) {
    if (text[i] == '\\' && text[i + 1] == 'n') {
      text[i + 1] = '\n';
      ++i;
    }
  }
}

}  // namespace render
