#include "persistence/jx_hiscores.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>
#include <string>
#include <vector>

#include "persistence/hiscore_records.h"
#include "persistence/hiscore_server.h"
#include "persistence/string_cipher.h"
#include "platform/file.h"
#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/random.h"
#include "platform/settings.h"
#include "platform/xml_node.h"

namespace {

const char* const HiscoreFile = "user:hiscore.dat";
// Far beyond any real store (500 rows a table): a larger file is not read into memory.
constexpr int64_t MaxHiscoreFileSize = 16 << 20;

// Writes a new file beside the old one and renames it over it, so a crash or a full disk
// while saving never leaves a half-written score file behind.
bool ReplaceFile(const TString& path, const std::string& bytes) {
  TString temp = path + ".tmp";
  int fd = open(temp.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = write(fd, bytes.data() + done, bytes.size() - done);
    if (n <= 0) break;
    done += size_t(n);
  }
  bool ok = done == bytes.size() && fsync(fd) == 0;
  ok = close(fd) == 0 && ok;
  if (ok && rename(temp.c_str(), path.c_str()) == 0) return true;
  unlink(temp.c_str());
  return false;
}

void CopyCut(char* buffer, int size, const TString& text) {
  if (!buffer || size <= 0) return;
  size_t n = text.Length() < size_t(size - 1) ? text.Length() : size_t(size - 1);
  memcpy(buffer, text.c_str(), n);
  buffer[n] = 0;
}

// The settings "<prefix>1", "<prefix>2", ... up to the first empty one.
std::vector<TString> NumberedSettings(const char* prefix) {
  std::vector<TString> values;
  for (int n = 1;; ++n) {
    TString value = GetConfig(TString::Printf("%s%d", prefix, n));
    if (value.IsEmpty()) return values;
    values.push_back(value);
  }
}

std::vector<const char*> Pointers(const std::vector<TString>& texts) {
  std::vector<const char*> out;
  for (const TString& t : texts) out.push_back(t.c_str());
  return out;
}

}  // namespace

TJxHiscores::TJxHiscores(bool saveEnabled) : mImpl(std::make_unique<TJxHiscoresImpl>()) {
  TString key = GetConfig("encryptionkey");
  if (key.IsEmpty()) LogPrintf("ERROR: No encryption key set before TJxHiscores construction!");
  mImpl->key = key;
  mImpl->cipher = std::make_unique<TStringCipher>(key);
  mImpl->saveEnabled = saveEnabled;
  mImpl->serverAddress = "http://localhost/hiscores/";
  mImpl->gameHandle = GetConfig("jxgamehandle");
  if (mImpl->gameHandle.IsEmpty()) mImpl->gameHandle = GetConfig("gamename");
  mImpl->version = GetConfig("version");
  mImpl->language = "en";

  TFilePtr file = FileOpen(HiscoreFile, FileReadRaw);
  if (file) {
    int64_t size = file->GetSize();
    if (size > MaxHiscoreFileSize) {
      LogPrintf("%s: %lld bytes is too large for a score file; it is not read", HiscoreFile, (long long)size);
    } else if (size > 8) {
      std::string image(size_t(size), '\0');
      if (file->Read(image.data(), image.size()) == image.size())
        LoadHiscoreImage(*mImpl, image, HiscoreFile);
      else
        LogPrintf("%s: read error; no saved scores", HiscoreFile);
    }
  }
  StartLocalServer();
  ReadHiscoreXml();
  ReadServerAddress();
}

TJxHiscores::~TJxHiscores() {
  if (mImpl->library) {
    if (mImpl->server && mImpl->library->freeLocalServer) mImpl->library->freeLocalServer(mImpl->server);
    mImpl->server = nullptr;
    mImpl->library.reset();
  }
}

