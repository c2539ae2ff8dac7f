#pragma once
// CCutsceneScriptItem: one step of a cutscene: the speaking character's id, a mood, the
// string-table label of the spoken text and an optional sound file.

#include <cstdint>

#include "model/serializable.h"
#include "platform/engine_string.h"

class CCutsceneScriptItem : public ISerializable {
 public:
  // One positional line: the character id, the mood's name, the text and the sound file.
  void Serialize(std::string& out) const override;

  const TString& GetCharacterId() const { return mCharacterId; }
  void SetCharacterId(const TString& id) { mCharacterId = id; }
  // 0: none; see cutscene_moods.h.
  int32_t GetMood() const { return mMood; }
  void SetMood(int32_t mood) { mMood = mood; }
  const TString& GetText() const { return mText; }
  void SetText(const TString& text) { mText = text; }
  // Empty: no sound.
  const TString& GetSoundFile() const { return mSoundFile; }
  void SetSoundFile(const TString& file) { mSoundFile = file; }

 private:
  TString mCharacterId;
  int32_t mMood = 0;
  TString mText;
  TString mSoundFile;
};
