#include "platform/directory_iterator.h"

#include <limits.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstdlib>
#include <cstring>
#include <vector>

TDirectoryIterator::TDirectoryIterator(const char* folder) {
  if (!folder) return;
  mFolder = TString(folder, strnlen(folder, 255));
  mDir = opendir(mFolder.IsEmpty() ? "." : mFolder.c_str());
}

TDirectoryIterator::~TDirectoryIterator() {
  if (mDir) closedir(mDir);
}

bool TDirectoryIterator::Next(TString& name, bool* isFolder) {
  while (mDir) {
    struct dirent* entry = readdir(mDir);
    if (!entry) {
      closedir(mDir);
      mDir = nullptr;
      return false;
    }
    if (!strcmp(entry->d_name, ".") || !strcmp(entry->d_name, "..")) continue;
    bool folder;
    if (entry->d_type == DT_DIR) {
      folder = true;
    } else if (entry->d_type == DT_REG) {
      folder = false;
    } else {
      // Unknown kinds and symbolic links: ask for what they lead to.
      TString path = mFolder;
      if (!path.IsEmpty() && path.CharAt(path.Length() - 1) != '/') path += '/';
      path += entry->d_name;
      folder = IsFolder(path);
    }
    if (folder && !isFolder) continue;
    name = entry->d_name;
    if (isFolder) *isFolder = folder;
    return true;
  }
  return false;
}

TString GetFullPath(const TString& name) {
  if (name.IsEmpty()) return TString();
  if (name.CharAt(0) == '/') return name;
  TString dir = GetCurrentDir();
  if (dir.IsEmpty()) return TString();
  return dir + "/" + name;
}

TString GetCurrentDir() {
  std::vector<char> buffer(1200);
  while (!getcwd(buffer.data(), buffer.size())) {
    if (errno != ERANGE) return TString();
    buffer.resize(buffer.size() * 2);
  }
  return TString(buffer.data());
}

bool IsFolder(const TString& path) {
  struct stat info;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

bool PathAccessible(const TString& path, int accessMode) {
  return !path.IsEmpty() && access(path.c_str(), accessMode) == 0;
}

bool MakeFolder(const TString& path) { return mkdir(path.c_str(), 0755) == 0 || IsFolder(path); }
