// The ".mesh" reader on arbitrary bytes, read through the file layer from memory. A mesh it
// accepts has its counts agree with its arrays and every index below the vertex count.
//   corpus: fuzz/mesh/corpus (seeded with tests/fixtures/graphics/mesh)

#include <cstddef>
#include <cstdint>

#include "graphics/sprites/mesh.h"
#include "platform/file_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  RegisterMemoryFile("fuzz.mesh", data, size);
  auto model = TModel::Get("fuzz.mesh");
  RegisterMemoryFile("fuzz.mesh", nullptr, 0);
  if (!model) return 0;
  const TMeshData* mesh = model->GetData();
  if (!mesh || mesh->vertices.size() != mesh->vertexCount || mesh->indices.size() != mesh->indexCount ||
      mesh->indexCount % 3 != 0)
    __builtin_trap();
  for (uint16_t index : mesh->indices)
    if (index >= mesh->vertexCount) __builtin_trap();
  return 0;
}
