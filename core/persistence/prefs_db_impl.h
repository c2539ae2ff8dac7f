#pragma once
// TPrefsDBImpl: the preferences' storage on SQLite. One transaction is open from opening
// on; a commit is COMMIT then BEGIN, so what was committed survives any crash (WAL with
// full syncs) and another process never sees uncommitted values.
//
//   metaglobals(key, value)          storage-wide values: "lastkey", the plain install key
//   install(id, key)                 one row per installation
//   globals(install_id, key, value)  install-wide values
//   users(id, install_id)            player i of an installation is its i-th row by id
//   user(user_id, key, value)        the values of one player

#include <cstdint>
#include <string>
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
  // Stores bytes, adding players up to user first; false when nothing was stored.
  bool Write(int user, const TString& key, const std::string& bytes);
  int GetUserCount() const { return int(mUserIds.size()); }
  void RemoveUser(int index);
  void Commit();

  bool IsPersistent() const { return mPersistent; }

 private:
  enum Statement {
    SelectMeta, PutMeta, SelectInstall, AddInstall, SelectGlobal, PutGlobal,
    SelectUsers, AddUser, SelectUser, PutUser, DeleteUserValues, DeleteUser, StatementCount
  };

  // Opens, sets up and prepares; the error text (empty on success) with mDb closed.
  TString OpenDatabase(const char* path);
  TString CreateSchema();
  void CloseDatabase();
  void OpenInstallation();
  TString WorkOutInstallKey();
  // Runs a bound statement to its first row or its end; resets it unless a row came.
  // Answers SQLITE_ROW, SQLITE_DONE or the error (logged).
  int Step(Statement which);
  bool Exec(const char* sql);
  void Fail(const char* what);
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
  int64_t mInstallId = 0;
  std::vector<int64_t> mUserIds;
};