void TJxHiscores::StartLocalServer() {
  mImpl->library = LoadHiscoreServerLibrary(HiscoreServerLibraryName);
  THiscoreServerLibrary* library = mImpl->library.get();
  if (!library || !library->createLocalServer) return;
  mImpl->server = library->createLocalServer();
  if (GetConfig("jxgamehandle").IsEmpty()) {
    if (library->loadServerDefFile) library->loadServerDefFile(mImpl->server);
    return;
  }
  std::vector<TString> modes = NumberedSettings("jxgamemodename");
  std::vector<TString> medals = NumberedSettings("jxgamemedalname");
  if (modes.empty() || !library->setServerInfo) return;
  std::vector<const char*> modeNames = Pointers(modes), medalNames = Pointers(medals);
  library->setServerInfo(mImpl->server, mImpl->gameHandle.c_str(), mImpl->key.c_str(), modeNames.data(),
                         int(modeNames.size()), medalNames.data(), int(medalNames.size()));
}

void TJxHiscores::ReadHiscoreXml() {
  TXmlNode root;
  if (!root.LoadFile("::hiscore.xml")) return;
  TXmlNode* hiscore = root.GetChild("hiscore");
  if (!hiscore) return;
  if (TXmlNode* language = hiscore->GetChild("language")) {
    mImpl->language = language->GetText();
    mImpl->languageFromFile = true;
  }
  if (TXmlNode* error = hiscore->GetChild("defaulterror")) mImpl->defaultError = error->GetText();
}

void TJxHiscores::ReadServerAddress() {
  TFilePtr file = FileOpen("::hiscoreserver.txt", FileReadText);
  if (!file) return;
  char line[512];
  if (FileGets(file.get(), line, sizeof line)) mImpl->serverAddress = line;
}

bool TJxHiscores::IsValidName(const TString& name) {
  for (const char* p = name.c_str(); *p; ++p)
    if (static_cast<unsigned char>(*p) >= 0xC0) return false;
  return true;
}

void TJxHiscores::SetInfoString(int kind, const TString& text) {
  switch (kind) {
    case 0:
      if (!mImpl->languageFromFile) mImpl->language = text;
      break;
    case 1:
      mImpl->player = text;
      mImpl->pending = TString();
      break;
    case 2: mImpl->currentTable = text; break;
    default: break;
  }
}

void TJxHiscores::AddScore(int score, bool replaceSameName, const TString& gameData) {
  AddScore(score, replaceSameName, gameData, TString());
}

void TJxHiscores::AddScore(int score, bool replaceSameName, const TString& gameData, const TString& serverData) {
  TScoreRow added;
  added.rank = 1;
  added.score = score;
  added.name = mImpl->player;
  added.gameData = gameData;
  added.serverData = serverData;
  added.version = mImpl->version;
  added.guid = MakeGuidString();

  auto found = mImpl->tables.find(mImpl->currentTable.ToStd());
  if (found == mImpl->tables.end()) {
    mImpl->tables[mImpl->currentTable.ToStd()] = TScoreTable{mImpl->currentTable, {added}};
    Save();
    return;
  }
  std::vector<TScoreRow>& rows = found->second.rows;
  if (replaceSameName) {
    for (auto it = rows.begin(); it != rows.end(); ++it) {
      if (strcmp(it->name.c_str(), mImpl->player.c_str()) != 0) continue;
      if (score <= it->score) {
        Save();
        return;
      }
      added.guid = it->guid;
      rows.erase(it);
      break;
    }
  }
  // Better or equal rows first, then the new one, then the rest while room is left: the
  // lowest row (or the new one, when it would be the last) falls out of a full table.
  size_t limit = rows.size() + 1 < size_t(MaxScoreRows) ? rows.size() + 1 : size_t(MaxScoreRows);
  std::vector<TScoreRow> result;
  result.reserve(limit);
  for (const TScoreRow& row : rows)
    if (row.score >= score && result.size() < limit) result.push_back(row);
  if (result.size() < limit) result.push_back(added);
  for (const TScoreRow& row : rows)
    if (row.score < score && result.size() < limit) result.push_back(row);
  RecomputeRanks(result);
  rows = std::move(result);
  Save();
}

