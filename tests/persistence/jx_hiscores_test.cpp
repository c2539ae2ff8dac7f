#include "persistence/jx_hiscores.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <climits>
#include <cstring>
#include <filesystem>
#include <string>
#include <vector>

#include "persistence/blowfish.h"
#include "persistence/hiscore_server.h"
#include "persistence/persistence_test_util.h"
#include "persistence/string_cipher.h"
#include "platform/settings.h"

namespace {

std::string Encipher(const std::string& plain) {
  TStringCipher cipher(TestKey);
  std::string out(plain.size() + 8, '\0');
  cipher.Encrypt(plain.data(), int(plain.size()), out.data(), int(out.size()), false);
  out.resize(size_t(cipher.GetLastLength()));
  return out;
}

std::string XorSum(const std::string& data) {
  std::string sum(4, '\0');
  for (size_t i = 0; i < data.size(); ++i) sum[i % 4] = char(sum[i % 4] ^ data[i]);
  return sum;
}

// A score file made here from its text, without the store's own writer.
std::string MakeImage(const std::string& xml) {
  std::string body = Encipher(xml + '\0');
  return body + Encipher(XorSum(body));
}

// The text of a score file, read without the store's own reader.
std::string ReadImageText(const std::string& image) {
  uint8_t key[9];
  TStringCipher::PrepareKey(TestKey, key);
  TBlowfish blowfish(key, 9);
  std::string plain = image;
  for (size_t at = 0; at + 8 <= plain.size(); at += 8) blowfish.DecipherBlock(reinterpret_cast<uint8_t*>(&plain[at]));
  size_t body = image.size() - 8;
  EXPECT_EQ(Hex(plain.substr(body)), Hex(XorSum(image.substr(0, body)) + "\x04\x04\x04\x04"));
  return std::string(plain.c_str());
}

std::string ScoreRow(int rank, int score, const char* name, const char* extra = "") {
  return "<row rank=\"" + std::to_string(rank) + "\" score=\"" + std::to_string(score) + "\" name=\"" + name +
         "\" " + extra + "/>";
}

class HiscoresTest : public ::testing::Test {
 protected:
  TPersistenceSandbox sandbox;

  void SetUp() override { SetConfig("version", "V. 1.0"); }

  TString FilePath() const { return sandbox.UserPath("hiscore.dat"); }
  void WriteImage(const std::string& xml) { WriteBytes(FilePath(), MakeImage(xml)); }

  static void Select(TJxHiscores& store, const char* player, const char* table = "Tarvelon") {
    store.SetInfoString(1, player);
    store.SetInfoString(2, table);
  }
  static std::vector<std::string> Rows(TJxHiscores& store) {
    std::vector<std::string> rows;
    for (int i = 0; i < store.GetScoreCount(true); ++i) {
      int rank = 0, score = 0;
      char name[64];
      store.GetScore(true, i, &rank, name, sizeof name, nullptr, &score, nullptr, 0);
      rows.push_back(std::to_string(rank) + ":" + std::to_string(score) + ":" + name);
    }
    return rows;
  }
};

}  // namespace

TEST_F(HiscoresTest, FileIsEncipheredTextWithChecksumBlock) {
  {
    TJxHiscores store(true);
    Select(store, "Anna");
    store.AddScore(900, false, "level=3");
  }
  std::string image = ReadBytes(FilePath());
  std::string text = ReadImageText(image);
  size_t at = text.find("guid=\"");
  ASSERT_NE(at, std::string::npos);
  std::string guid = text.substr(at + 6, 32);
  EXPECT_EQ(guid.find_first_not_of("0123456789abcdef"), std::string::npos);
  EXPECT_EQ(text,
            "<?xml version=\"1.0\"?>\n"
            "<score\n    name=\"Tarvelon\">\n"
            "    <row\n        rank=\"1\"\n        score=\"900\"\n        submit=\"0\"\n"
            "        guid=\"" + guid + "\"\n        name=\"Anna\"\n        gameData=\"level=3\"\n"
            "        version=\"V. 1.0\">\n    </row>\n"
            "</score>\n");
  // Text and NUL padded to whole blocks, then the checksum block.
  EXPECT_EQ(image.size(), (text.size() + 1 + 8) / 8 * 8 + 8);
}

