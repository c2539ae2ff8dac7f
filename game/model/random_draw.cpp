#include "model/random_draw.h"

#include "platform/timer.h"

void SeedGameRandFromWallClock() { GameSrand(uint32_t(GetWallTime())); }

int DrawIndex(int size) { return size < 1 ? 0 : GameRand() % size; }
