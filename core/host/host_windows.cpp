#include "host/host_windows.h"

#include "host/flash_host.h"
#include "windows/window_manager.h"

void InstallHostWindows(TWindowManager& windows) { SetMovieHostMaker(&TFlashHost::Make); }
