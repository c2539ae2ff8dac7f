#include "model/cutscene_character.h"

#include "model/cutscene_moods.h"
#include "model/record_writer.h"

void CCutsceneCharacter::Serialize(std::string& out) const {
  CRecordWriter record("MakeCutsceneCharacter");
  std::string& text = record.Buffer();
  // The id and name lines have no blank before their equals sign.
  text += "\tid= ";
  AppendLuaString(text, mId);
  text += ",\n\tname= ";
  AppendLuaString(text, mName);
  text += ",\n";
  record.Number("position", mPosition);
  record.Number("offsetX", mOffsetX);
  if (!mImages.empty()) {
    text += "\timages = { ";
    for (const auto& [mood, file] : mImages) {
      text += MoodName(mood);
      text += " = ";
      AppendLuaString(text, file);
      text += ", ";
    }
    text += "}\n";
  }
  record.Finish(out);
}

const TString* CCutsceneCharacter::GetImage(int32_t mood) const {
  auto it = mImages.find(mood);
  return it == mImages.end() ? nullptr : &it->second;
}