TEST_F(HiscoresTest, ScoresRoundTrip) {
  WriteImage(
      "<?xml version=\"1.0\"?>\n"
      "<user player=\"p1\" name=\"Anna\" pass=\"x\"/>"
      "<score name=\"Tarvelon\">" + ScoreRow(1, 900, "Anna", "submit=\"1\" serverData=\"s\"") +
      ScoreRow(2, 800, "B&amp;rt &#228;") + "</score>"
      "<score name=\"Empty\"></score>"
      "<medals user=\"Anna\"><medal medalname=\"Gold\" type=\"game\" mode=\"m1\" gameData=\"g\" submit=\"1\"/>"
      "<medal medalname=\"Silver\" type=\"level\" mode=\"m2\" gameData=\"h\"/></medals>");
  {
    TJxHiscores store(true);
    Select(store, "Anna");
    EXPECT_EQ(Rows(store), (std::vector<std::string>{"1:900:Anna", "2:800:B&rt \xE4"}));
    store.SetInfoString(2, "Empty");
    EXPECT_EQ(store.GetScoreCount(true), 0);  // a table without rows is none
    store.SetInfoString(2, "Tarvelon");
    store.AddScore(850, false, "");
  }
  TJxHiscores store(false);
  Select(store, "Anna");
  EXPECT_EQ(Rows(store), (std::vector<std::string>{"1:900:Anna", "2:850:Anna", "3:800:B&rt \xE4"}));
  EXPECT_EQ(store.GetMedalCount(), 2);
  EXPECT_EQ(store.CountUnsubmittedMedals(), 1);
  std::string text = ReadImageText(ReadBytes(FilePath()));
  EXPECT_NE(text.find("<user\n    player=\"p1\"\n    name=\"Anna\"\n    pass=\"x\">\n</user>\n"), std::string::npos);
  EXPECT_NE(text.find("serverData=\"s\""), std::string::npos);
  EXPECT_NE(text.find("<medals\n    user=\"Anna\">\n    <medal\n        medalname=\"Gold\"\n        type=\"game\"\n"
                      "        mode=\"m1\"\n        gameData=\"g\"\n        submit=\"1\">\n    </medal>\n"),
            std::string::npos);
  EXPECT_EQ(text.find("Empty"), std::string::npos);
}

// A score file made by an independent implementation of the cipher under the test key.
TEST_F(HiscoresTest, ReadsSavedFileOfAnEarlierBuild) {
  WriteBytes(FilePath(), ReadBytes(Fixture("hiscore_v1.dat")));
  TJxHiscores store(false);
  Select(store, "Anna");
  EXPECT_EQ(Rows(store), (std::vector<std::string>{"1:12500:Anna", "2:9000:J\xC3\xBCrgen"}));
  char data[32];
  bool flag = false;
  ASSERT_TRUE(store.GetScore(true, 0, nullptr, nullptr, 0, &flag, nullptr, data, sizeof data));
  EXPECT_EQ(std::string(data), "chapter=4");
  EXPECT_TRUE(flag);
  TString medal;
  EXPECT_EQ(store.CountUnsubmittedMedals(), 1);
  ASSERT_TRUE(store.GetMedal(0, &medal, nullptr, nullptr, nullptr));
  EXPECT_EQ(medal.ToStd(), "Meisterdetektiv");
  EXPECT_EQ(sandbox.Log(), "");
}

