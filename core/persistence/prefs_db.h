#pragma once
// TPrefsDB: the persistent key-value store of the installation and its players, kept in
// "user:prefsdb.dat". Keys are plain text (compared without case); values are enciphered
// with the string cipher under the setting "encryptionkey". User -1 addresses the
// install-wide values, 0.. the players in the order they were added.
// Changes reach the disk at each commit (only with autoCommit); until then another
// process sees the values as last committed. A commit that fails (a full disk) answers
// false and logs once; its changes stay in the open transaction, readable, for the next
// commit to try again, and what was committed before stays as it was. Main thread only.

#include <memory>
#include <string>

#include "platform/engine_string.h"

class TStringCipher;
class TPrefsDBImpl;

class TPrefsDB {
 public:
  // Opens (or creates) the store. A file that is no database, or a folder that cannot be
  // written, gives a log line and a store in memory.
  explicit TPrefsDB(bool autoCommit);
  // Commits first with autoCommit, else drops what was not committed.
  ~TPrefsDB();
  TPrefsDB(const TPrefsDB&) = delete;
  TPrefsDB& operator=(const TPrefsDB&) = delete;

  // The value up to its first NUL; def when the key has no row (also for a player index
  // beyond the count, which creates no player). An undecipherable value reads as "".
  TString GetString(const TString& key, const TString& def, int user = -1);
  // Writing to a player index at or beyond the count first adds empty players up to it.
  // The setters answer false when the value is refused, or is not committed although the
  // call commits: then it waits for the next commit.
  bool SetString(const TString& key, const TString& value, int user = -1, bool commit = true);
  // -1 without a row; 0 when the value fits into the buffer (copied); else its length.
  int GetBytes(const TString& key, void* buffer, int bufferSize, int user = -1);
  bool SetBytes(const TString& key, const void* data, int length, int user = -1, bool commit = true);
  // The leading decimal integer of the string value ("%d" of def when absent).
  int GetInt(const TString& key, int def, int user = -1);
  bool SetInt(const TString& key, int value, int user = -1, bool commit = true);

  int GetUserCount();
  // Removes the player at index (later ones move down by one) and commits; an index
  // outside the players changes nothing. Answers the player count afterwards.
  int RemoveUser(int index);
  // False when the commit failed (the changes wait for the next one); true without autoCommit.
  bool Commit();

  // False when the store lives in memory only (the file could not be used).
  bool IsPersistent() const;
  TStringCipher& GetCipher() { return *mCipher; }

  // A player index above this is refused: addressing it would add that many players.
  static constexpr int MaxUserIndex = 999;

 private:
  // The deciphered bytes of a value; false when the key has no row.
  bool ReadValue(const TString& key, int user, std::string& plain);
  bool WriteValue(const TString& key, const void* data, int length, int user, bool commit);

  std::unique_ptr<TStringCipher> mCipher;
  TString mKey;
  bool mAutoCommit;
  std::unique_ptr<TPrefsDBImpl> mImpl;
};
