#include "persistence/prefs_db_impl.h"

#include <sqlite3.h>

#include "persistence/prefs_db.h"
#include "persistence/string_cipher.h"
#include "platform/file.h"
#include "platform/log.h"
#include "platform/settings.h"

namespace {

// How long a write waits for another process that holds the database.
constexpr int BusyTimeoutMs = 2000;

const char* const SchemaSql =
    "CREATE TABLE metaglobals(key TEXT COLLATE NOCASE PRIMARY KEY, value BLOB);"
    "CREATE TABLE install(id INTEGER PRIMARY KEY, key TEXT COLLATE NOCASE UNIQUE);"
    "CREATE TABLE globals(install_id INTEGER, key TEXT COLLATE NOCASE, value BLOB,"
    " PRIMARY KEY(install_id, key));"
    "CREATE TABLE users(id INTEGER PRIMARY KEY AUTOINCREMENT, install_id INTEGER);"
    "CREATE TABLE \"user\"(user_id INTEGER REFERENCES users(id) ON DELETE CASCADE,"
    " key TEXT COLLATE NOCASE, value BLOB, PRIMARY KEY(user_id, key));";

const char* const StatementSql[] = {
    "SELECT value FROM metaglobals WHERE key = ?1",
    "INSERT INTO metaglobals(key, value) VALUES(?1, ?2)"
    " ON CONFLICT(key) DO UPDATE SET value = excluded.value",
    "SELECT id FROM install WHERE key = ?1",
    "INSERT INTO install(key) VALUES(?1)",
    "SELECT value FROM globals WHERE install_id = ?1 AND key = ?2",
    "INSERT INTO globals(install_id, key, value) VALUES(?1, ?2, ?3)"
    " ON CONFLICT(install_id, key) DO UPDATE SET value = excluded.value",
    "SELECT id FROM users WHERE install_id = ?1 ORDER BY id",
    "INSERT INTO users(install_id) VALUES(?1)",
    "SELECT value FROM \"user\" WHERE user_id = ?1 AND key = ?2",
    "INSERT INTO \"user\"(user_id, key, value) VALUES(?1, ?2, ?3)"
    " ON CONFLICT(user_id, key) DO UPDATE SET value = excluded.value",
    "DELETE FROM \"user\" WHERE user_id = ?1",
    "DELETE FROM users WHERE id = ?1",
};

void BindText(sqlite3_stmt* s, int index, const TString& text) {
  sqlite3_bind_text(s, index, text.c_str(), int(text.Length()), SQLITE_TRANSIENT);
}

void BindBlob(sqlite3_stmt* s, int index, const std::string& bytes) {
  sqlite3_bind_blob(s, index, bytes.data(), int(bytes.size()), SQLITE_TRANSIENT);
}

// Keys compare as SQLite's NOCASE does: ASCII letters only.
std::string LowerAscii(const TString& text) {
  std::string lower = text.ToStd();
  for (char& c : lower)
    if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
  return lower;
}

std::string ColumnBlob(sqlite3_stmt* s, int column) {
  const void* data = sqlite3_column_blob(s, column);
  int size = sqlite3_column_bytes(s, column);
  return data && size > 0 ? std::string(static_cast<const char*>(data), size_t(size)) : std::string();
}

}  // namespace

TPrefsDBImpl::TPrefsDBImpl(bool autoCommit, TPrefsDB* owner) : mAutoCommit(autoCommit), mOwner(owner) {}

TPrefsDBImpl::~TPrefsDBImpl() {
  if (!mDb) return;
  if (mAutoCommit)
    Commit();
  else if (!sqlite3_get_autocommit(mDb))
    Exec("ROLLBACK");
  CloseDatabase();
}

