#include "graphics/sprites/mesh.h"

#include <cstring>
#include <string>

#include "graphics/display/dx_context.h"
#include "graphics/renderer.h"
#include "graphics/texture.h"
#include "platform/file.h"
#include "platform/log.h"

namespace {

constexpr size_t HeaderSize = 8;
constexpr size_t VertexSize = 16;
constexpr size_t TriangleSize = 6;

uint16_t ReadU16(const std::string& bytes, size_t at) {
  return uint16_t(uint8_t(bytes[at]) | uint8_t(bytes[at + 1]) << 8);
}

}  // namespace

std::shared_ptr<TModel> TModel::CastFromAsset(const std::shared_ptr<TAsset>& asset) {
  if (!asset || !asset->IsKindOf(TModel::ClassId())) return nullptr;
  return std::static_pointer_cast<TModel>(asset);
}

std::shared_ptr<TModel> TModel::Get(const TString& fileName) {
  TAssetManager* assets = GetAssetManager();
  if (assets)
    if (auto cached = CastFromAsset(assets->GetAsset(fileName))) return cached;
  auto model = std::make_shared<TModel>();
  if (!model->Init(fileName)) return nullptr;
  if (assets) assets->AddAsset(fileName, model);
  return model;
}

void TModel::Restore() {
  if (!mData) return;
  TString fileName = mData->fileName;
  Init(fileName);
}

bool TModel::Init(const TString& fileName) {
  mData.reset();
  if (fileName.Find(".mesh") < 0) return false;
  std::string bytes;
  if (!ReadWholeFile(fileName, bytes)) {
    LogPrintf("TModel::Init: Failed to load %s", fileName.c_str());
    return false;
  }
  if (bytes.size() < HeaderSize || bytes.compare(0, 4, "TRIS") != 0) {
    LogPrintf("TModel::Init: %s is not a mesh (no TRIS header)", fileName.c_str());
    return false;
  }
  uint32_t vertexCount = ReadU16(bytes, 4), triangleCount = ReadU16(bytes, 6);
  // The counts come from the file: they must fit in what it holds.
  size_t needed = HeaderSize + vertexCount * VertexSize + triangleCount * TriangleSize;
  if (bytes.size() < needed) {
    LogPrintf("TModel::Init: %s holds %zu bytes, its %u vertices and %u triangles need %zu", fileName.c_str(),
              bytes.size(), vertexCount, triangleCount, needed);
    return false;
  }
  auto data = std::make_unique<TMeshData>();
  data->vertexCount = vertexCount;
  data->vertices.resize(vertexCount);
  size_t at = HeaderSize;
  for (TMeshVertex& vertex : data->vertices) {
    float values[8];
    for (float& value : values) {
      value = float(int16_t(ReadU16(bytes, at))) / 1000.0f;
      at += 2;
    }
    vertex.position = TVec3(values[0], values[1], values[2]);
    vertex.normal = TVec3(values[3], values[4], values[5]);
    vertex.uv = TVec2(values[6], values[7]);
  }
  data->indexCount = triangleCount * 3;
  data->indices.resize(data->indexCount);
  for (uint16_t& index : data->indices) {
    index = ReadU16(bytes, at);
    at += 2;
    if (index >= vertexCount) {
      LogPrintf("TModel::Init: %s names vertex %u of only %u", fileName.c_str(), index, vertexCount);
      return false;
    }
  }
  data->fileName = fileName;
  mData = std::move(data);
  return true;
}

void TModel::Draw(const std::shared_ptr<TTexture>& texture) const {
  TRenderer* renderer = TRenderer::GetInstance();
  if (!mData || mData->indexCount == 0 || !renderer->Is3d()) return;
  renderer->SetTexture(texture);
  // Kind 0: untransformed vertices with normals, lit by the device. The list only carries
  // the address; the device reads the vertices in this layout.
  TVertexList list{0, reinterpret_cast<const TLVertex*>(mData->vertices.data()), mData->vertexCount};
  renderer->DrawIndexedVertices(D3DPT_TRIANGLELIST, list, mData->indices.data(), mData->indexCount);
}
