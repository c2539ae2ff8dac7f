// Golden images: 32-bit pixels compared with, or (with TARVELON_UPDATE_GOLDEN=1 in
// the environment) written to, PNG files under tests/golden/.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

// True when this run stores images as the new goldens (TARVELON_UPDATE_GOLDEN=1).
bool IsUpdatingGoldens();
bool WriteGoldenPng(const std::string& path, const std::vector<uint32_t>& argb, uint32_t width, uint32_t height);
bool ReadGoldenPng(const std::string& path, std::vector<uint32_t>& argb, uint32_t& width, uint32_t& height);
// Compares with the stored image (or stores it); returns an empty string on a match,
// else what differs.
std::string MatchGolden(const std::string& relativePath, const std::vector<uint32_t>& argb, uint32_t width, uint32_t height);
