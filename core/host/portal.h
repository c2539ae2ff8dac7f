#pragma once
// Portal modes: the game run by a portal's host page. No portal host exists in this
// build: switching a mode on records it and says so in the log, and installs no handler.

#include <cstdint>

void StartMsnPortal();
void StartZylomPortal();
void StartAolPortal();
bool IsMsnPortal();
bool IsZylomPortal();
bool IsAolPortal();
// Milliseconds for which the portal host has held the game paused (0 without a host).
uint32_t GetPortalStateWord();
// Teardown: every mode off.
void ResetPortalModes();
