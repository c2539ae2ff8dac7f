// The animated texture's description readers on arbitrary bytes: the same bytes as an
// ".anm" chunk file and as an ".xml" description, read through the file layer from memory.
// Without a display no sheet loads, so Get answers empty after the description was read;
// a description that loads must have kept its counts within what the file holds.
//   corpus: fuzz/anim_texture/corpus (seeded with tests/fixtures/graphics/anim)

#include <cstddef>
#include <cstdint>

#include "graphics/sprites/anim_texture.h"
#include "platform/file_map.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  for (const char* name : {"fuzz.anm", "fuzz.xml"}) {
    RegisterMemoryFile(name, data, size);
    TAnimatedTexture::Get(name);
    RegisterMemoryFile(name, nullptr, 0);
  }
  return 0;
}
