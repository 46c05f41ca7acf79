#include "render/file_kind.h"

#include "platform/ascii.h"

namespace render {

namespace {

struct KindRow {
  FileKind kind;
  const char* recognised;
  const char* written;  // nullptr: never written under this kind
};

constexpr KindRow kKinds[] = {
    {FileKind::Dib, "dib", "dib"},
    {FileKind::Bitmap, "bmp", "bmp"},
    {FileKind::Bitmap, "msk", "bmp"},
    {FileKind::Dds, "dds", "dds"},
    {FileKind::Argb, "argb", "argb"},
    {FileKind::Sprite, "spr", "spr"},
    {FileKind::Jpeg, "jpg", "jpg"},
    {FileKind::Png, "png", "png"},
    {FileKind::Gif, "gif", "gif"},
    {FileKind::Targa, "tga", "tga"},
    {FileKind::Hdr, "hdr", nullptr},
    {FileKind::Pfm, "pfm", nullptr},
    {FileKind::Ppm, "ppm", nullptr},
    {FileKind::Raw, "raw", "raw"},
    {FileKind::Text, "txt", "txt"},
    {FileKind::Ini, "ini", "ini"},
    {FileKind::Sys, "sys", "sys"},
    {FileKind::Avi, "avi", "avi"},
    {FileKind::Wave, "wav", "wav"},
    {FileKind::Mdi, "mdi", "mdi"},
    {FileKind::Region, "rgn", "rgn"},
    {FileKind::Studio3ds, "3ds", "3ds"},
    {FileKind::XFile, "x", "x"},
    {FileKind::Mesh, "msh", "msh"},
    {FileKind::Tank, "tnk", "tnk"},
    {FileKind::Fish, "fsh", "fsh"},
    {FileKind::ModelMesh, "m8", "m8"},
    {FileKind::Ami, "ami", "ami"},
    {FileKind::Bone, "bone", "bone"},
    {FileKind::Attributes, "att", "att"},
    {FileKind::AttributesPlus, "att+", "att+"},
    {FileKind::Deformers, "def", nullptr},
    {FileKind::Effect, "fx", "fx"},
    {FileKind::CompiledEffect, "fxo", "fxo"},
    {FileKind::Zip, "zip", "zip"},
    {FileKind::Vmx, "vmx", "vmx"},
    {FileKind::Package, "vmf", "vmf"},
};

}  // namespace

FileKind kind_of_extension(std::string_view extension) {
  for (const KindRow& row : kKinds) {
    if (platform::equals_ignore_ascii_case(extension, row.recognised)) return row.kind;
  }
  return FileKind::None;
}

const char* extension_of_kind(FileKind kind) {
  for (const KindRow& row : kKinds) {
    if (row.kind == kind) return row.written;
  }
  return nullptr;
}

}  // namespace render
