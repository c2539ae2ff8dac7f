#include "persistence/prefs_db.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <spawn.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "persistence/full_disk_vfs.h"
#include "persistence/persistence_test_util.h"
#include "persistence/string_cipher.h"
#include "platform/file_location.h"
#include "platform/file_map.h"
#include "platform/settings.h"

extern char** environ;

namespace {

// A child process running the probe with its stdout on a pipe.
struct TProbe {
  pid_t pid = -1;
  FILE* out = nullptr;

  explicit TProbe(const std::vector<std::string>& args) {
    int fds[2];
    if (pipe(fds) != 0) return;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_adddup2(&actions, fds[1], 1);
    posix_spawn_file_actions_addclose(&actions, fds[0]);
    std::vector<char*> argv;
    std::string program = PREFS_PROBE;
    argv.push_back(program.data());
    std::vector<std::string> copy = args;
    for (auto& a : copy) argv.push_back(a.data());
    argv.push_back(nullptr);
    if (posix_spawn(&pid, program.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid = -1;
    posix_spawn_file_actions_destroy(&actions);
    close(fds[1]);
    out = fdopen(fds[0], "r");
  }
  ~TProbe() {
    if (pid > 0) {
      kill(pid, SIGKILL);
      waitpid(pid, nullptr, 0);
    }
    if (out) fclose(out);
  }
  // The next line without its line feed; false at the end.
  bool ReadLine(std::string& line) {
    char buffer[256];
    if (!out || !fgets(buffer, sizeof buffer, out)) return false;
    line = buffer;
    if (!line.empty() && line.back() == '\n') line.pop_back();
    return true;
  }
  int Wait() {
    int status = 0;
    waitpid(pid, &status, 0);
    pid = -1;
    return status;
  }
};

class PrefsDBTest : public ::testing::Test {
 protected:
  TPersistenceSandbox sandbox;

  std::string ProbeGet(const char* key, int user) {
    TProbe probe({sandbox.UserFolder().ToStd(), TestKey, "get", key, std::to_string(user)});
    std::string line;
    EXPECT_TRUE(probe.ReadLine(line));
    EXPECT_EQ(probe.Wait(), 0);
    return line;
  }

  // Runs one query on the database file and answers its rows, columns joined with "|".
  std::vector<std::string> Query(const char* sql) {
    std::vector<std::string> rows;
    sqlite3* db = nullptr;
    sqlite3_open_v2(sandbox.UserPath("prefsdb.dat").c_str(), &db, SQLITE_OPEN_READONLY, nullptr);
    sqlite3_stmt* s = nullptr;
    if (sqlite3_prepare_v2(db, sql, -1, &s, nullptr) == SQLITE_OK) {
      while (sqlite3_step(s) == SQLITE_ROW) {
        std::string row;
        for (int c = 0; c < sqlite3_column_count(s); ++c) {
          if (c) row += "|";
          if (sqlite3_column_type(s, c) == SQLITE_BLOB)
            row += Hex(sqlite3_column_blob(s, c), size_t(sqlite3_column_bytes(s, c)));
          else
            row += reinterpret_cast<const char*>(sqlite3_column_text(s, c));
        }
        rows.push_back(row);
      }
    }
    sqlite3_finalize(s);
    sqlite3_close(db);
    return rows;
  }
};

}  // namespace

TEST_F(PrefsDBTest, FreshStoreGetsLastKeyAndOneInstallRow) {
  SetConfig("installkey", "C:\\Games\\Tarvelon");
  TString installKey = TStringCipher(TestKey).EncryptString("c:\\games\\tarvelon");
  {
    TPrefsDB prefs(true);
    EXPECT_TRUE(prefs.IsPersistent());
    EXPECT_EQ(prefs.GetUserCount(), 0);
  }
  std::string lastKey = Hex(installKey.c_str(), installKey.Length() + 1);
  EXPECT_EQ(Query("SELECT key, value FROM metaglobals"), std::vector<std::string>{"lastkey|" + lastKey});
  EXPECT_EQ(Query("SELECT id, key FROM install"), std::vector<std::string>{"1|" + installKey.ToStd()});
  { TPrefsDB again(true); }
  EXPECT_EQ(Query("SELECT count(*) FROM install"), std::vector<std::string>{"1"});

  SetConfig("installkey", "");
  { TPrefsDB other(true); }
  TString unknown = TStringCipher(TestKey).EncryptString("unknown");
  EXPECT_EQ(Query("SELECT key FROM install ORDER BY id"),
            (std::vector<std::string>{installKey.ToStd(), unknown.ToStd()}));
  EXPECT_EQ(Query("SELECT hex(value) FROM metaglobals")[0].size(), 2 * (unknown.Length() + 1));
}

TEST_F(PrefsDBTest, InstallFileChoosesTheInstallation) {
  SetConfig("installkey", "first");
  {
    TPrefsDB prefs(true);
    prefs.SetString("where", "first", -1);
  }
  // An empty "install.txt" takes the installation of the last start.
  TString installFile = sandbox.Root() + "/install.txt";
  WriteBytes(installFile, "");
  SetFileMapEntry("install.txt", TFileLocation::OnDisk(installFile));
  SetConfig("installkey", "second");
  {
    TPrefsDB prefs(true);
    EXPECT_EQ(prefs.GetString("where", "", -1).ToStd(), "first");
  }
  // Its text is the installation's name, lower-cased and not trimmed.
  WriteBytes(installFile, "My Install\n");
  {
    TPrefsDB prefs(true);
    EXPECT_EQ(prefs.GetString("where", "none", -1).ToStd(), "none");
  }
  EXPECT_EQ(Query("SELECT key FROM install WHERE id = 2"),
            std::vector<std::string>{TStringCipher(TestKey).EncryptString("my install\n").ToStd()});
}

TEST_F(PrefsDBTest, StoredValueIsTheEncipheredTextAndNul) {
  {
    TPrefsDB prefs(true);
    prefs.SetString("name", "Anna", 0);
    prefs.SetInt("level", 12, -1);
  }
  EXPECT_EQ(Query("SELECT key, value FROM \"user\""), std::vector<std::string>{"name|cc1f963a12af411a"});
  TStringCipher cipher(TestKey);
  std::string twelve(16, '\0');
  cipher.Encrypt("12", 3, twelve.data(), 16, false);
  EXPECT_EQ(Query("SELECT key, value FROM globals"), std::vector<std::string>{"level|" + Hex(twelve.data(), 8)});
}

TEST_F(PrefsDBTest, ValuesPersistAcrossRuns) {
  const unsigned char blob[] = {0, 1, 2, 0xFF, 0, 0x80, 7, 8, 9};
  {
    TPrefsDB prefs(true);
    prefs.SetString("fullscreen", "1", -1);
    prefs.SetString("name", "Anna", 0);
    prefs.SetString("name", "Bert", 1);
    prefs.SetInt("score", -42, 1);
    prefs.SetBytes("blob", blob, sizeof blob, 1);
    prefs.SetString("Name", "Berta", 1);  // keys compare without case
  }
  TPrefsDB prefs(true);
  EXPECT_EQ(prefs.GetUserCount(), 2);
  EXPECT_EQ(prefs.GetString("FULLSCREEN", "", -1).ToStd(), "1");
  EXPECT_EQ(prefs.GetString("name", "", 0).ToStd(), "Anna");
  EXPECT_EQ(prefs.GetString("name", "", 1).ToStd(), "Berta");
  EXPECT_EQ(prefs.GetInt("score", 0, 1), -42);
  EXPECT_EQ(prefs.GetString("score", "", 1).ToStd(), "-42");
  unsigned char back[16] = {};
  EXPECT_EQ(prefs.GetBytes("blob", back, sizeof blob, 1), 0);
  EXPECT_EQ(memcmp(back, blob, sizeof blob), 0);
  // One byte too small: the length, nothing copied.
  unsigned char small[8];
  memset(small, 0xAA, sizeof small);
  EXPECT_EQ(prefs.GetBytes("blob", small, sizeof blob - 1, 1), int(sizeof blob));
  EXPECT_EQ(small[0], 0xAA);
  EXPECT_EQ(prefs.GetBytes("missing", back, sizeof back, 1), -1);
  EXPECT_EQ(prefs.GetInt("missing", 7, 0), 7);
  EXPECT_EQ(prefs.GetString("missing", "def", -1).ToStd(), "def");
  EXPECT_EQ(prefs.GetInt("name", 5, 0), 0);  // not numeric
}

TEST_F(PrefsDBTest, PlayersAreAddressedByIndex) {
  TPrefsDB prefs(true);
  prefs.SetString("name", "Anna", 0);
  // A read beyond the players gives the default and adds nobody.
  EXPECT_EQ(prefs.GetString("name", "none", 3).ToStd(), "none");
  EXPECT_EQ(prefs.GetBytes("name", nullptr, 0, 3), -1);
  EXPECT_EQ(prefs.GetUserCount(), 1);
  // A write beyond them adds empty players up to it.
  prefs.SetString("name", "Dora", 3);
  EXPECT_EQ(prefs.GetUserCount(), 4);
  EXPECT_EQ(prefs.GetString("name", "none", 2).ToStd(), "none");

  EXPECT_EQ(prefs.RemoveUser(4), 4);
  EXPECT_EQ(prefs.RemoveUser(-1), 4);
  EXPECT_EQ(prefs.RemoveUser(0), 3);
  EXPECT_EQ(prefs.GetString("name", "none", 2).ToStd(), "Dora");
  EXPECT_EQ(prefs.GetString("name", "none", 0).ToStd(), "none");
  EXPECT_EQ(ProbeGet("name", 2), "Dora");
  EXPECT_EQ(Query("SELECT count(*) FROM \"user\""), std::vector<std::string>{"1"});
}

// A player index far beyond the players would add every player up to it.
TEST_F(PrefsDBTest, WriteToAbsurdPlayerIndexIsRefused) {
  TPrefsDB prefs(true);
  prefs.SetString("name", "x", 2000000000);
  prefs.SetString("name", "x", -5);
  EXPECT_EQ(prefs.GetUserCount(), 0);
  EXPECT_NE(sandbox.Log().find("TPrefsDB: player 2000000000 is out of range; \"name\" is not stored"),
            std::string::npos);
  prefs.SetString("name", "y", TPrefsDB::MaxUserIndex);
  EXPECT_EQ(prefs.GetUserCount(), TPrefsDB::MaxUserIndex + 1);
}

TEST_F(PrefsDBTest, SecondProcessSeesOnlyCommittedValues) {
  TPrefsDB prefs(true);
  prefs.SetString("a", "committed", -1, true);
  prefs.SetString("a", "changed", -1, false);
  prefs.SetString("b", "pending", -1, false);
  EXPECT_EQ(prefs.GetString("a", "", -1).ToStd(), "changed");
  EXPECT_EQ(ProbeGet("a", -1), "committed");
  EXPECT_EQ(ProbeGet("b", -1), "<default>");
  prefs.Commit();
  EXPECT_EQ(ProbeGet("a", -1), "changed");
  EXPECT_EQ(ProbeGet("b", -1), "pending");
}

TEST_F(PrefsDBTest, WithoutAutoCommitNothingReachesTheDisk) {
  { TPrefsDB setup(true); }
  {
    TPrefsDB prefs(false);
    prefs.SetString("a", "value", -1, true);
    prefs.Commit();
    EXPECT_EQ(ProbeGet("a", -1), "<default>");
  }
  TPrefsDB prefs(true);
  EXPECT_EQ(prefs.GetString("a", "rolled back", -1).ToStd(), "rolled back");
}

TEST_F(PrefsDBTest, UndecipherableValuesReadEmpty) {
  {
    TPrefsDB prefs(true);
    prefs.SetString("name", "Anna", -1);
    prefs.SetInt("count", 5, -1);
  }
  SetConfig("encryptionkey", "AnotherKey99");
  SetConfig("installkey", "");
  // The install key is enciphered too: keep the old installation through an empty file.
  TString installFile = sandbox.Root() + "/install.txt";
  WriteBytes(installFile, "");
  SetFileMapEntry("install.txt", TFileLocation::OnDisk(installFile));
  TPrefsDB prefs(true);
  // Under this key both values decipher to a bad padding.
  EXPECT_EQ(prefs.GetString("name", "default", -1).ToStd(), "");
  EXPECT_EQ(prefs.GetInt("count", 9, -1), 0);
}

// A damaged value that is no whole number of blocks is deciphered within its own buffer.
TEST_F(PrefsDBTest, DamagedShortValueStaysInBounds) {
  { TPrefsDB prefs(true); prefs.SetString("name", "Anna", -1); }
  sqlite3* db = nullptr;
  sqlite3_open(sandbox.UserPath("prefsdb.dat").c_str(), &db);
  sqlite3_exec(db, "UPDATE globals SET value = x'0102030405'", nullptr, nullptr, nullptr);
  sqlite3_close(db);
  TPrefsDB prefs(true);
  char buffer[16];
  int result = prefs.GetBytes("name", buffer, sizeof buffer, -1);
  EXPECT_GE(result, 0);
  EXPECT_LE(prefs.GetString("name", "", -1).Length(), 8u);
}

TEST_F(PrefsDBTest, EmptyKeyIsLoggedAndStillWorks) {
  SetConfig("encryptionkey", "");
  {
    TPrefsDB prefs(true);
    prefs.SetString("name", "Anna", 0);
  }
  EXPECT_NE(sandbox.Log().find("ERROR: No encryption key set before TPrefsDB construction!"), std::string::npos);
  EXPECT_EQ(Query("SELECT value FROM \"user\""), std::vector<std::string>{"04b598cfe4cc03f0"});
  TPrefsDB prefs(true);
  EXPECT_EQ(prefs.GetString("name", "", 0).ToStd(), "Anna");
}

TEST_F(PrefsDBTest, FileThatIsNoDatabaseIsKeptAndMemoryUsed) {
  std::string garbage = "this is not a database, but it may be somebody's data\n";
  garbage.resize(4096, 'x');
  WriteBytes(sandbox.UserPath("prefsdb.dat"), garbage);
  {
    TPrefsDB prefs(true);
    EXPECT_FALSE(prefs.IsPersistent());
    prefs.SetString("name", "Anna", 0);
    EXPECT_EQ(prefs.GetString("name", "", 0).ToStd(), "Anna");
    EXPECT_EQ(prefs.GetUserCount(), 1);
  }
  std::string expected = sandbox.UserPath("prefsdb.dat").ToStd() +
                         ": file is not a database; the preferences are kept in memory only";
  EXPECT_NE(sandbox.Log().find(expected), std::string::npos) << sandbox.Log();
  EXPECT_EQ(ReadBytes(sandbox.UserPath("prefsdb.dat")), garbage);
}

TEST_F(PrefsDBTest, UnwritableFolderFallsBackToMemory) {
  // A folder path that runs through a plain file cannot be written, even by root.
  TString blocker = sandbox.Root() + "/blocker";
  WriteBytes(blocker, "file");
  SetDataFolders(blocker + "/folder", "", "");
  TPrefsDB prefs(true);
  EXPECT_FALSE(prefs.IsPersistent());
  prefs.SetInt("soundlevel", 80, -1);
  EXPECT_EQ(prefs.GetInt("soundlevel", 0, -1), 80);
  EXPECT_NE(sandbox.Log().find("the preferences are kept in memory only"), std::string::npos);

  SetDataFolders("", "", "");
  TPrefsDB noFolder(true);
  EXPECT_FALSE(noFolder.IsPersistent());
  EXPECT_NE(sandbox.Log().find("user:prefsdb.dat: no user data folder"), std::string::npos);
}

// A writer killed in the middle of a burst of commits: every reopen finds each value whose
// commit it reported.
TEST_F(PrefsDBTest, CommittedValuesSurviveKill) {
  { TPrefsDB setup(true); }
  int next = 0;
  for (int round = 0; round < 5; ++round) {
    int lastReported = -1;
    {
      TProbe probe({sandbox.UserFolder().ToStd(), TestKey, "burst", std::to_string(next)});
      std::string line;
      int wanted = 5 + round * 7;
      for (int n = 0; n < wanted && probe.ReadLine(line); ++n) lastReported = std::stoi(line);
    }  // killed here, mid-burst
    ASSERT_GE(lastReported, next);
    TPrefsDB prefs(true);
    for (int i = 0; i <= lastReported; ++i) ASSERT_EQ(prefs.GetInt(TString::Printf("k%d", i), -1, -1), i) << i;
    next = lastReported + 1;
  }
  EXPECT_EQ(Query("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}

namespace {

size_t Count(const std::string& text, const std::string& part) {
  size_t n = 0;
  for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1)) ++n;
  return n;
}

}  // namespace

// Commits on a full disk failed silently and rolled back: the store went on reporting
// commits while only the values from before survived.
TEST_F(PrefsDBTest, AFullDiskKeepsTheChangesForTheNextCommit) {
  TFullDiskVfs disk;
  TPrefsDB prefs(true);
  ASSERT_TRUE(prefs.IsPersistent());
  ASSERT_TRUE(prefs.SetString("early", "kept", -1));
  ASSERT_TRUE(prefs.SetString("name", "Anna", 0));
  ASSERT_TRUE(prefs.SetString("name", "Bert", 1));

  disk.SetFull(true);
  for (int i = 0; i < 200; ++i) EXPECT_FALSE(prefs.SetInt(TString::Printf("k%d", i % 20), i, -1)) << i;
  EXPECT_EQ(prefs.RemoveUser(0), 1);
  EXPECT_FALSE(prefs.SetString("name", "Berta", 0));
  // More than the page cache holds stays in memory too, to be written by the commit.
  const std::string big(4 << 20, 'b');
  EXPECT_TRUE(prefs.SetBytes("big", big.data(), int(big.size()), -1, false));
  EXPECT_FALSE(prefs.Commit());
  // Still in the open transaction, for this process only.
  EXPECT_EQ(prefs.GetInt("k19", -1), 199);
  EXPECT_EQ(prefs.GetString("name", "", 0).ToStd(), "Berta");
  EXPECT_EQ(ProbeGet("k19", -1), "<default>");
  EXPECT_EQ(ProbeGet("early", -1), "kept");
  EXPECT_EQ(ProbeGet("name", 0), "Anna");
  EXPECT_EQ(Count(sandbox.Log(), "failed"), 1u) << sandbox.Log();
  EXPECT_NE(sandbox.Log().find("COMMIT failed: database or disk is full; the changes wait for the next commit"),
            std::string::npos)
      << sandbox.Log();

  disk.SetFull(false);
  EXPECT_TRUE(prefs.Commit());
  EXPECT_EQ(ProbeGet("k0", -1), "180");
  EXPECT_EQ(ProbeGet("k19", -1), "199");
  EXPECT_EQ(ProbeGet("name", 0), "Berta");
  EXPECT_EQ(Query("SELECT count(*) FROM users"), std::vector<std::string>{"1"});
  EXPECT_EQ(Query("SELECT length(value) > 4000000 FROM globals WHERE key = 'big'"), std::vector<std::string>{"1"});

  // Failing again after a success logs again.
  disk.SetFull(true);
  EXPECT_FALSE(prefs.SetString("late", "x", -1));
  EXPECT_EQ(Count(sandbox.Log(), "failed"), 2u) << sandbox.Log();
}

TEST_F(PrefsDBTest, ClosingOnAFullDiskLosesOnlyWhatWasNeverCommitted) {
  TFullDiskVfs disk;
  {
    TPrefsDB prefs(true);
    ASSERT_TRUE(prefs.SetString("early", "kept", -1));
    disk.SetFull(true);
    EXPECT_FALSE(prefs.SetString("late", "lost", -1));
  }
  disk.SetFull(false);
  TPrefsDB prefs(true);
  EXPECT_EQ(prefs.GetString("early", "", -1).ToStd(), "kept");
  EXPECT_EQ(prefs.GetString("late", "never committed", -1).ToStd(), "never committed");
  EXPECT_EQ(Query("PRAGMA integrity_check"), std::vector<std::string>{"ok"});
}
