// The game's entry. The window, renderer and game model come with their subsystems; until
// then it starts what exists of the engine (settings, log, files, strings) on assets/ and
// says on stdout what it loaded.

#include <unistd.h>

#include <cstdio>
#include <string>

#include "platform/asset.h"
#include "platform/command_line.h"
#include "platform/directory_iterator.h"
#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/random.h"
#include "platform/settings.h"
#include "platform/string_table.h"
#include "platform/timer.h"

namespace {

const char GameName[] = "Tarvelon";
const char GameVersion[] = "V. 1.0";

// The game's own defaults, stored before the engine starts.
void StoreGameDefaults() {
  SetConfig("gamename", GameName);
  SetConfig("version", GameVersion);
  SetConfig("publisher", "Wendrock");
}

// The engine finds assets/ beside the executable: its folder becomes the working folder.
void EnterProgramFolder() {
  std::string self(4096, '\0');
  ssize_t n = readlink("/proc/self/exe", self.data(), self.size() - 1);
  if (n <= 0) return;
  self.resize(size_t(n));
  size_t slash = self.rfind('/');
  if (slash != std::string::npos && chdir(self.substr(0, slash).c_str()) != 0)
    fprintf(stderr, "tarvelon: cannot enter %s\n", self.substr(0, slash).c_str());
}

TString WithoutFinalSlash(TString path) {
  if (path.Length() > 1 && path.CharAt(path.Length() - 1) == '/') path.Erase(path.Length() - 1, 1);
  return path;
}

}  // namespace

int main(int argc, char** argv) {
  StoreGameDefaults();
  TCommandLine line = TCommandLine::FromArguments(argc, argv);
  TString startupDir = GetCurrentDir();
  EnterProgramFolder();

  TString gameName = GetConfig("gamename", GameName);
  TString user = GetDataFolder(false, gameName);
  TString common = GetDataFolder(true, gameName);
  TString desktop = WithoutFinalSlash(GetDesktopPath());
  SetDataFolders(user, common.IsEmpty() ? user : common, desktop.IsEmpty() ? user : desktop);
  if (!line.WorkingFolder().IsEmpty()) {
    LogPrintf("Switching current directory to: %s", line.WorkingFolder().c_str());
    if (chdir(line.WorkingFolder().c_str()) != 0) fprintf(stderr, "tarvelon: no folder %s\n", line.WorkingFolder().c_str());
  }
  if (!user.IsEmpty()) OpenLogFile(user.c_str());

  // The settings in their load order: defaults, engine values, settings.xml, command line.
  TRandom random;
  ReseedAtStartup(random);
  TAssetManager assets;
  TStringTable strings;
  SetAssetManager(&assets);
  SetStringTable(&strings);
  SetConfig("memorymax", "100000000");
  SetConfig("texturememorymax", "100000000");
  ApplyEarlyCommandLine(line);
  SetConfig("computerid", MakeComputerId());
  bool settingsLoaded = LoadSettingsFile("::assets/settings.xml");
  InitAssetFolders();
  bool stringsLoaded = LoadStringTables(strings);
  SetConfig("buildtag", "tarvelon");
  LogPrintf("%s, version %s.", gameName.c_str(), GetConfig("version").c_str());
  SetConfig("installkey", GetCurrentDir());
  SetConfig("startupdir", startupDir);
  ApplyCommandLineSettings(line);

  printf("%s %s\n", gameName.c_str(), GetConfig("version").c_str());
  printf("settings: %s, %zu values\n", settingsLoaded ? "assets/settings.xml" : "defaults only (no assets/settings.xml)",
         GetAllConfig().size());
  printf("files: %zu names in the asset folders\n", GetFileMap().size());
  printf("strings: %s, %zu texts\n", stringsLoaded ? "strings.xml" : "none (strings.xml missing)", strings.Size());
  printf("log: %s\n", GetLogPath().IsEmpty() ? "off" : GetLogPath().c_str());
  printf("%s\n", strings.GetString("GREETING", GetConfig("windowtitle", gameName)).c_str());
  printf("%s\n", strings.GetString("NO_SCREEN_YET").c_str());

  SetStringTable(nullptr);
  SetAssetManager(nullptr);
  ClearConfig();
  ClearFileMap();
  return 0;
}
