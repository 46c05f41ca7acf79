#include <gtest/gtest.h>

#include <sstream>

#include "base/file_io.h"
#include "model/hand_mesh.h"
#include "model/temp_folder.h"
#include "render/package_builder.h"
#include "vmftool/package_tool.h"

namespace {

using namespace model_test;

struct ToolResult {
  int code;
  std::string out;
  std::string err;
};

ToolResult run_tool(const std::vector<std::string>& args) {
  std::ostringstream out;
  std::ostringstream err;
  const int code = vmftool::run(args, out, err);
  return {code, out.str(), err.str()};
}

Bytes mesh_package(const Bytes& tree, std::string_view name) {
  render::PackageBuilder builder;
  builder.add(tree, "m8", true);
  return builder.encode(name).value();
}

void expect_lines(const std::string& text, std::initializer_list<const char*> parts) {
  for (const char* part : parts) EXPECT_NE(text.find(part), std::string::npos) << "missing: " << part << "\n" << text;
}

TEST(MeshDump, PrintsEveryPartOfAMeshTree) {
  TempFolder folder;
  ASSERT_TRUE(base::write_file_atomically(folder.file("Fish.vmf"), mesh_package(full_tree(), "Fish")));
  const ToolResult result = run_tool({"dump", folder.file("Fish.vmf")});
  ASSERT_EQ(result.code, 0) << result.err;
  expect_lines(result.out, {
                               "mesh tree: 3 nodes",
                               "node \"Fish\" flags 0xDF9F",
                               "vertices 4 x 32 bytes, format 0x112 (xyz normal tex0:2), indices 6 (2 triangles)",
                               "subset 1: material 1, triangles 1+1, vertices 0+4",
                               "draw order 0 1 (1 transparent)",
                               "cull ccw, blend off, texture \"Scales.png\"",
                               "cull none, blend on 5/6, texture none",
                               "skin: 2 bones, 4 vertices, format 0x112, palette 2 (2 used), 1 combinations",
                               "bone \"Scene_Root\" at (0 0 0), 2 influences -> node \"Fish\"",
                               "bone \"Tail\" at (0 0 2), 2 influences -> node \"Tail\"",
                               "playback: loops 3",
                               "set \"Swim\": 4800 ticks/s, loop, 1 animated nodes (2 slots)",
                               "morph \"mouth\": 2 vertices, 1 points, 2 frames",
                               "tag \"DEFO\", 3 bytes",
                               "  node \"Tail\" flags 0x2200",
                               "    matrix translation (0 0 2)",
                               "  node \"Fin\" flags 0x0000",
                           });
}

TEST(MeshDump, PrintsAModelPackageAndOneOfItsMeshes) {
  TempFolder folder;
  render::PackageBuilder store;
  store.add(mesh_package(Put().node_head(0, "Stone").bytes, "Rock"), "Rock.vmf", false);
  Put info;
  info.u16(1).u8(5).chars("Rock").u8(0).u16(1).u8(1).u8(4).u16(0).matrix(3, 0, 0);
  render::PackageBuilder package;
  package.add(info.bytes, "Model.info", false);
  package.add(store.encode("Model").value(), "Model.vmf", false);
  ASSERT_TRUE(base::write_file_atomically(folder.file("Tank.vmf"), package.encode("").value()));

  ToolResult result = run_tool({"dump", folder.file("Tank.vmf")});
  ASSERT_EQ(result.code, 0) << result.err;
  expect_lines(result.out, {"Model.info: 1 meshes", "mesh 0 \"Rock\"", "object 0: kind 4, mesh 0, at (3 0 0)",
                            "== Rock.vmf", "node \"Stone\""});
  result = run_tool({"dump", folder.file("Tank.vmf"), "Rock"});
  ASSERT_EQ(result.code, 0) << result.err;
  expect_lines(result.out, {"node \"Stone\""});
  EXPECT_EQ(result.out.find("Model.info"), std::string::npos);

  result = run_tool({"dump", folder.file("Tank.vmf"), "Coral"});
  EXPECT_EQ(result.code, 1);
  expect_lines(result.err, {"no entry \"Coral\""});
}

TEST(MeshDump, SaysWhySomethingIsNoMesh) {
  TempFolder folder;
  render::PackageBuilder other;
  other.add(Bytes{1, 2}, "readme.txt", false);
  ASSERT_TRUE(base::write_file_atomically(folder.file("Other.vmf"), other.encode("").value()));
  ToolResult result = run_tool({"dump", folder.file("Other.vmf")});
  EXPECT_EQ(result.code, 1);
  expect_lines(result.err, {"holds no mesh"});

  ASSERT_TRUE(base::write_file_atomically(folder.file("Cut.vmf"), mesh_package(Bytes{0, 0, 3}, "Cut")));
  result = run_tool({"dump", folder.file("Cut.vmf")});
  EXPECT_EQ(result.code, 1);
  expect_lines(result.out, {"not a mesh tree: the data ends inside a node record"});
  EXPECT_EQ(run_tool({"dump"}).code, 2);
}

}  // namespace
