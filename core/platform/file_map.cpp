#include "platform/file_map.h"

#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <set>
#include <vector>

#include "platform/directory_iterator.h"
#include "platform/file.h"
#include "platform/package.h"
#include "platform/settings.h"

namespace {

struct TFolders {
  std::map<TString, TFileLocation> fileMap;
  std::set<TString> exclusions;
  TString user, common, desktop;
  TString assets = "assets";
};

TFolders& State() {
  static TFolders state;
  return state;
}

TString Lower(TString text) { return text.MakeLower(); }

bool StartsWith(const TString& text, const char* prefix) { return strncmp(text.c_str(), prefix, strlen(prefix)) == 0; }

// A prefixed name must stay inside its folder: no ".." component.
bool ClimbsOut(const TString& rest) {
  const char* p = rest.c_str();
  while (*p) {
    const char* end = p;
    while (*end && *end != '/') ++end;
    if (end - p == 2 && p[0] == '.' && p[1] == '.') return true;
    p = *end ? end + 1 : end;
  }
  return false;
}

TString JoinFolder(const TString& folder, const TString& rest) {
  if (folder.IsEmpty()) return TString();
  return folder + "/" + rest;
}

void ScanFolder(const TString& folder, const TString& keyPrefix) {
  MountPackages(folder);
  std::vector<std::pair<TString, bool>> entries;
  TDirectoryIterator listing(folder.c_str());
  TString name;
  bool isFolder = false;
  while (listing.Next(name, &isFolder)) entries.emplace_back(name, isFolder);
  std::sort(entries.begin(), entries.end());
  for (const auto& [entry, folderEntry] : entries) {
    TString lower = Lower(entry);
    TString key = keyPrefix + lower;
    if (State().exclusions.count(key)) continue;
    // Disk paths keep their case; only the key is lower case.
    TString path = folder + "/" + entry;
    if (folderEntry) {
      if (lower == ".svn") continue;
      ScanFolder(path, key + "/");
    } else {
      State().fileMap[key] = TFileLocation::OnDisk(path);
    }
  }
}

}  // namespace

TString TFileLocation::Describe() const {
  switch (kind) {
    case Disk: return path;
    case Memory: return TString::Printf("&%p,%llu", address, (unsigned long long)size);
    case Package: return TString::Printf("@%d:%llu,%llu", package, (unsigned long long)offset, (unsigned long long)size);
    default: return TString();
  }
}

TFileLocation ResolveLocation(const TString& name, bool mustExist) {
  TString lower = Lower(name);
  auto& state = State();
  auto it = state.fileMap.find(lower);
  if (it != state.fileMap.end() && it->second.IsValid()) return it->second;

  if (StartsWith(lower, "::")) {
    TString path = name.Substr(2);
    return PathAccessible(path, R_OK) && !IsFolder(path) ? TFileLocation::OnDisk(path) : TFileLocation();
  }
  if (mustExist && state.exclusions.count(lower)) return TFileLocation();

  static const struct {
    const char* prefix;
    TString TFolders::*folder;
  } Prefixes[] = {{"user:", &TFolders::user}, {"common:", &TFolders::common}, {"desktop:", &TFolders::desktop}};
  for (const auto& p : Prefixes) {
    if (!StartsWith(lower, p.prefix)) continue;
    TString rest = name.Substr(uint32_t(strlen(p.prefix)));
    if (ClimbsOut(rest)) return TFileLocation();
    TString path = JoinFolder(state.*p.folder, rest);
    if (path.IsEmpty()) return TFileLocation();
    if (mustExist && (!PathAccessible(path, R_OK | W_OK) || IsFolder(path))) return TFileLocation();
    // Not cached: a name resolved for writing may not exist yet, and a file may go away.
    return TFileLocation::OnDisk(path);
  }
  if (StartsWith(lower, "assets/") || StartsWith(lower, "assets\\")) return ResolveLocation(name.Substr(7), false);
  return TFileLocation();
}

TString ResolvePath(const TString& name, bool mustExist) {
  TFileLocation location = ResolveLocation(name, mustExist);
  return location.kind == TFileLocation::Disk ? location.path : location.Describe();
}

void LoadFileExclusions(const TString& text, bool add) {
  auto& exclusions = State().exclusions;
  const char* p = text.c_str();
  auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r'; };
  while (*p) {
    while (*p && blank(*p)) ++p;
    const char* start = p;
    while (*p && !blank(*p)) ++p;
    if (p == start) break;
    TString word = Lower(TString(start, size_t(p - start)));
    if (word == "-*")
      exclusions.clear();
    else if (add)
      exclusions.insert(word);
    else
      exclusions.erase(word);
  }
}

bool IsFileAllowed(const TString& name) { return State().exclusions.count(Lower(name)) == 0; }

void ClearFileExclusions() { State().exclusions.clear(); }

