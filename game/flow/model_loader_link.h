#pragma once
// The model loader (the Make functions that build the model from its Lua text), as the
// settings object drives it while a player's texts run: the model compositor.

// The model loader exists from just before a player's texts run until just after.
void RecreateModelLoader();
void DestroyModelLoader();
