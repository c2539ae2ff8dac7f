// The XML reader on arbitrary text: it must absorb anything, and what it read must write
// out and read back again.

#include <cstddef>
#include <cstdint>

#include "platform/xml_node.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  TXmlNode root;
  // Plain text only: ZXML images have a target of their own.
  if (size >= 4 && data[0] == 'Z' && data[1] == 'X' && data[2] == 'M' && data[3] == 'L') return 0;
  root.ParseBuffer(reinterpret_cast<const char*>(data), size, "fuzz.xml");
  TString written = root.Write();
  TXmlNode again;
  again.ParseString(written.c_str());
  return 0;
}
