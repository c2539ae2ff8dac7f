#pragma once
// Compressed XML ("ZXML"): the four bytes "ZXML", a u32 compressed length and a u32
// text length (little-endian), then a zlib stream of the text.

#include <cstddef>
#include <string>

#include "platform/engine_string.h"

// Images larger than this once inflated are refused as corrupt.
constexpr size_t MaxZxmlTextSize = 64u << 20;

bool IsZxmlImage(const void* data, size_t size);
// Inflates an image of size bytes. A header whose lengths do not fit the image or the cap,
// or a stream that zlib refuses, logs one line naming the source and answers false.
bool DecodeZxml(const void* data, size_t size, std::string& text, const TString& sourceName);
// The ZXML image of a text (used by the tests and content tools).
std::string EncodeZxml(const std::string& text);