void TPrefsDBImpl::Open(const TString& path) {
  mPath = path;
  if (path.IsEmpty()) {
    LogPrintf("user:prefsdb.dat: no user data folder; the preferences are kept in memory only");
  } else {
    TString error = OpenDatabase(path.c_str());
    mPersistent = error.IsEmpty();
    // Never touch a file we cannot use: it may be the player's data in some other form.
    if (!mPersistent) LogPrintf("%s: %s; the preferences are kept in memory only", path.c_str(), error.c_str());
  }
  if (!mPersistent) {
    TString error = OpenDatabase(":memory:");
    if (!error.IsEmpty()) {
      LogPrintf("user:prefsdb.dat: no store in memory either: %s", error.c_str());
      CloseDatabase();
      return;
    }
  }
  OpenInstallation();
}

TString TPrefsDBImpl::OpenDatabase(const char* path) {
  CloseDatabase();
  bool ok = sqlite3_open_v2(path, &mDb, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr) == SQLITE_OK;
  if (ok && sqlite3_db_readonly(mDb, "main") == 1) {
    CloseDatabase();
    return "the file is read-only";
  }
  if (ok) {
    sqlite3_busy_timeout(mDb, BusyTimeoutMs);
    // WAL with full syncs: a commit is on disk when COMMIT returns, readers in another
    // process never block this one and see only committed values.
    // A transaction's pages stay in memory until its commit, so a full disk fails the
    // commit alone, which can then be made again from the kept changes.
    ok = Exec("PRAGMA journal_mode=WAL") && Exec("PRAGMA synchronous=FULL") && Exec("PRAGMA foreign_keys=ON") &&
         Exec("PRAGMA cache_spill=OFF") && Exec("BEGIN");
  }
  if (ok) {
    TString error = CreateSchema();
    if (!error.IsEmpty()) {
      CloseDatabase();
      return error;
    }
  }
  for (int i = 0; ok && i < StatementCount; ++i)
    ok = sqlite3_prepare_v2(mDb, StatementSql[i], -1, &mStatements[i], nullptr) == SQLITE_OK;
  if (ok) return TString();
  TString error = mDb ? sqlite3_errmsg(mDb) : "out of memory";
  CloseDatabase();
  return error;
}

TString TPrefsDBImpl::CreateSchema() {
  // Only a new file is written to here: a second process must be able to open a store
  // whose write lock the first one holds.
  sqlite3_stmt* s = nullptr;
  if (sqlite3_prepare_v2(mDb,
                         "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name IN"
                         " ('metaglobals', 'install', 'globals', 'users', 'user')",
                         -1, &s, nullptr) != SQLITE_OK)
    return sqlite3_errmsg(mDb);
  int rc = sqlite3_step(s);
  int tables = rc == SQLITE_ROW ? sqlite3_column_int(s, 0) : -1;
  sqlite3_finalize(s);
  if (tables == 5) return TString();
  // Some tables but not all: not a store of ours; refuse rather than mix.
  if (tables > 0) return "the database holds other tables than the preferences";
  if (tables < 0 || !Exec(SchemaSql) || !Exec("COMMIT") || !Exec("BEGIN")) return sqlite3_errmsg(mDb);
  return TString();
}

void TPrefsDBImpl::CloseDatabase() {
  for (auto& s : mStatements) {
    sqlite3_finalize(s);
    s = nullptr;
  }
  if (mDb) sqlite3_close(mDb);
  mDb = nullptr;
}

bool TPrefsDBImpl::Exec(const char* sql) {
  char* error = nullptr;
  if (sqlite3_exec(mDb, sql, nullptr, nullptr, &error) == SQLITE_OK) return true;
  sqlite3_free(error);
  return false;
}

void TPrefsDBImpl::Fail(const char* what, const char* consequence) {
  // One line while the store keeps failing: a full disk fails every commit.
  if (mFailing) return;
  mFailing = true;
  LogPrintf("%s: %s failed: %s%s%s", mPath.IsEmpty() ? "user:prefsdb.dat" : mPath.c_str(), what,
            mDb ? sqlite3_errmsg(mDb) : "no database", consequence ? "; " : "", consequence ? consequence : "");
}

void TPrefsDBImpl::Begin() {
  if (sqlite3_get_autocommit(mDb) && !Exec("BEGIN")) Fail("BEGIN");
}

