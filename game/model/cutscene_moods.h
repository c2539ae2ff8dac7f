#pragma once
// The moods of cutscene characters: the numbers 1 to 22 and their names, which choose a
// character's picture and stand in the model text; 0 is no mood.

#include <cstdint>

#include "platform/engine_string.h"

constexpr int32_t MoodNormal = 1;
constexpr int32_t MoodCount = 22;

// The number of the name, compared byte for byte; 0 for any other text.
int32_t MoodFromName(const TString& name);
// The name of the number; "normal" for a number outside 1 to 22 (the writer has no name for
// it, and "normal" is the mood in which the stage first shows a character).
const char* MoodName(int32_t mood);
