#include "model/cutscene_moods.h"

#include "model/same_bytes.h"

namespace {

const char* const MoodNames[MoodCount] = {
    "normal",  "normal_01",   "normal_02", "happy",      "sad",           "angry",         "angry_01", "angry_02",
    "curious", "surprise",    "nerved",    "nerved_01",  "nerved_02",     "sneering",      "sneering_01",
    "sneering_02", "erubescent", "erubescent_01", "erubescent_02", "snotty", "snotty_01", "snotty_02",
};

}  // namespace

int32_t MoodFromName(const TString& name) {
  for (int32_t i = 0; i < MoodCount; ++i) {
    if (SameBytes(name, MoodNames[i])) return i + 1;
  }
  return 0;
}

const char* MoodName(int32_t mood) { return mood >= 1 && mood <= MoodCount ? MoodNames[mood - 1] : MoodNames[0]; }
