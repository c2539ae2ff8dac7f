#pragma once
// The window manager's host over the running platform: the engine hands it to the window
// manager it makes (TEngineStart::makeWindowManager), so the window system reaches the
// platform without including it.

#include <memory>

#include "windows/window_host.h"

// The host over the running platform (GetPlatform()); without one it answers as a
// display that is not there.
std::unique_ptr<IWindowHost> MakePlatformWindowHost();
