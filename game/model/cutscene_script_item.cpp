#include "model/cutscene_script_item.h"

#include "model/cutscene_moods.h"
#include "model/record_writer.h"

void CCutsceneScriptItem::Serialize(std::string& out) const {
  out += "\t{ ";
  AppendLuaString(out, mCharacterId);
  out += ", ";
  AppendLuaString(out, MoodName(mMood));
  out += ", ";
  AppendLuaString(out, mText);
  out += ", ";
  AppendLuaString(out, mSoundFile);
  out += " },\n";
}
