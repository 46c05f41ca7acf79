#pragma once

#include <string_view>

namespace render {

// The kinds of file the program knows, numbered as they are stored and passed
// around. Several kinds only name files; the program reads images (Bitmap,
// Dds, Targa), model meshes (ModelMesh), compiled effects and packages.
enum class FileKind : int {
  None = 0,
  Dib = 1,
  Bitmap = 2,  // also ".msk"
  Dds = 3,
  Argb = 4,
  Sprite = 5,
  Jpeg = 6,
  Png = 7,
  Gif = 8,
  Targa = 9,
  Hdr = 10,
  Pfm = 11,
  Ppm = 12,
  Raw = 13,
  Text = 21,
  Ini = 22,
  Sys = 23,
  Avi = 31,
  Wave = 32,
  Mdi = 33,
  Region = 34,
  Studio3ds = 51,
  XFile = 52,
  Mesh = 53,
  Tank = 54,
  Fish = 55,
  ModelMesh = 56,  // "m8", the mesh entry of a model package
  Ami = 57,
  Bone = 58,
  Attributes = 59,
  AttributesPlus = 60,
  Deformers = 80,
  Effect = 83,
  CompiledEffect = 84,
  Zip = 121,
  Vmx = 122,
  Package = 125,
};

// The kind named by an extension (without its dot), compared without regard
// to case; the whole extension must match. None for anything unknown.
FileKind kind_of_extension(std::string_view extension);

// The extension (without dot) written for a kind, or nullptr for None, the
// kinds that are only read and numbers that are no kind.
const char* extension_of_kind(FileKind kind);

}  // namespace render
