#include "vmftool/package_tool.h"

#include <chrono>
#include <cstdio>
#include <filesystem>
#include <optional>
#include <system_error>

#include "base/file_io.h"
#include "render/file_time.h"
#include "render/package_builder.h"
#include "render/package_reader.h"
#include "vmftool/mesh_dump.h"

namespace vmftool {

namespace {

constexpr const char* kUsage =
    "usage: vmftool list FILE\n"
    "       vmftool extract FILE [ENTRY...] [-C DIR]\n"
    "       vmftool create FILE [--name NAME] [--class NUMBER] FILE...\n"
    "       vmftool cat FILE ENTRY\n"
    "       vmftool dump FILE [ENTRY]\n";

int bad_usage(std::ostream& err, const std::string& why) {
  err << "vmftool: " << why << "\n" << kUsage;
  return kBadUsage;
}

int failed(std::ostream& err, const std::string& file, const std::string& why) {
  err << "vmftool: " << file << ": " << why << "\n";
  return kFailed;
}

// The package's bytes, kept alive for the reader, which reads from memory so
// that a package whose name differs from its file's can still be inspected.
struct OpenPackage {
  std::vector<std::uint8_t> bytes;
  render::PackageReader reader;
};

bool open_package(const std::string& path, OpenPackage& package, std::ostream& err) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) {
    failed(err, path, "no such file");
    return false;
  }
  std::optional<std::vector<std::uint8_t>> bytes = base::read_file(path);
  if (!bytes) {
    failed(err, path, "cannot read the file");
    return false;
  }
  package.bytes = std::move(*bytes);
  if (!package.reader.open_memory(package.bytes)) {
    failed(err, path, "not a package file, or its directory is damaged");
    return false;
  }
  return true;
}

std::string format_time(std::uint64_t ticks) {
  if (ticks == 0) return "-";
  using namespace std::chrono;
  const sys_seconds time{seconds{render::unix_from_file_time(ticks)}};
  const sys_days day = floor<days>(time);
  const year_month_day date{day};
  const hh_mm_ss<seconds> clock{time - day};
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02u-%02u %02d:%02d:%02d", static_cast<int>(date.year()),
                static_cast<unsigned>(date.month()), static_cast<unsigned>(date.day()),
                static_cast<int>(clock.hours().count()), static_cast<int>(clock.minutes().count()),
                static_cast<int>(clock.seconds().count()));
  return text;
}

int list(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2) return bad_usage(err, "list takes one package file");
  const std::string& path = args[1];
  OpenPackage package;
  if (!open_package(path, package, err)) return kFailed;
  const render::PackageReader& reader = package.reader;
  out << "package \"" << reader.name() << "\", class " << static_cast<int>(reader.class_byte()) << ", "
      << reader.count() << (reader.count() == 1 ? " entry" : " entries") << "\n";
  if (!reader.name().empty() &&
      !render::same_package_name(reader.name(), render::package_name_of_path(path))) {
    out << "note: the package is named \"" << reader.name() << "\"; the program opens it only as "
        << reader.name() << ".vmf\n";
  }
  if (reader.count() > 0) out << "   #  name                           size  form    written (UTC)\n";
  for (std::uint32_t index = 1; index <= reader.count(); ++index) {
    const render::PackageEntry& entry = *reader.entry(index);
    char line[128];
    std::snprintf(line, sizeof line, "%4u  %-22s %12u  %-6s  %s\n", index, entry.name.c_str(), entry.size,
                  entry.packed ? "packed" : "plain", format_time(entry.time).c_str());
    out << line;
  }
  return kDone;
}

int extract(const std::vector<std::string>& args, std::ostream& err) {
  std::optional<std::string> folder;
  std::vector<std::string> names;
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "-C") {
      if (i + 1 >= args.size()) return bad_usage(err, "-C needs a folder");
      folder = args[++i];
    } else {
      names.push_back(args[i]);
    }
  }
  if (args.size() < 2) return bad_usage(err, "extract needs a package file");
  const std::string& path = args[1];
  OpenPackage package;
  if (!open_package(path, package, err)) return kFailed;
  render::PackageReader& reader = package.reader;

  std::filesystem::path target = folder.value_or(".");
  std::error_code error;
  std::filesystem::create_directories(target, error);
  if (!std::filesystem::is_directory(target, error))
    return failed(err, target.string(), "cannot create the folder");

  std::vector<std::uint32_t> chosen;
  int result = kDone;
  if (names.empty()) {
    for (std::uint32_t index = 1; index <= reader.count(); ++index) chosen.push_back(index);
  }
  for (const std::string& name : names) {
    const std::uint32_t index = reader.find(name);
    if (index == 0) {
      result = failed(err, path, "no entry \"" + name + "\"");
    } else {
      chosen.push_back(index);
    }
  }
  for (std::uint32_t index : chosen) {
    const std::string& name = reader.entry(index)->name;
    if (!render::is_safe_entry_name(name)) {
      result = failed(err, path, "entry \"" + name + "\" not extracted: its name would leave the folder");
      continue;
    }
    const render::Block* block = reader.read(index);
    if (block == nullptr) {
      result = failed(err, path, "entry \"" + name + "\" is damaged");
      continue;
    }
    const std::filesystem::path file = target / name;
    if (!base::write_file_atomically(file, block->bytes()))
      result = failed(err, file.string(), "cannot write");
  }
  return result;
}

