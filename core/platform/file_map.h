#pragma once
// The file map: the process-wide table from lower-case asset name ("/" separators) to
// location, filled at start-up by scanning the asset folder and mounting its packages.
// Main thread only.

#include <map>

#include "platform/engine_string.h"
#include "platform/file_location.h"

// The location of a name, or an invalid one. Asset names are looked up in the file map;
// "user:", "common:", "desktop:" and "::" names are resolved to disk paths (with
// mustExist the file must exist and be readable). A prefixed name cannot climb out of
// its folder with "..". "assets/" in front of an asset name is ignored.
TFileLocation ResolveLocation(const TString& name, bool mustExist);
// The disk path of a name; for memory and package locations their descriptive text.
// Empty when the name does not resolve.
TString ResolvePath(const TString& name, bool mustExist);

// Start-up scan: the exclusion list ("final.txt", or "firstpeek.txt" with the setting
// "firstpeek"), then the asset folder, then (unless "activex" is "1") the user and common
// folders.
void InitAssetFolders();
// Mounts the folder's packages, then enters every file below it. With an empty prefix
// names are relative to the asset folder; else they are prefix + the path below folder.
void ScanAssetFolder(const TString& folder, const TString& prefix);
// Splits text at white space; "-*" empties the set; other words (lower-cased) are added
// or removed.
void LoadFileExclusions(const TString& text, bool add);
bool IsFileAllowed(const TString& name);
void ClearFileExclusions();

// Maps a name to a memory block that the caller keeps alive; a null address removes it.
void RegisterMemoryFile(const TString& name, const void* address, size_t size);
// Enters one name (lower-cased) directly.
void SetFileMapEntry(const TString& name, const TFileLocation& location);
// The location entered for a name (lower-cased), or an invalid one.
TFileLocation GetFileMapEntry(const TString& name);
void ClearFileMap();
// A copy of the map, for listings and tests.
std::map<TString, TFileLocation> GetFileMap();

// The three data folders behind "user:", "common:" and "desktop:" (empty: unset).
void SetDataFolders(const TString& user, const TString& common, const TString& desktop);
TString GetUserFolder();
TString GetCommonFolder();
TString GetDesktopFolder();
// The asset folder that start-up scans ("assets", relative to the working folder).
TString GetAssetFolder();
void SetAssetFolder(const TString& folder);

// The player's ($XDG_DATA_HOME/publisher/game) or the machine-wide (the same + "/common")
// data folder, created when missing; empty on failure. The publisher is the setting
// "publisher" (default "Wendrock").
TString GetDataFolder(bool common, const TString& gameName);
// $XDG_DESKTOP_DIR, the desktop of ~/.config/user-dirs.dirs, or $HOME; with a final "/".
TString GetDesktopPath();
