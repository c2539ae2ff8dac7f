// jxp_list PACKAGE.jxp: prints the package's table, one "offset size name" line per entry.

#include <cstdio>
#include <string>
#include <vector>

#include "platform/file.h"
#include "platform/package.h"

int main(int argc, char** argv) {
  if (argc != 2) {
    fprintf(stderr, "usage: jxp_list PACKAGE.jxp\n");
    return 2;
  }
  std::string image;
  if (!ReadWholeFile(TString("::") + argv[1], image)) {
    fprintf(stderr, "jxp_list: cannot read '%s'\n", argv[1]);
    return 1;
  }
  std::vector<TPackageEntry> entries;
  std::vector<TString> skipped;
  TString error;
  if (!ParsePackageTable(reinterpret_cast<const unsigned char*>(image.data()), image.size(), entries, &error,
                         &skipped)) {
    fprintf(stderr, "jxp_list: '%s' is no usable package: %s\n", argv[1], error.c_str());
    return 1;
  }
  if (!error.IsEmpty()) fprintf(stderr, "jxp_list: %s\n", error.c_str());
  for (const TPackageEntry& entry : entries) printf("%10u %10u %s\n", entry.offset, entry.size, entry.name.c_str());
  for (const TString& name : skipped)
    fprintf(stderr, "jxp_list: entry '%s' lies outside the file\n", name.c_str());
  printf("%zu entries, %zu bytes\n", entries.size(), image.size());
  return skipped.empty() ? 0 : 1;
}