int TJxHiscores::GetScoreCount(bool currentTable) {
  if (!currentTable) return int(mImpl->globalTable.rows.size());
  auto found = mImpl->tables.find(mImpl->currentTable.ToStd());
  return found == mImpl->tables.end() ? 0 : int(found->second.rows.size());
}

bool TJxHiscores::GetScore(bool currentTable, int index, int* rank, char* name, int nameSize, bool* flag,
                           int* score, char* data, int dataSize) {
  const TScoreTable* table = &mImpl->globalTable;
  if (currentTable) {
    auto found = mImpl->tables.find(mImpl->currentTable.ToStd());
    if (found == mImpl->tables.end()) return false;
    table = &found->second;
  }
  if (index < 0 || size_t(index) >= table->rows.size()) return false;
  const TScoreRow& row = table->rows[size_t(index)];
  if (rank) *rank = row.rank;
  CopyCut(name, nameSize, row.name);
  if (flag) *flag = row.flag;
  if (score) *score = row.score;
  CopyCut(data, dataSize, row.gameData);
  return true;
}

int TJxHiscores::GetMedalCount() {
  auto found = mImpl->medals.find(mImpl->player.ToStd());
  return found == mImpl->medals.end() ? 0 : int(found->second.size());
}

int TJxHiscores::CountUnsubmittedMedals() {
  auto found = mImpl->medals.find(mImpl->player.ToStd());
  if (found == mImpl->medals.end()) return 0;
  int count = 0;
  for (const TMedalRecord& medal : found->second) count += medal.submit ? 0 : 1;
  return count;
}

bool TJxHiscores::GetMedal(int index, TString* name, int* kind, TString* mode, TString* data) {
  auto found = mImpl->medals.find(mImpl->player.ToStd());
  if (found == mImpl->medals.end() || index < 0 || size_t(index) >= found->second.size()) return false;
  const TMedalRecord& medal = found->second[size_t(index)];
  if (name) *name = medal.medalname;
  if (kind) *kind = strcmp(medal.type.c_str(), "game") == 0 ? 0 : 1;
  if (mode) *mode = medal.mode;
  if (data) *data = medal.gameData;
  return true;
}

void TJxHiscores::RemovePlayer(const TString& name) {
  for (auto& entry : mImpl->tables) {
    std::vector<TScoreRow>& rows = entry.second.rows;
    std::vector<TScoreRow> kept;
    for (const TScoreRow& row : rows)
      if (strcmp(row.name.c_str(), name.c_str()) != 0) kept.push_back(row);
    if (kept.size() == rows.size()) continue;
    RecomputeRanks(kept);
    rows = std::move(kept);
  }
  mImpl->medals.erase(name.ToStd());
  Save();
}

void TJxHiscores::RenamePlayer(const TString& oldName, const TString& newName) {
  for (auto& entry : mImpl->tables)
    for (TScoreRow& row : entry.second.rows)
      if (strcmp(row.name.c_str(), oldName.c_str()) == 0) row.name = newName;
  auto found = mImpl->medals.find(oldName.ToStd());
  if (found != mImpl->medals.end() && oldName.ToStd() != newName.ToStd()) {
    std::vector<TMedalRecord> medals = std::move(found->second);
    mImpl->medals.erase(found);
    std::vector<TMedalRecord>& kept = mImpl->medals[newName.ToStd()];
    kept.insert(kept.end(), medals.begin(), medals.end());
  }
  if (strcmp(mImpl->player.c_str(), oldName.c_str()) == 0) mImpl->player = newName;
  Save();
}

void TJxHiscores::Save() {
  if (!mImpl->saveEnabled) return;
  TString path = ResolvePath(HiscoreFile, false);
  if (path.IsEmpty() || !ReplaceFile(path, BuildHiscoreImage(*mImpl)))
    LogPrintf("%s: cannot be written; the scores are not saved", HiscoreFile);
}

TString TJxHiscores::GetLanguage() const { return mImpl->language; }
TString TJxHiscores::GetDefaultError() const { return mImpl->defaultError; }
TString TJxHiscores::GetServerAddress() const { return mImpl->serverAddress; }
