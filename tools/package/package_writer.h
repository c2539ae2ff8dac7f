#pragma once
// Writes packages (".jxp"): "JXPK", a signed 32-bit entry count, the table (length byte,
// name, u32 offset, u32 size per entry, little-endian), then the files' data in table order.

#include <string>
#include <vector>

struct TPackageInput {
  std::string name;  // asset name with "/" separators, 1 to 255 bytes
  std::string data;
};

// The package image of the inputs; false with *error set when a name is empty or longer
// than 255 bytes, appears twice, or the package would reach 2 GB.
bool BuildPackageImage(const std::vector<TPackageInput>& inputs, std::string& image, std::string* error);

// Reads every file below folder (names relative to it, sorted) into inputs. Folders named
// ".svn" and the file skip (when given) are left out. False with *error when the folder
// cannot be listed or a file cannot be read.
bool CollectPackageInputs(const std::string& folder, const std::string& skip, std::vector<TPackageInput>& inputs,
                          std::string* error);