std::optional<std::uint8_t> parse_class(const std::string& text) {
  if (text.empty()) return std::nullopt;
  std::size_t used = 0;
  unsigned long value = 0;
  try {
    value = std::stoul(text, &used, 0);
  } catch (const std::exception&) {
    return std::nullopt;
  }
  if (used != text.size() || value > 255) return std::nullopt;
  return static_cast<std::uint8_t>(value);
}

int create(const std::vector<std::string>& args, std::ostream& err) {
  if (args.size() < 2) return bad_usage(err, "create needs a package file");
  const std::string& path = args[1];
  std::string name = render::package_name_of_path(path);
  render::PackageBuilder builder;
  std::vector<std::string> files;
  for (std::size_t i = 2; i < args.size(); ++i) {
    if (args[i] == "--name" || args[i] == "--class") {
      if (i + 1 >= args.size()) return bad_usage(err, args[i] + " needs a value");
      const std::string& value = args[++i];
      if (args[i - 1] == "--name") {
        name = value;
      } else if (std::optional<std::uint8_t> class_byte = parse_class(value)) {
        builder.set_class_byte(*class_byte);
      } else {
        return bad_usage(err, "--class takes a number from 0 to 255");
      }
    } else {
      files.push_back(args[i]);
    }
  }
  if (name.size() > render::kPackageNameLength) {
    err << "vmftool: the package name \"" << name << "\" is cut to " << render::kPackageNameLength
        << " characters\n";
  }
  for (const std::string& file : files) {
    const std::string entry = render::package_entry_name(file);
    if (entry != std::filesystem::path(file).filename().string()) {
      err << "vmftool: " << file << ": stored as \"" << entry << "\" (names keep 22 characters)\n";
    }
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return failed(err, file, "no such file");
    const std::size_t before = builder.count();
    if (builder.add_file(file.c_str(), nullptr, true) < 0) return failed(err, file, "cannot read the file");
    if (builder.count() == before) {
      err << "vmftool: " << file << ": replaces the earlier entry \"" << entry << "\"\n";
    }
  }
  std::optional<std::vector<std::uint8_t>> bytes = builder.encode(name);
  if (!bytes) return failed(err, path, "the entries do not fit into one package (4 GiB)");
  if (!base::write_file_atomically(path, *bytes)) return failed(err, path, "cannot write the file");
  return kDone;
}

int cat(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 3) return bad_usage(err, "cat takes a package file and one entry");
  const std::string& path = args[1];
  OpenPackage package;
  if (!open_package(path, package, err)) return kFailed;
  const std::uint32_t index = package.reader.find(args[2]);
  if (index == 0) return failed(err, path, "no entry \"" + args[2] + "\"");
  const render::Block* block = package.reader.read(index);
  if (block == nullptr) return failed(err, path, "entry \"" + args[2] + "\" is damaged");
  out.write(reinterpret_cast<const char*>(block->data()), static_cast<std::streamsize>(block->size()));
  return out ? kDone : kFailed;
}

int dump(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.size() != 2 && args.size() != 3) return bad_usage(err, "dump takes a file and at most one entry");
  const std::string& path = args[1];
  std::error_code error;
  if (!std::filesystem::is_regular_file(path, error)) return failed(err, path, "no such file");
  std::optional<std::vector<std::uint8_t>> bytes = base::read_file(path);
  if (!bytes) return failed(err, path, "cannot read the file");
  return dump_package(*bytes, args.size() == 3 ? args[2] : std::string(), out, err) ? kDone : kFailed;
}

}  // namespace

int run(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
  if (args.empty()) return bad_usage(err, "no command");
  const std::string& command = args[0];
  if (command == "--help" || command == "-h" || command == "help") {
    out << kUsage;
    return kDone;
  }
  if (command == "list") return list(args, out, err);
  if (command == "extract") return extract(args, err);
  if (command == "create") return create(args, err);
  if (command == "cat") return cat(args, out, err);
  if (command == "dump") return dump(args, out, err);
  return bad_usage(err, "unknown command \"" + command + "\"");
}

}  // namespace vmftool
