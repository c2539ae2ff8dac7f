#pragma once
// The game's window types: the names by which window scripts create the game's screens.

class TWindowManager;

// Registers the game's 27 window types with the window manager's script.
void RegisterGameWindows(TWindowManager& windows);
