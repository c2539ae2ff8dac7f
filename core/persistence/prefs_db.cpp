#include "persistence/prefs_db.h"

#include <cstring>

#include "persistence/prefs_db_impl.h"
#include "persistence/string_cipher.h"
#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/settings.h"

TPrefsDB::TPrefsDB(bool autoCommit) : mAutoCommit(autoCommit) {
  mKey = GetConfig("encryptionkey");
  if (mKey.IsEmpty()) LogPrintf("ERROR: No encryption key set before TPrefsDB construction!");
  mCipher = std::make_unique<TStringCipher>(mKey);
  TString path = ResolvePath("user:prefsdb.dat", false);
  mImpl = std::make_unique<TPrefsDBImpl>(autoCommit, this);
  mImpl->Open(path);
}

TPrefsDB::~TPrefsDB() {
  // The record commits (or rolls back) with the cipher still alive.
  mImpl.reset();
}

bool TPrefsDB::ReadValue(const TString& key, int user, std::string& plain) {
  std::string stored;
  if (!mImpl->Read(user, key, stored)) return false;
  plain = mCipher->DecryptBytes(stored.data(), int(stored.size()));
  return true;
}

bool TPrefsDB::WriteValue(const TString& key, const void* data, int length, int user, bool commit) {
  if (user > MaxUserIndex || user < -1) {
    LogPrintf("TPrefsDB: player %d is out of range; \"%s\" is not stored", user, key.c_str());
    return false;
  }
  if (length < 0) length = 0;
  bool stored = mImpl->Write(user, key, mCipher->EncryptBytes(data, length));
  // A commit that succeeds has made a value again that the write could not store.
  if (commit && mAutoCommit) return mImpl->Commit();
  return stored;
}

TString TPrefsDB::GetString(const TString& key, const TString& def, int user) {
  std::string plain;
  if (!ReadValue(key, user, plain)) return def;
  return TString(plain.c_str());
}

bool TPrefsDB::SetString(const TString& key, const TString& value, int user, bool commit) {
  return WriteValue(key, value.c_str(), int(value.Length()) + 1, user, commit);
}

int TPrefsDB::GetBytes(const TString& key, void* buffer, int bufferSize, int user) {
  std::string plain;
  if (!ReadValue(key, user, plain)) return -1;
  if (!buffer || bufferSize < 0 || plain.size() > size_t(bufferSize)) return int(plain.size());
  if (!plain.empty()) memcpy(buffer, plain.data(), plain.size());
  return 0;
}

bool TPrefsDB::SetBytes(const TString& key, const void* data, int length, int user, bool commit) {
  return WriteValue(key, data, length, user, commit);
}

int TPrefsDB::GetInt(const TString& key, int def, int user) {
  return GetString(key, TString::Printf("%d", def), user).ToInt();
}

bool TPrefsDB::SetInt(const TString& key, int value, int user, bool commit) {
  return SetString(key, TString::Printf("%d", value), user, commit);
}

int TPrefsDB::GetUserCount() { return mImpl->GetUserCount(); }

int TPrefsDB::RemoveUser(int index) {
  if (index < 0 || index >= mImpl->GetUserCount()) return mImpl->GetUserCount();
  mImpl->RemoveUser(index);
  if (mAutoCommit) mImpl->Commit();
  return mImpl->GetUserCount();
}

bool TPrefsDB::Commit() { return !mAutoCommit || mImpl->Commit(); }

bool TPrefsDB::IsPersistent() const { return mImpl->IsPersistent(); }
