#pragma once
// TDllCollateHandler: the optional collation library "jxlocale.so" beside the executable. When
// it exports "jxCollate" (int jxCollate(const char* a, const char* b): negative, 0 or
// positive for two NUL-terminated UTF-8 texts), every comparison of engine strings goes
// through it, so that names sort by the rules of the player's language; without it texts
// compare as bytes.

#include <cstdint>
#include <memory>
#include <string>

#include "platform/os/shared_library.h"

class TDllCollateHandler {
 public:
  using TCollate = int32_t (*)(const char* a, const char* b);

  TDllCollateHandler(TSharedLibrary library, TCollate collate)
      : mLibrary(std::move(library)), mCollate(collate) {}

  int32_t Compare(const char* a, const char* b) const { return mCollate(a, b); }

 private:
  TSharedLibrary mLibrary;  // closed with the handler
  TCollate mCollate;
};

// The handler of "jxlocale.so" in the folder (with a final "/"), or null when the library is
// missing or lacks "jxCollate" (it is closed again then).
std::unique_ptr<TDllCollateHandler> CreateCollateHandler(const std::string& folder);

// Makes the engine string's comparison try the library in the folder (the executable's when
// empty) once, at its first comparison; the handler then stays for the process.
void InstallCollationLibrary(const std::string& folder = std::string());
