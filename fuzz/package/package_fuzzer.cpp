// The package reader on arbitrary images: the table parser, then a mount from a memory-backed
// file and a read of every entry it entered. Nothing may be read outside the image.

#include <unistd.h>

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/package.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  std::vector<TPackageEntry> entries;
  std::vector<TString> skipped;
  TString error;
  if (ParsePackageTable(data, size, entries, &error, &skipped)) {
    for (const TPackageEntry& e : entries)
      if (uint64_t(e.offset) + e.size > size) __builtin_trap();
  }

  // The full mount path goes through a real, memory-backed file.
  static const std::string path = "/dev/shm/tarvelon-fuzz-" + std::to_string(getpid()) + ".jxp";
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) return 0;
  fwrite(data, 1, size, file);
  fclose(file);
  ClearFileMap();
  ClearPackageTable();
  if (MountPackage(TString(path.c_str()))) {
    std::string out;
    for (const auto& [name, location] : GetFileMap()) {
      ReadWholeFile(name, out, FileReadRaw);
      ReadWholeFile(name, out, FileReadText);
    }
  }
  ClearPackageTable();
  unlink(path.c_str());
  return 0;
}
