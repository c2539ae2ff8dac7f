#pragma once
// The platform's answer to the host integration (IHostPlatform): cursors, the main window,
// the browser. The platform object installs it for its lifetime.

class IHostPlatform;

IHostPlatform& PlatformHostLink();
