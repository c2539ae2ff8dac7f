#pragma once
// Folder listings and path helpers.

#include <dirent.h>

#include "platform/engine_string.h"

class TDirectoryIterator {
 public:
  explicit TDirectoryIterator(const char* folder);
  ~TDirectoryIterator();
  TDirectoryIterator(const TDirectoryIterator&) = delete;
  TDirectoryIterator& operator=(const TDirectoryIterator&) = delete;

  // The next entry; with isFolder null, folders are skipped. "." and ".." never appear.
  bool Next(TString& name, bool* isFolder);

 private:
  TString mFolder;
  DIR* mDir = nullptr;
};

// The absolute form of a path (empty on failure); the file need not exist.
TString GetFullPath(const TString& name);
TString GetCurrentDir();
bool IsFolder(const TString& path);
// Whether a file or folder exists with the given access (R_OK, W_OK ...).
bool PathAccessible(const TString& path, int accessMode);
// Creates one folder; true when it exists afterwards.
bool MakeFolder(const TString& path);
