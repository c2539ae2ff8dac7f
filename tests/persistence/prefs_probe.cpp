// A second process on the preferences store, for the tests: reads values, or commits a
// burst of values until it is killed, reporting each commit on stdout.
//   prefs_probe <user folder> <key> get <name> <user>
//   prefs_probe <user folder> <key> count
//   prefs_probe <user folder> <key> burst <first>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "persistence/prefs_db.h"
#include "platform/file_map.h"
#include "platform/settings.h"

int main(int argc, char** argv) {
  if (argc < 4) return 2;
  SetConfig("encryptionkey", argv[2]);
  SetDataFolders(argv[1], "", "");
  TPrefsDB prefs(true);
  if (!strcmp(argv[3], "get") && argc == 6) {
    printf("%s\n", prefs.GetString(argv[4], "<default>", atoi(argv[5])).c_str());
  } else if (!strcmp(argv[3], "count")) {
    printf("%d\n", prefs.GetUserCount());
  } else if (!strcmp(argv[3], "burst") && argc == 5) {
    for (int i = atoi(argv[4]); i < 1000000; ++i) {
      if (!prefs.SetInt(TString::Printf("k%d", i), i, -1, true)) return 1;  // only commits that held
      printf("%d\n", i);
      fflush(stdout);
    }
  } else {
    return 2;
  }
  return 0;
}