TEST_F(HiscoresTest, EqualScoresShareRanks) {
  TJxHiscores store(false);
  Select(store, "Anna");
  for (int score : {800, 700, 900, 800}) store.AddScore(score, false, "");
  EXPECT_EQ(Rows(store), (std::vector<std::string>{"1:900:Anna", "2:800:Anna", "2:800:Anna", "4:700:Anna"}));
  EXPECT_EQ(store.GetScoreCount(false), 0);
  EXPECT_FALSE(store.GetScore(false, 0, nullptr, nullptr, 0, nullptr, nullptr, nullptr, 0));
}

TEST_F(HiscoresTest, TableKeepsBestFiveHundred) {
  TJxHiscores store(false);
  Select(store, "Anna");
  for (int i = 0; i < 500; ++i) store.AddScore(1000 + i, false, "");
  ASSERT_EQ(store.GetScoreCount(true), 500);
  store.AddScore(999, false, "");  // lower than all: not stored
  EXPECT_EQ(store.GetScoreCount(true), 500);
  EXPECT_EQ(Rows(store).back(), "500:1000:Anna");
  store.SetInfoString(1, "Bert");
  store.AddScore(1001, false, "");  // pushes the lowest out
  std::vector<std::string> rows = Rows(store);
  ASSERT_EQ(rows.size(), 500u);
  EXPECT_EQ(rows[498], "499:1001:Anna");
  EXPECT_EQ(rows[499], "499:1001:Bert");
}

TEST_F(HiscoresTest, OversizedTableInFileIsCut) {
  std::string xml = "<score name=\"Tarvelon\">";
  for (int i = 0; i < 600; ++i) xml += ScoreRow(i + 1, 10000 - i, "Anna");
  WriteImage(xml + "</score>");
  TJxHiscores store(true);
  Select(store, "Bert");
  EXPECT_EQ(store.GetScoreCount(true), 500);
  EXPECT_NE(sandbox.Log().find("has more than 500 rows; the rest is ignored"), std::string::npos);
  store.AddScore(20000, false, "");
  std::vector<std::string> rows = Rows(store);
  ASSERT_EQ(rows.size(), 500u);
  EXPECT_EQ(rows[0], "1:20000:Bert");
  EXPECT_EQ(rows[499], "500:9502:Anna");
}

TEST_F(HiscoresTest, ReplaceSameNameKeepsOneRowPerPlayer) {
  {
    TJxHiscores store(true);
    Select(store, "Anna");
    store.AddScore(500, true, "");
    store.SetInfoString(1, "Bert");
    store.AddScore(600, true, "");
    store.SetInfoString(1, "Anna");
    store.AddScore(500, true, "");
    store.AddScore(400, true, "");
    EXPECT_EQ(Rows(store), (std::vector<std::string>{"1:600:Bert", "2:500:Anna"}));
  }
  std::string before = ReadImageText(ReadBytes(FilePath()));
  size_t at = before.find("guid=\"", before.find("score=\"500\""));
  std::string guid = before.substr(at + 6, 32);
  TJxHiscores store(true);
  Select(store, "Anna");
  store.AddScore(700, true, "");
  EXPECT_EQ(Rows(store), (std::vector<std::string>{"1:700:Anna", "2:600:Bert"}));
  std::string after = ReadImageText(ReadBytes(FilePath()));
  EXPECT_EQ(after.substr(after.find("guid=\"") + 6, 32), guid);
}

TEST_F(HiscoresTest, TamperedFileIsIgnoredAndReplaced) {
  {
    TJxHiscores store(true);
    Select(store, "Anna");
    store.AddScore(900, false, "");
  }
  std::string image = ReadBytes(FilePath());
  image[3] = char(image[3] ^ 1);
  WriteBytes(FilePath(), image);
  TJxHiscores store(true);
  Select(store, "Bert");
  EXPECT_EQ(store.GetScoreCount(true), 0);
  EXPECT_NE(sandbox.Log().find(": HiScores: Checksum did not match! Ignoring saved score data.\n"),
            std::string::npos);
  store.AddScore(100, false, "");
  TJxHiscores reread(false);
  Select(reread, "Bert");
  EXPECT_EQ(Rows(reread), std::vector<std::string>{"1:100:Bert"});
}