int TPrefsDBImpl::Step(Statement which) {
  sqlite3_stmt* s = mStatements[which];
  int rc = sqlite3_step(s);
  if ((rc & 0xFF) == SQLITE_BUSY && !mDirty && !sqlite3_get_autocommit(mDb)) {
    // Another process committed since this transaction began reading; holding no writes
    // of its own, the transaction can start afresh on the newer state.
    sqlite3_reset(s);
    Exec("ROLLBACK");
    Begin();
    rc = sqlite3_step(s);
  }
  if (rc == SQLITE_ROW) return rc;
  if (rc == SQLITE_DONE) {
    if (!sqlite3_stmt_readonly(s)) mDirty = true;
  } else {
    Fail(StatementSql[which]);
    // A write that failed is missing from the transaction, and some failures roll all of
    // it back: the kept changes are made again before the next commit.
    if (!sqlite3_stmt_readonly(s) || sqlite3_get_autocommit(mDb)) mLost = true;
  }
  sqlite3_reset(s);
  if (rc != SQLITE_DONE) Begin();
  return rc;
}

bool TPrefsDBImpl::ReadMeta(const char* key, std::string& bytes) {
  sqlite3_stmt* s = mStatements[SelectMeta];
  BindText(s, 1, key);
  bool found = Step(SelectMeta) == SQLITE_ROW;
  if (found) bytes = ColumnBlob(s, 0);
  sqlite3_reset(s);
  return found;
}

TString TPrefsDBImpl::WorkOutInstallKey() {
  TStringCipher& cipher = mOwner->GetCipher();
  TString key = "unknown";
  TFilePtr file = FileOpen("install.txt", FileReadRaw);
  if (!file) {
    TString name = GetConfig("installkey");
    name.MakeLower();
    return cipher.EncryptString(name.IsEmpty() ? TString("unknown") : name);
  }
  int64_t size = file->GetSize();
  std::string text(size_t(size > 0 ? size : 0), '\0');
  text.resize(file->Read(text.data(), text.size()));
  if (!text.empty()) {
    TString name(text.c_str());  // up to the first NUL, not trimmed
    name.MakeLower();
    return cipher.EncryptString(name);
  }
  // An empty "install.txt" keeps the installation of the previous start.
  std::string last;
  if (ReadMeta("lastkey", last)) key = TString(last.c_str());
  return key;
}

void TPrefsDBImpl::OpenInstallation() {
  mInstallKey = WorkOutInstallKey();
  if (EnterInstallation() && mAutoCommit) Commit();
}

bool TPrefsDBImpl::EnterInstallation() {
  std::string stored, wanted(mInstallKey.c_str(), mInstallKey.Length() + 1);
  // An unchanged "lastkey" is not rewritten, so opening alone takes no write lock.
  if (!ReadMeta("lastkey", stored) || stored != wanted) {
    sqlite3_stmt* s = mStatements[PutMeta];
    BindText(s, 1, "lastkey");
    BindBlob(s, 2, wanted);
    Step(PutMeta);
  }

  bool added = false;
  sqlite3_stmt* s = mStatements[SelectInstall];
  BindText(s, 1, mInstallKey);
  if (Step(SelectInstall) == SQLITE_ROW) {
    mInstallId = sqlite3_column_int64(s, 0);
    sqlite3_reset(s);
  } else {
    sqlite3_stmt* add = mStatements[AddInstall];
    BindText(add, 1, mInstallKey);
    if (Step(AddInstall) != SQLITE_DONE) return false;
    mInstallId = sqlite3_last_insert_rowid(mDb);
    added = true;
  }
  LoadUsers();
  return added;
}

void TPrefsDBImpl::LoadUsers() {
  mUserIds.clear();
  sqlite3_stmt* s = mStatements[SelectUsers];
  sqlite3_bind_int64(s, 1, mInstallId);
  while (Step(SelectUsers) == SQLITE_ROW) mUserIds.push_back(sqlite3_column_int64(s, 0));
}

