#pragma once
// TModel: an indexed triangle mesh loaded from a ".mesh" file, a shared asset like a
// texture (one per file name in the asset cache). It reloads itself from its file when
// assets are restored after a display reset, and draws as an indexed triangle list inside
// a 3D block.
//
// The ".mesh" file, little-endian: the tag "TRIS", the vertex count V and the triangle
// count T (16-bit unsigned each), V vertices of eight 16-bit signed values stored as the
// value x 1000 (position x, y, z, normal x, y, z, texture u, v), then 3 x T 16-bit vertex
// indices.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/math/vector_math.h"
#include "platform/asset.h"
#include "platform/engine_string.h"

class TTexture;

// The device's vertex with a normal (32 bytes): position, normal, texture coordinates.
struct TMeshVertex {
  TVec3 position;
  TVec3 normal;
  TVec2 uv;
};
static_assert(sizeof(TMeshVertex) == 32, "mesh vertices have the device's 32-byte layout");

struct TMeshData {
  std::vector<TMeshVertex> vertices;
  uint32_t vertexCount = 0;
  std::vector<uint16_t> indices;  // three per triangle, each below vertexCount
  uint32_t indexCount = 0;
  TString fileName;
};

class TModel : public TAsset {
 public:
  TARVELON_CLASS_ID()

  const char* GetClassName() const override { return "TModel"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TAsset::IsKindOf(id); }
  // The mesh lives in main memory: nothing to give up.
  void Release() override {}
  // Loads the mesh again from its file (nothing when none was loaded).
  void Restore() override;

  // The cached model of a file, else a new one loaded and cached; empty when it does not
  // load.
  static std::shared_ptr<TModel> Get(const TString& fileName);
  static std::shared_ptr<TModel> CastFromAsset(const std::shared_ptr<TAsset>& asset);

  // Loads the mesh (the name must contain ".mesh"). A file that cannot be opened, lacks
  // the tag, is shorter than its counts promise or names a vertex past its vertex count is
  // refused with a log line; the model then holds no mesh.
  bool Init(const TString& fileName);
  // The loaded mesh, or null.
  const TMeshData* GetData() const { return mData.get(); }

  // Draws the mesh under the current transforms with the texture (none when empty);
  // only inside a 3D block.
  void Draw(const std::shared_ptr<TTexture>& texture) const;

 private:
  std::unique_ptr<TMeshData> mData;
};