TEST_F(HiscoresTest, TinyOrMissingFileLoadsNothingQuietly) {
  for (const std::string& bytes : {std::string(), std::string(8, 'x')}) {
    WriteBytes(FilePath(), bytes);
    sandbox.ClearLog();
    TJxHiscores store(false);
    Select(store, "Anna");
    EXPECT_EQ(store.GetScoreCount(true), 0);
    EXPECT_EQ(sandbox.Log(), "");
  }
  // A file of junk fails its checksum.
  WriteBytes(FilePath(), std::string(40, 'x'));
  TJxHiscores store(false);
  EXPECT_NE(sandbox.Log().find("Checksum did not match"), std::string::npos);
}

TEST_F(HiscoresTest, HugeFileIsNotRead) {
  WriteBytes(FilePath(), "");
  std::filesystem::resize_file(FilePath().c_str(), 20 << 20);  // sparse: cheap to make
  TJxHiscores store(false);
  EXPECT_NE(sandbox.Log().find("user:hiscore.dat: 20971520 bytes is too large for a score file; it is not read"),
            std::string::npos);
}

TEST_F(HiscoresTest, ScoreQueriesCutAndCheckRanges) {
  WriteImage("<score name=\"Tarvelon\">" + ScoreRow(1, 900, "Annabella", "gameData=\"abcdef\"") + "</score>");
  TJxHiscores store(false);
  Select(store, "Anna");
  int rank = -1, score = -1;
  bool flag = false;
  char name[4], data[3];
  ASSERT_TRUE(store.GetScore(true, 0, &rank, name, sizeof name, &flag, &score, data, sizeof data));
  EXPECT_EQ(std::string(name), "Ann");
  EXPECT_EQ(std::string(data), "ab");
  EXPECT_TRUE(flag);
  EXPECT_EQ(rank, 1);
  EXPECT_EQ(score, 900);
  rank = -7;
  EXPECT_FALSE(store.GetScore(true, 1, &rank, name, sizeof name, &flag, &score, data, sizeof data));
  EXPECT_FALSE(store.GetScore(true, -1, &rank, name, sizeof name, &flag, &score, data, sizeof data));
  EXPECT_EQ(rank, -7);
  store.SetInfoString(2, "Other");
  EXPECT_FALSE(store.GetScore(true, 0, &rank, nullptr, 0, nullptr, nullptr, nullptr, 0));
}

TEST_F(HiscoresTest, MedalsOfTheCurrentPlayer) {
  WriteImage(
      "<medals user=\"Anna\"><medal medalname=\"Gold\" type=\"game\" mode=\"m1\" gameData=\"g\" submit=\"1\"/>"
      "<medal medalname=\"Silver\" type=\"level\" mode=\"m2\" gameData=\"h\"/></medals>");
  TJxHiscores store(true);
  Select(store, "Bert");
  EXPECT_EQ(store.GetMedalCount(), 0);
  EXPECT_FALSE(store.GetMedal(0, nullptr, nullptr, nullptr, nullptr));
  Select(store, "Anna");
  EXPECT_EQ(store.GetMedalCount(), 2);
  EXPECT_EQ(store.CountUnsubmittedMedals(), 1);
  TString name, mode, data;
  int kind = -1;
  ASSERT_TRUE(store.GetMedal(0, &name, &kind, &mode, &data));
  EXPECT_EQ(name.ToStd() + "|" + mode.ToStd() + "|" + data.ToStd(), "Gold|m1|g");
  EXPECT_EQ(kind, 0);
  ASSERT_TRUE(store.GetMedal(1, &name, &kind, &mode, &data));
  EXPECT_EQ(kind, 1);
  EXPECT_FALSE(store.GetMedal(2, &name, &kind, &mode, &data));
}

