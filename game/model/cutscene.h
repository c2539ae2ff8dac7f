#pragma once
// CCutscene: the model of a dialogue cutscene: a stage background, the font of letters, a
// cast of characters by id and one script of numbered steps. The cutscene window plays the
// script step by step.

#include <cstdint>
#include <map>
#include <memory>
#include <string>

#include "model/cutscene_character.h"
#include "model/cutscene_script.h"
#include "model/scene.h"
#include "platform/engine_string.h"

class CCutscene : public CScene {
 public:
  using Characters = std::map<std::string, std::unique_ptr<CCutsceneCharacter>>;

  CCutscene();
  // Deletes the script, then the cast.
  ~CCutscene() override;

  // True for 11 only.
  bool IsOfType(int modelType) const override;
  // The MakeCutscene record: the scene fields, the stage, the cast in id order, the script.
  void Serialize(std::string& out) const override;

  const TString& GetStageBg() const { return mStageBg; }
  void SetStageBg(const TString& image) { mStageBg = image; }
  const TString& GetLetterFont() const { return mLetterFont; }
  void SetLetterFont(const TString& font) { mLetterFont = font; }
  int32_t GetLetterFontSize() const { return mLetterFontSize; }
  void SetLetterFontSize(int32_t size) { mLetterFontSize = size; }

  // Stores the character under its id, deleting one stored there; a null one is ignored.
  void AddCharacter(std::unique_ptr<CCutsceneCharacter> character);
  CCutsceneCharacter* GetCharacter(const TString& id) const;
  const Characters& GetCharacters() const { return mCharacters; }
  // The first speaker of the steps 1, 2, ... (up to the number of steps) who stands at that
  // stage position, or null.
  CCutsceneCharacter* FindCharacterAtPosition(int32_t position) const;

  // Owns the script, replacing an earlier one; null while there is none.
  void SetScript(std::unique_ptr<CCutsceneScript> script) { mScript = std::move(script); }
  CCutsceneScript* GetScript() const { return mScript.get(); }

 private:
  TString mStageBg;
  // The diary's default font unless the record gives one.
  TString mLetterFont;
  int32_t mLetterFontSize = 30;
  Characters mCharacters;
  std::unique_ptr<CCutsceneScript> mScript;
};
