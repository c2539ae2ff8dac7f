#include "platform/zxml.h"

#include <zlib.h>

#include <cstring>

#include "platform/log.h"

namespace {

constexpr size_t HeaderSize = 12;

uint32_t ReadU32(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

void WriteU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char(v >> (8 * i) & 0xFF));
}

}  // namespace

bool IsZxmlImage(const void* data, size_t size) { return size >= 4 && memcmp(data, "ZXML", 4) == 0; }

bool DecodeZxml(const void* data, size_t size, std::string& text, const TString& sourceName) {
  text.clear();
  const unsigned char* bytes = static_cast<const unsigned char*>(data);
  if (!IsZxmlImage(data, size) || size < HeaderSize) {
    LogPrintf("%s: ZXML image truncated in its header", sourceName.c_str());
    return false;
  }
  uint32_t packed = ReadU32(bytes + 4);
  uint32_t unpacked = ReadU32(bytes + 8);
  // The header's lengths are only claims: both are bounded before anything is allocated.
  if (packed > size - HeaderSize) {
    LogPrintf("%s: ZXML image claims %u compressed bytes but holds %zu", sourceName.c_str(), packed,
              size - HeaderSize);
    return false;
  }
  if (unpacked > MaxZxmlTextSize) {
    LogPrintf("%s: ZXML image claims %u bytes of text, more than %zu", sourceName.c_str(), unpacked,
              MaxZxmlTextSize);
    return false;
  }
  text.resize(unpacked);
  uLongf produced = unpacked;
  int result = uncompress(reinterpret_cast<Bytef*>(text.data()), &produced, bytes + HeaderSize, packed);
  if (result != Z_OK) {
    LogPrintf("%s: ZXML image does not decompress (zlib error %d)", sourceName.c_str(), result);
    text.clear();
    return false;
  }
  text.resize(produced);
  return true;
}

std::string EncodeZxml(const std::string& text) {
  uLongf bound = compressBound(text.size());
  std::string packed(bound, '\0');
  compress2(reinterpret_cast<Bytef*>(packed.data()), &bound, reinterpret_cast<const Bytef*>(text.data()),
            text.size(), Z_BEST_COMPRESSION);
  packed.resize(bound);
  std::string image = "ZXML";
  WriteU32(image, uint32_t(packed.size()));
  WriteU32(image, uint32_t(text.size()));
  return image + packed;
}
