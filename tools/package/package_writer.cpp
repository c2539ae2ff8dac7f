#include "package_writer.h"

#include <algorithm>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <set>
#include <sstream>

namespace {

constexpr uint64_t MaxPackageSize = 0x7FFFFFFF;  // offsets and sizes stay below 2^31

void PutU32(std::string& out, uint32_t v) {
  for (int i = 0; i < 4; ++i) out.push_back(char(v >> (8 * i) & 0xFF));
}

}  // namespace

bool BuildPackageImage(const std::vector<TPackageInput>& inputs, std::string& image, std::string* error) {
  auto fail = [&](const std::string& message) {
    if (error) *error = message;
    return false;
  };
  uint64_t tableSize = 8;
  std::set<std::string> seen;
  for (const TPackageInput& input : inputs) {
    if (input.name.empty() || input.name.size() > 255)
      return fail("name '" + input.name + "' must have 1 to 255 bytes");
    std::string lower = input.name;
    std::transform(lower.begin(), lower.end(), lower.begin(), [](unsigned char c) { return char(std::tolower(c)); });
    if (!seen.insert(lower).second) return fail("name '" + input.name + "' appears twice (names ignore case)");
    tableSize += 1 + input.name.size() + 8;
  }
  uint64_t total = tableSize;
  for (const TPackageInput& input : inputs) total += input.data.size();
  if (total > MaxPackageSize || inputs.size() > 0x7FFFFFFF) return fail("the package would exceed 2 GB");

  image.clear();
  image.reserve(size_t(total));
  image += "JXPK";
  PutU32(image, uint32_t(inputs.size()));
  uint64_t offset = tableSize;
  for (const TPackageInput& input : inputs) {
    image.push_back(char(input.name.size()));
    image += input.name;
    PutU32(image, uint32_t(offset));
    PutU32(image, uint32_t(input.data.size()));
    offset += input.data.size();
  }
  for (const TPackageInput& input : inputs) image += input.data;
  return true;
}

bool CollectPackageInputs(const std::string& folder, const std::string& skip, std::vector<TPackageInput>& inputs,
                          std::string* error) {
  namespace fs = std::filesystem;
  std::error_code ec;
  inputs.clear();
  if (!fs::is_directory(folder, ec)) {
    if (error) *error = "'" + folder + "' is not a folder";
    return false;
  }
  fs::path skipPath = skip.empty() ? fs::path() : fs::weakly_canonical(skip, ec);
  fs::recursive_directory_iterator it(folder, ec), end;
  for (; !ec && it != end; it.increment(ec)) {
    if (it->is_directory() && it->path().filename() == ".svn") {
      it.disable_recursion_pending();
      continue;
    }
    if (!it->is_regular_file()) continue;
    if (!skipPath.empty() && fs::weakly_canonical(it->path(), ec) == skipPath) continue;
    std::ifstream in(it->path(), std::ios::binary);
    std::stringstream data;
    data << in.rdbuf();
    if (!in) {
      if (error) *error = "cannot read '" + it->path().string() + "'";
      return false;
    }
    inputs.push_back({fs::relative(it->path(), folder).generic_string(), data.str()});
  }
  if (ec) {
    if (error) *error = "cannot list '" + folder + "': " + ec.message();
    return false;
  }
  std::sort(inputs.begin(), inputs.end(), [](const TPackageInput& a, const TPackageInput& b) { return a.name < b.name; });
  return true;
}