void InitAssetFolders() {
  TString list = IsEnabled("firstpeek") ? "::firstpeek.txt" : "::final.txt";
  TFilePtr file = FileOpen(list, FileReadRaw);
  if (file) {
    int64_t size = file->GetSize();
    if (size > 0 && size < 100000) {
      std::string text(size_t(size), '\0');
      if (file->Read(text.data(), text.size()) == text.size()) LoadFileExclusions(TString(text), true);
    }
  }
  ScanAssetFolder(GetAssetFolder(), "");
  if (GetConfig("activex") != "1") {
    if (!GetUserFolder().IsEmpty()) ScanAssetFolder(GetUserFolder(), "user:");
    if (!GetCommonFolder().IsEmpty()) ScanAssetFolder(GetCommonFolder(), "common:");
  }
}

void ScanAssetFolder(const TString& folder, const TString& prefix) {
  TString keyPrefix = Lower(prefix);
  if (keyPrefix == ".") keyPrefix = "";
  if (prefix.IsEmpty()) {
    // Names are relative to the asset folder: its sub-folder "sub" gives "sub/...".
    TString lowerFolder = Lower(folder);
    TString assets = Lower(GetAssetFolder());
    if (lowerFolder == assets)
      keyPrefix = "";
    else if (StartsWith(lowerFolder, (assets + "/").c_str()))
      keyPrefix = lowerFolder.Substr(assets.Length() + 1) + "/";
    else
      keyPrefix = lowerFolder + "/";
  }
  ScanFolder(folder, keyPrefix);
}

void RegisterMemoryFile(const TString& name, const void* address, size_t size) {
  if (address)
    State().fileMap[Lower(name)] = TFileLocation::InMemory(address, size);
  else
    State().fileMap.erase(Lower(name));
}

void SetFileMapEntry(const TString& name, const TFileLocation& location) { State().fileMap[Lower(name)] = location; }

TFileLocation GetFileMapEntry(const TString& name) {
  auto it = State().fileMap.find(Lower(name));
  return it == State().fileMap.end() ? TFileLocation() : it->second;
}

void ClearFileMap() { State().fileMap.clear(); }

std::map<TString, TFileLocation> GetFileMap() { return State().fileMap; }

void SetDataFolders(const TString& user, const TString& common, const TString& desktop) {
  State().user = user;
  State().common = common;
  State().desktop = desktop;
}

TString GetUserFolder() { return State().user; }
TString GetCommonFolder() { return State().common; }
TString GetDesktopFolder() { return State().desktop; }
TString GetAssetFolder() { return State().assets; }
void SetAssetFolder(const TString& folder) { State().assets = folder; }

namespace {

TString EnvFolder(const char* name) {
  const char* value = getenv(name);
  return value && value[0] == '/' ? TString(value) : TString();
}

// Creates every missing folder along an absolute path.
bool MakeFolders(const TString& path) {
  for (int at = path.Find('/', 0, 1); at > 0; at = path.Find('/', 0, uint32_t(at) + 1))
    MakeFolder(path.Substr(0, at));
  return MakeFolder(path);
}

}  // namespace

TString GetDataFolder(bool common, const TString& gameName) {
  if (gameName.IsEmpty()) return TString();
  TString base = EnvFolder("XDG_DATA_HOME");
  if (base.IsEmpty()) {
    TString home = EnvFolder("HOME");
    if (home.IsEmpty()) return TString();
    base = home + "/.local/share";
  }
  TString folder = base + "/" + GetConfig("publisher", "Wendrock") + "/" + gameName;
  if (common) folder += "/common";
  return MakeFolders(folder) ? folder : TString();
}

TString GetDesktopPath() {
  TString desktop = EnvFolder("XDG_DESKTOP_DIR");
  TString home = EnvFolder("HOME");
  if (desktop.IsEmpty() && !home.IsEmpty()) {
    // ~/.config/user-dirs.dirs holds a line XDG_DESKTOP_DIR="$HOME/Desktop".
    std::string text;
    TString config = EnvFolder("XDG_CONFIG_HOME");
    if (config.IsEmpty()) config = home + "/.config";
    if (ReadWholeFile("::" + config + "/user-dirs.dirs", text)) {
      TString all(text);
      int at = all.Find("XDG_DESKTOP_DIR=\"");
      if (at >= 0) {
        TString value = all.Substr(uint32_t(at) + 17);
        int end = value.Find('"');
        if (end >= 0) value = value.Substr(0, end);
        value.Replace("$HOME", home, ReplaceAll);
        if (IsFolder(value)) desktop = value;
      }
    }
  }
  if (desktop.IsEmpty()) desktop = home;
  if (desktop.IsEmpty()) return TString();
  TString full = GetFullPath(desktop);
  if (full.IsEmpty()) return TString();
  if (full.CharAt(full.Length() - 1) != '/') full += '/';
  return full;
}
