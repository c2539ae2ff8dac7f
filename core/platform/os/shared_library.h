#pragma once
// TSharedLibrary: a library loaded at run time (the test hook, game-state modules, the
// collation library). Closing it invalidates every symbol taken from it.

#include <string>

class TSharedLibrary {
 public:
  TSharedLibrary() = default;
  ~TSharedLibrary();
  TSharedLibrary(const TSharedLibrary&) = delete;
  TSharedLibrary& operator=(const TSharedLibrary&) = delete;
  TSharedLibrary(TSharedLibrary&& other) noexcept;
  TSharedLibrary& operator=(TSharedLibrary&& other) noexcept;

  // Loads the library at path; false (with the loader's message in Error) when it cannot.
  bool Open(const std::string& path);
  void Close();
  bool IsOpen() const { return mHandle != nullptr; }
  // The address of an exported symbol, or null.
  void* Symbol(const char* name) const;
  const std::string& Error() const { return mError; }

 private:
  void* mHandle = nullptr;
  std::string mError;
};
