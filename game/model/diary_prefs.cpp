// The per-player values of TDiary in the preferences database: three integers, then the
// ordinary and the constant entries, each as 56 bytes of little-endian words with its
// font file and id beside it.

#include "model/diary.h"
#include "model/model_services.h"
#include "persistence/prefs_db.h"
#include "platform/log.h"

namespace {

TString Key(const char* stem, const char* list, size_t index) {
  return TString::Printf("Diary_%s%s%zu", stem, list, index);
}

void SaveEntries(TPrefsDB& db, int user, const char* list, const std::vector<TDiaryEntry>& entries) {
  db.SetInt(TString("Diary_numberOf") + list, int(entries.size()), user, false);
  for (size_t i = 0; i < entries.size(); ++i) {
    unsigned char bytes[TDiaryEntry::ByteSize];
    for (int word = 0; word < TDiaryEntry::WordCount; ++word) {
      uint32_t value = uint32_t(entries[i].words[word]);
      for (int b = 0; b < 4; ++b) bytes[word * 4 + b] = uint8_t(value >> (8 * b));
    }
    db.SetBytes(Key("", list, i), bytes, TDiaryEntry::ByteSize, user, false);
    db.SetString(Key("fontFilename_", list, i), entries[i].fontFile, user, false);
    db.SetString(Key("id_", list, i), entries[i].id, user, false);
  }
}

// Reads as many entries as the count names and the store holds; a stored entry of the
// wrong length is taken as far as it goes, its missing words 0.
void LoadEntries(TPrefsDB& db, int user, const char* list, std::vector<TDiaryEntry>& entries) {
  entries.clear();
  int count = db.GetInt(TString("Diary_numberOf") + list, 0, user);
  for (int i = 0; i < count; ++i) {
    TString key = Key("", list, size_t(i));
    int length = db.GetBytes(key, nullptr, 0, user);
    if (length < 0) {
      LogPrintf("Diary: %s is missing; %d of %d entries are read", key.c_str(), i, count);
      return;
    }
    std::string bytes(size_t(length), '\0');
    if (length > 0) db.GetBytes(key, bytes.data(), length, user);
    if (length != TDiaryEntry::ByteSize)
      LogPrintf("Diary: %s holds %d bytes, not %d; missing words read as 0", key.c_str(), length,
                TDiaryEntry::ByteSize);
    bytes.resize(TDiaryEntry::ByteSize, '\0');
    TDiaryEntry entry;
    for (int word = 0; word < TDiaryEntry::WordCount; ++word) {
      uint32_t value = 0;
      for (int b = 0; b < 4; ++b) value |= uint32_t(uint8_t(bytes[size_t(word * 4 + b)])) << (8 * b);
      entry.words[word] = int32_t(value);
    }
    entry.fontFile = db.GetString(Key("fontFilename_", list, size_t(i)), TDiary::DefaultFontFile, user);
    entry.id = db.GetString(Key("id_", list, size_t(i)), "", user);
    entries.push_back(entry);
  }
}

}  // namespace

void TDiary::SaveToPrefs() {
  WithPlayerPrefs("Diary", "the diary is not saved", [this](TPrefsDB& db, int user) { SaveValues(db, user); });
}

void TDiary::LoadFromPrefs() {
  WithPlayerPrefs("Diary", "the diary is not loaded", [this](TPrefsDB& db, int user) { LoadValues(db, user); });
}

void TDiary::SaveValues(TPrefsDB& db, int user) {
  db.SetInt("Diary_Current_Insert_Site", int(mCurrentInsertSite), user, false);
  db.SetInt("Diary_Last_Used_Y_On_Site", mLastUsedYOnSite, user, false);
  db.SetInt("Diary_Current_Watched_site", int(mCurrentWatchedSite), user, false);
  SaveEntries(db, user, "Content", mContent);
  SaveEntries(db, user, "ConstantContent", mConstantContent);
  db.Commit();
}

void TDiary::LoadValues(TPrefsDB& db, int user) {
  mCurrentInsertSite = uint32_t(db.GetInt("Diary_Current_Insert_Site", 0, user));
  mLastUsedYOnSite = db.GetInt("Diary_Last_Used_Y_On_Site", 0, user);
  mCurrentWatchedSite = uint32_t(db.GetInt("Diary_Current_Watched_site", 0, user));
  LoadEntries(db, user, "Content", mContent);
  LoadEntries(db, user, "ConstantContent", mConstantContent);
  // Whether an ordinary entry stands on the insert site is not saved; assuming one costs
  // at most a site for an entry too tall for a page.
  mInsertSiteFresh = mContent.empty();
}
