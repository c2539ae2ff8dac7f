#include "scenes/game_flow.h"

namespace {
IGameFlow* gGameFlow = nullptr;  // non-owning: the flow installs and removes itself
}  // namespace

bool gShuttingDown = false;

IGameFlow* GetGameFlow() { return gGameFlow; }

void SetGameFlow(IGameFlow* flow) { gGameFlow = flow; }