TEST_F(HiscoresTest, RemovePlayerRemovesRowsAndMedals) {
  WriteImage(
      "<score name=\"Tarvelon\">" + ScoreRow(1, 900, "Anna") + ScoreRow(2, 800, "Bert") + ScoreRow(3, 700, "Anna") +
      ScoreRow(4, 600, "Cleo") + "</score><score name=\"Other\">" + ScoreRow(1, 50, "Anna") + ScoreRow(7, 40, "Cleo") +
      "</score><medals user=\"Anna\"><medal medalname=\"Gold\" type=\"game\"/></medals>");
  {
    TJxHiscores store(true);
    store.RemovePlayer("Anna");
  }
  TJxHiscores store(false);
  Select(store, "Anna");
  EXPECT_EQ(Rows(store), (std::vector<std::string>{"1:800:Bert", "2:600:Cleo"}));
  store.SetInfoString(2, "Other");
  EXPECT_EQ(Rows(store), std::vector<std::string>{"1:40:Cleo"});
  EXPECT_EQ(store.GetMedalCount(), 0);
}

// A renamed player keeps its rows, ranks and medals in every table; medals already kept
// under the new name stay with them.
TEST_F(HiscoresTest, RenamePlayerKeepsRowsAndMedals) {
  WriteImage(
      "<score name=\"Tarvelon\">" + ScoreRow(1, 900, "Anna") + ScoreRow(2, 800, "Bert") + ScoreRow(3, 700, "Anna") +
      "</score><score name=\"Other\">" + ScoreRow(1, 50, "Anna") +
      "</score><medals user=\"Anna\"><medal medalname=\"Gold\" type=\"game\"/></medals>"
      "<medals user=\"Ann\"><medal medalname=\"Silver\" type=\"game\"/></medals>");
  {
    TJxHiscores store(true);
    store.RenamePlayer("Anna", "Ann");
  }
  TJxHiscores store(false);
  Select(store, "Ann");
  EXPECT_EQ(Rows(store), (std::vector<std::string>{"1:900:Ann", "2:800:Bert", "3:700:Ann"}));
  store.SetInfoString(2, "Other");
  EXPECT_EQ(Rows(store), std::vector<std::string>{"1:50:Ann"});
  EXPECT_EQ(store.GetMedalCount(), 2);
  Select(store, "Anna");
  EXPECT_EQ(store.GetMedalCount(), 0);
}

TEST_F(HiscoresTest, SettingsFilesAndLanguage) {
  TString cwd = std::filesystem::current_path().string();
  ASSERT_EQ(chdir(sandbox.Root().c_str()), 0);
  {
    TJxHiscores store(false);
    EXPECT_EQ(store.GetLanguage().ToStd(), "en");
    EXPECT_EQ(store.GetServerAddress().ToStd(), "http://localhost/hiscores/");
    store.SetInfoString(0, "fr");
    EXPECT_EQ(store.GetLanguage().ToStd(), "fr");
  }
  WriteBytes(sandbox.Root() + "/hiscore.xml",
             "<hiscore><language>de</language><defaulterror>Keine Verbindung</defaulterror></hiscore>");
  WriteBytes(sandbox.Root() + "/hiscoreserver.txt", "http://scores.example/submit\r\nsecond line\n");
  TJxHiscores store(false);
  store.SetInfoString(0, "fr");
  store.SetInfoString(9, "ignored");
  EXPECT_EQ(store.GetLanguage().ToStd(), "de");
  EXPECT_EQ(store.GetDefaultError().ToStd(), "Keine Verbindung");
  EXPECT_EQ(store.GetServerAddress().ToStd(), "http://scores.example/submit\n");
  ASSERT_EQ(chdir(cwd.c_str()), 0);
}

TEST_F(HiscoresTest, NameValidity) {
  EXPECT_TRUE(TJxHiscores::IsValidName(""));
  EXPECT_TRUE(TJxHiscores::IsValidName("Anna 1"));
  EXPECT_TRUE(TJxHiscores::IsValidName("\x7F\x80\xBF"));
  EXPECT_FALSE(TJxHiscores::IsValidName("J\xC3\xBCrgen"));
  EXPECT_FALSE(TJxHiscores::IsValidName("\xFF"));
}

