// The compressed-XML loader on arbitrary images: headers whose lengths lie, streams that
// zlib refuses. Inputs are taken as ZXML images, with the magic put in front when missing.

#include <cstddef>
#include <cstdint>
#include <string>

#include "platform/string_table.h"
#include "platform/xml_node.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::string image(reinterpret_cast<const char*>(data), size);
  if (image.compare(0, 4, "ZXML") != 0) image.insert(0, "ZXML");
  TXmlNode root;
  root.ParseBuffer(image.data(), image.size(), "fuzz.zxml");
  TStringTable table;
  table.MergeBuffer(image.data(), image.size(), "fuzz.zxml");
  return 0;
}
