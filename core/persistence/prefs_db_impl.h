#pragma once
// TPrefsDBImpl: the preferences' storage on SQLite. One transaction is open from opening
// on; a commit is COMMIT then BEGIN, so what was committed survives any crash (WAL with
// full syncs) and another process never sees uncommitted values.
// The changes of the open transaction are also kept here until they are committed: when a
// commit fails (a full disk) and SQLite rolls the transaction back, they are made again in
// a new one, to be committed by the next commit that succeeds.
//
//   metaglobals(key, value)          storage-wide values: "lastkey", the plain install key
//   install(id, key)                 one row per installation
//   globals(install_id, key, value)  install-wide values
//   users(id, install_id)            player i of an installation is its i-th row by id
//   user(user_id, key, value)        the values of one player

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/engine_string.h"

struct sqlite3;
struct sqlite3_stmt;
class TPrefsDB;

class TPrefsDBImpl {
 public:
  TPrefsDBImpl(bool autoCommit, TPrefsDB* owner);
  ~TPrefsDBImpl();
  TPrefsDBImpl(const TPrefsDBImpl&) = delete;
  TPrefsDBImpl& operator=(const TPrefsDBImpl&) = delete;

  // Opens the database at path (falling back to memory), then finds or adds this
  // installation's row under the install key worked out from "install.txt".
  void Open(const TString& path);

  // The stored (enciphered) bytes of key for user (-1: install-wide); false when absent.
  bool Read(int user, const TString& key, std::string& bytes);
  // Stores bytes, adding players up to user first; false when the value is not in the open
  // transaction yet (it is kept and made again at the next commit).
  bool Write(int user, const TString& key, const std::string& bytes);
  int GetUserCount() const { return int(mUserIds.size()); }
  void RemoveUser(int index);
  // False when the changes could not be committed; they stay for the next commit, and the
  // failure is logged once until a commit succeeds again.
  bool Commit();

  bool IsPersistent() const { return mPersistent; }

 private:
  enum Statement {
    SelectMeta, PutMeta, SelectInstall, AddInstall, SelectGlobal, PutGlobal,
    SelectUsers, AddUser, SelectUser, PutUser, DeleteUserValues, DeleteUser, StatementCount
  };

  // One change of the open transaction: a value written, or a player removed.
  struct TChange {
    int user;  // the player index, -1 install-wide; for a removal the index removed
    TString key;
    std::string bytes;
    bool removesUser;
  };

  // Opens, sets up and prepares; the error text (empty on success) with mDb closed.
  TString OpenDatabase(const char* path);
  TString CreateSchema();
  void CloseDatabase();
  void OpenInstallation();
  // Finds or adds the row of mInstallKey and loads its players; answers whether it added.
  bool EnterInstallation();
  TString WorkOutInstallKey();
  void Keep(TChange change);
  void Apply(const TChange& change);
  bool ApplyWrite(int user, const TString& key, const std::string& bytes);
  void ApplyRemoveUser(int index);
  // Rolls back what is left of the open transaction and makes it again from the kept
  // changes; mLost stays set when that failed too.
  void Rebuild();
  // Runs a bound statement to its first row or its end; resets it unless a row came.
  // Answers SQLITE_ROW, SQLITE_DONE or the error (logged).
  int Step(Statement which);
  bool Exec(const char* sql);
  // Logs a failure, once until a commit succeeds again.
  void Fail(const char* what, const char* consequence = nullptr);
  void Begin();
  bool ReadMeta(const char* key, std::string& bytes);
  void LoadUsers();

  bool mAutoCommit;
  TPrefsDB* mOwner;  // non-owning: the TPrefsDB that owns this record and its cipher
  sqlite3* mDb = nullptr;
  sqlite3_stmt* mStatements[StatementCount] = {};
  TString mPath;
  bool mPersistent = false;
  bool mDirty = false;  // this transaction holds writes
  bool mLost = false;     // the open transaction lacks kept changes: a statement failed or rolled back
  bool mFailing = false;  // a failure was logged; quiet until a commit succeeds
  TString mInstallKey;
  int64_t mInstallId = 0;
  std::vector<int64_t> mUserIds;
  std::vector<TChange> mChanges;  // since the last commit that succeeded, in order
  // Where the kept value of a player and lower-case key stands in mChanges, so that a newer
  // value replaces it and a store that keeps failing does not grow; cleared by a removal,
  // which shifts the indexes.
  std::unordered_map<std::string, size_t> mKeptValues;
};
