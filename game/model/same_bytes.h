#pragma once
// Byte-for-byte text equality for ids and names: the collation that TString comparisons may
// go through would join ids that scripts and records keep apart.

#include <cstring>
#include <string>

#include "platform/engine_string.h"

inline bool SameBytes(const TString& a, const TString& b) {
  return a.Length() == b.Length() && memcmp(a.c_str(), b.c_str(), a.Length()) == 0;
}

inline bool SameBytes(const TString& a, const char* b) {
  return a.Length() == strlen(b) && memcmp(a.c_str(), b, a.Length()) == 0;
}

// The text's bytes as a map key (ordered byte-wise).
inline std::string BytesOf(const TString& text) { return std::string(text.c_str(), text.Length()); }
