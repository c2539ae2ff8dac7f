#include "model/cutscene.h"

#include "model/diary.h"
#include "model/model_types.h"
#include "model/record_writer.h"
#include "model/same_bytes.h"

CCutscene::CCutscene() : mLetterFont(TDiary::DefaultFontFile) {}

CCutscene::~CCutscene() {
  mScript.reset();
  mCharacters.clear();
}

bool CCutscene::IsOfType(int modelType) const { return modelType == ModelCutscene; }

void CCutscene::Serialize(std::string& out) const {
  CRecordWriter record("MakeCutscene");
  CScene::Serialize(record.Buffer());
  record.String("stageBg", mStageBg);
  record.String("letterFont", mLetterFont);
  record.QuotedNumber("letterFontSize", mLetterFontSize);
  for (const auto& entry : mCharacters) record.Nested(*entry.second);
  if (mScript) record.Nested(*mScript);
  record.Finish(out);
}

void CCutscene::AddCharacter(std::unique_ptr<CCutsceneCharacter> character) {
  if (character) {
    std::string id = BytesOf(character->GetId());
    mCharacters[id] = std::move(character);
  }
}

CCutsceneCharacter* CCutscene::GetCharacter(const TString& id) const {
  auto it = mCharacters.find(BytesOf(id));
  return it == mCharacters.end() ? nullptr : it->second.get();
}

CCutsceneCharacter* CCutscene::FindCharacterAtPosition(int32_t position) const {
  if (!mScript) return nullptr;
  const CCutsceneScript::Items& items = mScript->GetItems();
  for (size_t step = 1; step <= items.size(); ++step) {
    auto item = items.find(int32_t(step));
    if (item == items.end()) continue;
    CCutsceneCharacter* character = GetCharacter(item->second->GetCharacterId());
    if (character && character->GetPosition() == position) return character;
  }
  return nullptr;
}
