#pragma once
// The host integration's part of the window system: the window type "XSellWindow" and the
// movie host behind the window script's "StartMovie". The game's start-up calls it once the
// window manager has its script.

class TWindowManager;

void InstallHostWindows(TWindowManager& windows);
