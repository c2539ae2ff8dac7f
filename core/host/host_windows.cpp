#include "host/host_windows.h"

#include "host/flash_host.h"
#include "host/xsell_window.h"
#include "windows/window_manager.h"

void InstallHostWindows(TWindowManager& windows) {
  windows.RegisterWindowType("XSellWindow", &TXSellWindow::Create);
  SetMovieHostMaker(&TFlashHost::Make);
}
