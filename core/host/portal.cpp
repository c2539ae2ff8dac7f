#include "host/portal.h"

#include "platform/log.h"

namespace {

bool gMsn = false;
bool gZylom = false;
bool gAol = false;

void Start(bool& mode, const char* name) {
  mode = true;
  LogPrintf("Portal mode %s: no portal host is present, the game runs on its own.", name);
}

}  // namespace

void StartMsnPortal() { Start(gMsn, "msn"); }
void StartZylomPortal() { Start(gZylom, "zylom"); }
void StartAolPortal() { Start(gAol, "aol"); }
bool IsMsnPortal() { return gMsn; }
bool IsZylomPortal() { return gZylom; }
bool IsAolPortal() { return gAol; }
uint32_t GetPortalStateWord() { return 0; }
void ResetPortalModes() { gMsn = gZylom = gAol = false; }
