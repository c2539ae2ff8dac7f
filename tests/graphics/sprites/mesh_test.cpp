// Meshes: the ".mesh" reader with its checks against the file's real size, the asset
// cache, restoring after a display reset and drawing through the 3D block.

#include <gtest/gtest.h>

#include "graphics/display/display_rig.h"
#include "graphics/display/platform_data.h"
#include "graphics/renderer.h"
#include "graphics/sprites/mesh.h"
#include "graphics/sprites/sprite_test_util.h"

namespace {

class Mesh : public ::testing::Test {
 protected:
  TDisplayRig mRig;
};

TEST_F(Mesh, ReadsVerticesAsThousandthsAndIndicesPerTriangle) {
  std::string path = mRig.log.Folder() + "/values.mesh";
  ASSERT_TRUE(WriteFileBytes(path, WriteMesh({{-1.5f, 32.767f, 0, 0, 0, -1, 0.25f, 1}, {1, 0, 0, 0, 0, 1, 0, 0},
                                              {0, 1, 0, 0, 0, 1, 0, 0}},
                                             {2, 1, 0})));
  auto model = TModel::Get("user:values.mesh");
  ASSERT_NE(model, nullptr);
  const TMeshData* data = model->GetData();
  ASSERT_NE(data, nullptr);
  EXPECT_EQ(data->vertexCount, 3u);
  EXPECT_FLOAT_EQ(data->vertices[0].position.x, -1.5f);
  EXPECT_FLOAT_EQ(data->vertices[0].position.y, 32.767f);
  EXPECT_FLOAT_EQ(data->vertices[0].normal.z, -1.0f);
  EXPECT_FLOAT_EQ(data->vertices[0].uv.x, 0.25f);
  EXPECT_EQ(data->indexCount, 3u);
  EXPECT_EQ(data->indices, (std::vector<uint16_t>{2, 1, 0}));
  EXPECT_EQ(data->fileName, "user:values.mesh");
  EXPECT_EQ(TModel::Get("user:values.mesh"), model);  // one per file while it lives
  EXPECT_STREQ(model->GetClassName(), "TModel");
  EXPECT_TRUE(model->IsKindOf(TAsset::ClassId()));
}

TEST_F(Mesh, NoTrianglesAndNamesWithMeshAnywhereLoad) {
  std::string folder = mRig.log.Folder();
  ASSERT_TRUE(WriteFileBytes(folder + "/empty.mesh", WriteMesh({{0, 0, 0, 0, 0, 0, 0, 0}}, {})));
  ASSERT_TRUE(WriteFileBytes(folder + "/model.mesh.bak", WriteMesh({{0, 0, 0, 0, 0, 0, 0, 0}}, {})));
  ASSERT_TRUE(WriteFileBytes(folder + "/model.bin", WriteMesh({{0, 0, 0, 0, 0, 0, 0, 0}}, {})));
  auto empty = TModel::Get("user:empty.mesh");
  ASSERT_NE(empty, nullptr);
  EXPECT_EQ(empty->GetData()->indexCount, 0u);
  EXPECT_TRUE(empty->GetData()->indices.empty());
  EXPECT_NE(TModel::Get("user:model.mesh.bak"), nullptr);
  mRig.log.TakeNew();
  EXPECT_EQ(TModel::Get("user:model.bin"), nullptr);  // no ".mesh" in the name: refused quietly
  EXPECT_EQ(mRig.log.TakeNew(), "");
}

// Short mesh files used to load as success, with zeros and unread indices past the end.
TEST_F(Mesh, CorruptFilesAreRefusedWithALogLine) {
  struct TCase {
    const char* file;
    const char* logged;
  } cases[] = {
      {"mesh/cut_header.mesh", "is not a mesh"},
      {"mesh/wrong_tag.mesh", "is not a mesh"},
      {"mesh/cut_vertices.mesh", "holds 43 bytes, its 4 vertices and 2 triangles need 84"},
      {"mesh/cut_indices.mesh", "holds 83 bytes"},
      {"mesh/bad_index.mesh", "names vertex 4 of only 4"},
      {"mesh/missing.mesh", "TModel::Init: Failed to load"},
  };
  for (const TCase& c : cases) {
    TString name = GraphicsFixture(c.file);
    TModel model;
    EXPECT_FALSE(model.Init(name)) << c.file;
    EXPECT_EQ(model.GetData(), nullptr) << c.file;
    std::string logged = mRig.log.TakeNew();
    EXPECT_NE(logged.find(c.logged), std::string::npos) << c.file << ": " << logged;
    EXPECT_NE(logged.find(name.c_str()), std::string::npos) << c.file << ": " << logged;
    EXPECT_EQ(TModel::Get(name), nullptr) << c.file;
  }
  // A refused file leaves no mesh behind, not even the one loaded before.
  TModel model;
  ASSERT_TRUE(model.Init(GraphicsFixture("mesh/quad.mesh")));
  EXPECT_FALSE(model.Init(GraphicsFixture("mesh/cut_vertices.mesh")));
  EXPECT_EQ(model.GetData(), nullptr);
}

TEST_F(Mesh, RestoreReloadsFromTheStoredFileName) {
  std::string path = mRig.log.Folder() + "/changing.mesh";
  ASSERT_TRUE(WriteFileBytes(path, WriteMesh({{1, 2, 3, 0, 0, 0, 0, 0}}, {})));
  auto model = TModel::Get("user:changing.mesh");
  ASSERT_NE(model, nullptr);
  model->Release();  // nothing to give up: the mesh stays
  EXPECT_FLOAT_EQ(model->GetData()->vertices[0].position.x, 1.0f);
  ASSERT_TRUE(WriteFileBytes(path, WriteMesh({{4, 5, 6, 0, 0, 0, 0, 0}, {7, 8, 9, 0, 0, 0, 0, 0}}, {})));
  mRig.assets.RestoreAll();
  ASSERT_NE(model->GetData(), nullptr);
  EXPECT_EQ(model->GetData()->vertexCount, 2u);
  EXPECT_FLOAT_EQ(model->GetData()->vertices[1].position.z, 9.0f);
  TModel never;
  never.Restore();  // nothing loaded, nothing to reload
  EXPECT_EQ(never.GetData(), nullptr);
}

TEST_F(Mesh, DrawsThroughTheThreeDBlockOnly) {
  mRig.Window(64, 48);
  auto model = TModel::Get(GraphicsFixture("mesh/quad.mesh"));
  ASSERT_NE(model, nullptr);
  TRenderer* renderer = TRenderer::GetInstance();
  FillBack(mRig.Display(), 0xFF000000u);
  ASSERT_TRUE(renderer->BeginDraw(false));
  ASSERT_TRUE(renderer->Begin2d());
  model->Draw(nullptr);  // not in 3D: nothing
  renderer->End2d();
  renderer->EndDraw(false);
  EXPECT_EQ(mRig.Back(32, 24), 0xFF000000u);

  ASSERT_TRUE(renderer->BeginDraw(false));
  ASSERT_TRUE(renderer->Begin3d());
  model->Draw(nullptr);  // the quad at z 2 covers the view
  renderer->End3d();
  renderer->EndDraw(false);
  EXPECT_NE(mRig.Back(32, 24), 0xFF000000u);
  EXPECT_NE(mRig.Back(2, 2), 0xFF000000u);
}

}  // namespace