bool TPrefsDBImpl::Read(int user, const TString& key, std::string& bytes) {
  if (!mDb || user < -1 || user >= GetUserCount()) return false;
  Statement which = user < 0 ? SelectGlobal : SelectUser;
  sqlite3_stmt* s = mStatements[which];
  sqlite3_bind_int64(s, 1, user < 0 ? mInstallId : mUserIds[size_t(user)]);
  BindText(s, 2, key);
  bool found = Step(which) == SQLITE_ROW;
  if (found) bytes = ColumnBlob(s, 0);
  sqlite3_reset(s);
  return found;
}

bool TPrefsDBImpl::Write(int user, const TString& key, const std::string& bytes) {
  if (!mDb || user < -1) return false;
  Keep({user, key, bytes, false});
  return ApplyWrite(user, key, bytes);
}

void TPrefsDBImpl::RemoveUser(int index) {
  if (!mDb || index < 0 || index >= GetUserCount()) return;
  Keep({index, TString(), std::string(), true});
  ApplyRemoveUser(index);
}

void TPrefsDBImpl::Keep(TChange change) {
  if (change.removesUser) {
    mKeptValues.clear();
    mChanges.push_back(std::move(change));
    return;
  }
  std::string id = std::to_string(change.user) + ':' + LowerAscii(change.key);
  auto kept = mKeptValues.find(id);
  if (kept != mKeptValues.end()) {
    mChanges[kept->second].bytes = std::move(change.bytes);
    return;
  }
  mKeptValues.emplace(std::move(id), mChanges.size());
  mChanges.push_back(std::move(change));
}

void TPrefsDBImpl::Apply(const TChange& change) {
  if (change.removesUser)
    ApplyRemoveUser(change.user);
  else
    ApplyWrite(change.user, change.key, change.bytes);
}

bool TPrefsDBImpl::ApplyWrite(int user, const TString& key, const std::string& bytes) {
  while (user >= GetUserCount()) {
    sqlite3_bind_int64(mStatements[AddUser], 1, mInstallId);
    if (Step(AddUser) != SQLITE_DONE) return false;
    mUserIds.push_back(sqlite3_last_insert_rowid(mDb));
  }
  Statement which = user < 0 ? PutGlobal : PutUser;
  sqlite3_stmt* s = mStatements[which];
  sqlite3_bind_int64(s, 1, user < 0 ? mInstallId : mUserIds[size_t(user)]);
  BindText(s, 2, key);
  BindBlob(s, 3, bytes);
  return Step(which) == SQLITE_DONE;
}

void TPrefsDBImpl::ApplyRemoveUser(int index) {
  if (index < 0 || index >= GetUserCount()) return;
  int64_t id = mUserIds[size_t(index)];
  sqlite3_bind_int64(mStatements[DeleteUserValues], 1, id);
  Step(DeleteUserValues);
  sqlite3_bind_int64(mStatements[DeleteUser], 1, id);
  Step(DeleteUser);
  mUserIds.erase(mUserIds.begin() + index);
}

void TPrefsDBImpl::Rebuild() {
  if (!sqlite3_get_autocommit(mDb)) Exec("ROLLBACK");
  mDirty = false;
  mLost = false;
  Begin();
  EnterInstallation();
  for (const TChange& change : mChanges) Apply(change);
}

bool TPrefsDBImpl::Commit() {
  if (!mDb) return false;
  if (mLost) Rebuild();
  if (!mLost && (sqlite3_get_autocommit(mDb) || Exec("COMMIT"))) {
    mChanges.clear();
    mKeptValues.clear();
    mDirty = false;
    mFailing = false;
    Begin();
    return true;
  }
  if (!mLost) Fail("COMMIT", "the changes wait for the next commit");
  // A failed COMMIT has mostly rolled the transaction back: the kept changes go into a new
  // one at once, so that reads still see them.
  if (sqlite3_get_autocommit(mDb)) Rebuild();
  return false;
}