TEST_F(HiscoresTest, MissingKeyIsLogged) {
  SetConfig("encryptionkey", "");
  TJxHiscores store(false);
  EXPECT_NE(sandbox.Log().find("ERROR: No encryption key set before TJxHiscores construction!"), std::string::npos);
}

namespace {

struct TFakeServerLog {
  std::vector<std::string> calls;
};
TFakeServerLog gServerLog;
int gServerObject;

struct TFakeServerLibrary : THiscoreServerLibrary {
  TFakeServerLibrary() {
    createLocalServer = [] { gServerLog.calls.push_back("create"); return static_cast<void*>(&gServerObject); };
    loadServerDefFile = [](void* server) { gServerLog.calls.push_back(server == &gServerObject ? "deffile" : "?"); };
    setServerInfo = [](void* server, const char* handle, const char* key, const char** modes, int modeCount,
                       const char** medals, int medalCount) {
      std::string call = std::string("info ") + handle + " " + key;
      for (int i = 0; i < modeCount; ++i) call += std::string(" mode:") + modes[i];
      for (int i = 0; i < medalCount; ++i) call += std::string(" medal:") + medals[i];
      gServerLog.calls.push_back(call);
    };
    freeLocalServer = [](void* server) { gServerLog.calls.push_back(server == &gServerObject ? "free" : "?"); };
  }
  ~TFakeServerLibrary() override { gServerLog.calls.push_back("unload"); }
};

}  // namespace

TEST_F(HiscoresTest, LocalServerLibraryIsOptional) {
  { TJxHiscores store(false); }  // no library on this platform: nothing happens

  std::string requested;
  SetHiscoreServerLoader([&](const char* name) -> std::unique_ptr<THiscoreServerLibrary> {
    requested = name;
    return std::make_unique<TFakeServerLibrary>();
  });
  gServerLog.calls.clear();
  { TJxHiscores store(false); }
  EXPECT_EQ(requested, "jxservlet_stub.so");
  EXPECT_EQ(gServerLog.calls, (std::vector<std::string>{"create", "deffile", "free", "unload"}));

  gServerLog.calls.clear();
  SetConfig("jxgamehandle", "tarvelon");
  SetConfig("jxgamemodename1", "story");
  SetConfig("jxgamemodename2", "timed");
  SetConfig("jxgamemedalname1", "gold");
  SetConfig("jxgamemedalname3", "unreached");
  { TJxHiscores store(false); }
  EXPECT_EQ(gServerLog.calls, (std::vector<std::string>{"create", std::string("info tarvelon ") + TestKey +
                                                                        " mode:story mode:timed medal:gold",
                                                        "free", "unload"}));
  SetHiscoreServerLoader(nullptr);
}

// Saving writes a new file and renames it: a write that fails half-way (here the file
// size limit) leaves the saved scores as they were.
TEST_F(HiscoresTest, FailedSaveKeepsTheOldFile) {
  {
    TJxHiscores store(true);
    Select(store, "Anna");
    store.AddScore(900, false, "");
  }
  std::string before = ReadBytes(FilePath());
  pid_t child = fork();
  ASSERT_GE(child, 0);
  if (child == 0) {
    signal(SIGXFSZ, SIG_IGN);
    struct rlimit limit = {before.size() + 64, before.size() + 64};
    setrlimit(RLIMIT_FSIZE, &limit);
    TJxHiscores store(true);
    Select(store, "Bert");
    store.AddScore(800, false, std::string(4000, 'x'));
    _exit(0);
  }
  int status = 0;
  waitpid(child, &status, 0);
  EXPECT_TRUE(WIFEXITED(status));
  EXPECT_EQ(ReadBytes(FilePath()), before);
  EXPECT_FALSE(std::filesystem::exists((FilePath() + ".tmp").c_str()));
  EXPECT_NE(sandbox.Log().find("user:hiscore.dat: cannot be written; the scores are not saved"), std::string::npos);
}
