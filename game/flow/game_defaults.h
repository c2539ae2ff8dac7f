#pragma once
// The game's defaults: the settings it stores before the engine starts, the renderer
// options it sets at start-up, and its identifiers for the highscore and medal service.

#include <cstdint>

#include "platform/engine_string.h"

// Writes the game's default settings, in a fixed order, into the settings map.
void SetGameDefaults();
// Switches the renderer options the game draws with on.
void SetRendererDefaults();

// The score table of a game mode: -1 gives the game's handle, 0 and 1 the two modes;
// any other mode gives "".
TString GetGameModeTableName(int32_t mode);
// The identifiers of the two medals (index 0 and 1); "" for any other index.
TString GetGameMedalName(int32_t index);
