#pragma once
// TDiaryMeasure: the diary's sizes taken from the text layout and the textures that the
// diary pages draw with, so that an entry takes on its page the room it is laid out for.
// The game's start-up installs it (SetDiaryMeasure) before a player is chosen.

#include "model/diary.h"

class TDiaryMeasure : public IDiaryMeasure {
 public:
  // The height of the laid-out lines, rounded up.
  int32_t GetTextHeight(const TString& text, const TString& fontFile, int32_t fontSize, int32_t width) override;
  // The size of the texture of that name (loaded, and kept in the asset cache).
  bool GetImageSize(const TString& name, int32_t& width, int32_t& height) override;
};
