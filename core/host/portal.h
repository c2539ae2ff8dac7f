#pragma once
// Portal modes: the game run inside a game portal's page. The engine connects the host
// channel ("-wnd=") and hands it over before it reads the portal switches; each switch then
// installs a TMsnZylomHandler on the game state. Without a host channel the switches are
// inert: no mode is set and no handler installed, so the game runs on its own.

#include <cstdint>

class THostChannel;

// The host channel of the running game (a non-owning link; null: none). The owner clears it
// before the channel goes.
void SetPortalHostChannel(THostChannel* channel);
THostChannel* GetPortalHostChannel();

// "-msn" (and "-pq=" after the options), "-zylom", "-aol": each installs its own handler.
void StartMsnPortal();
void StartZylomPortal();
void StartAolPortal();
bool IsMsnPortal();
bool IsZylomPortal();
// Milliseconds for which the portal host has held the game waiting, in MSN or Zylom mode;
// the engine's timer subtracts them so that its clocks stand still meanwhile.
uint32_t GetPortalStateWord();

// The millisecond tick counter of the portal (the system's monotonic clock); tests install a
// fake, null restores the system's.
using TPortalTickSource = uint32_t (*)();
void SetPortalTickSource(TPortalTickSource source);

// Teardown: every mode off, the whole portal state as at start, the channel link cleared.
void ResetPortalModes();
