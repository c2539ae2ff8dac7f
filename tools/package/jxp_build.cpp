// jxp_build FOLDER OUTPUT.jxp: packs every file below FOLDER into a package.

#include <cstdio>
#include <filesystem>
#include <fstream>

#include "package_writer.h"

int main(int argc, char** argv) {
  if (argc != 3) {
    fprintf(stderr, "usage: jxp_build FOLDER OUTPUT.jxp\n");
    return 2;
  }
  std::string folder = argv[1], output = argv[2];
  std::vector<TPackageInput> inputs;
  std::string image, error;
  if (!CollectPackageInputs(folder, output, inputs, &error) || !BuildPackageImage(inputs, image, &error)) {
    fprintf(stderr, "jxp_build: %s\n", error.c_str());
    return 1;
  }
  // Written beside the target first, so a failed write never leaves half a package.
  std::string temporary = output + ".part";
  {
    std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
    out.write(image.data(), std::streamsize(image.size()));
    if (!out) {
      fprintf(stderr, "jxp_build: cannot write '%s'\n", temporary.c_str());
      std::remove(temporary.c_str());
      return 1;
    }
  }
  std::error_code ec;
  std::filesystem::rename(temporary, output, ec);
  if (ec) {
    fprintf(stderr, "jxp_build: cannot write '%s': %s\n", output.c_str(), ec.message().c_str());
    std::remove(temporary.c_str());
    return 1;
  }
  printf("%s: %zu files, %zu bytes\n", output.c_str(), inputs.size(), image.size());
  return 0;
}
