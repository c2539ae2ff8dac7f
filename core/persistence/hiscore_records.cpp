#include "persistence/hiscore_records.h"

#include <cstring>

#include "persistence/hiscore_server.h"
#include "persistence/string_cipher.h"
#include "platform/log.h"
#include "platform/xml_node.h"

TJxHiscoresImpl::TJxHiscoresImpl() = default;
TJxHiscoresImpl::~TJxHiscoresImpl() = default;

namespace {

constexpr size_t ChecksumBlockSize = 8;

void Checksum(const std::string& data, size_t length, uint8_t sum[4]) {
  memset(sum, 0, 4);
  for (size_t i = 0; i < length; ++i) sum[i % 4] ^= uint8_t(data[i]);
}

void SetIfNotEmpty(TXmlNode& node, const char* name, const TString& value) {
  if (!value.IsEmpty()) node.SetAttribute(name, value);
}

bool IsSubmitted(const TXmlNode& node) { return node.GetAttribute("submit").ToInt() >= 1; }

void ReadUser(TJxHiscoresImpl& store, const TXmlNode& node) {
  TUserRecord user{node.GetAttribute("player"), node.GetAttribute("name"), node.GetAttribute("pass")};
  store.users[user.player.ToStd()] = user;
}

void ReadTable(TJxHiscoresImpl& store, const TXmlNode& node, const TString& fileName) {
  TScoreTable table;
  table.name = node.GetAttribute("name");
  for (const auto& child : node.GetChildren()) {
    if (child->GetName() != "row") continue;
    // The file is the player's to edit: never hold more rows than a table can.
    if (table.rows.size() == size_t(MaxScoreRows)) {
      LogPrintf("%s: table \"%s\" has more than %d rows; the rest is ignored", fileName.c_str(),
                table.name.c_str(), MaxScoreRows);
      break;
    }
    TScoreRow row;
    row.rank = child->GetAttribute("rank").ToInt();
    row.score = child->GetAttribute("score").ToInt();
    row.submit = IsSubmitted(*child);
    row.guid = child->GetAttribute("guid");
    row.name = child->GetAttribute("name");
    row.gameData = child->GetAttribute("gameData");
    row.serverData = child->GetAttribute("serverData");
    row.version = child->GetAttribute("version");
    table.rows.push_back(row);
  }
  if (!table.rows.empty()) store.tables[table.name.ToStd()] = std::move(table);
}

void ReadMedals(TJxHiscoresImpl& store, const TXmlNode& node) {
  std::vector<TMedalRecord> list;
  for (const auto& child : node.GetChildren()) {
    if (child->GetName() != "medal") continue;
    TMedalRecord medal;
    medal.medalname = child->GetAttribute("medalname");
    medal.type = child->GetAttribute("type");
    medal.mode = child->GetAttribute("mode");
    medal.gameData = child->GetAttribute("gameData");
    medal.submit = IsSubmitted(*child);
    list.push_back(medal);
  }
  store.medals[node.GetAttribute("user").ToStd()] = std::move(list);
}

}  // namespace

void RecomputeRanks(std::vector<TScoreRow>& rows) {
  for (size_t i = 0; i < rows.size(); ++i)
    rows[i].rank = i > 0 && rows[i].score == rows[i - 1].score ? rows[i - 1].rank : int(i) + 1;
}

TString BuildHiscoreXml(const TJxHiscoresImpl& store) {
  TString out = "<?xml version=\"1.0\"?>\n";
  for (const auto& entry : store.users) {
    TXmlNode node("user");
    node.SetAttribute("player", entry.second.player);
    node.SetAttribute("name", entry.second.name);
    node.SetAttribute("pass", entry.second.pass);
    out += node.Write();
  }
  for (const auto& entry : store.tables) {
    TXmlNode node("score");
    node.SetAttribute("name", entry.second.name);
    for (const TScoreRow& row : entry.second.rows) {
      TXmlNode* child = node.AddChild("row");
      child->SetAttribute("rank", row.rank);
      child->SetAttribute("score", row.score);
      child->SetAttribute("submit", row.submit ? 1 : 0);
      SetIfNotEmpty(*child, "guid", row.guid);
      SetIfNotEmpty(*child, "name", row.name);
      SetIfNotEmpty(*child, "gameData", row.gameData);
      SetIfNotEmpty(*child, "serverData", row.serverData);
      SetIfNotEmpty(*child, "version", row.version);
    }
    out += node.Write();
  }
  for (const auto& entry : store.medals) {
    TXmlNode node("medals");
    node.SetAttribute("user", TString(entry.first));
    for (const TMedalRecord& medal : entry.second) {
      TXmlNode* child = node.AddChild("medal");
      child->SetAttribute("medalname", medal.medalname);
      child->SetAttribute("type", medal.type);
      child->SetAttribute("mode", medal.mode);
      child->SetAttribute("gameData", medal.gameData);
      child->SetAttribute("submit", medal.submit ? 1 : 0);
    }
    out += node.Write();
  }
  return out;
}

void ParseHiscoreXml(TJxHiscoresImpl& store, const char* text, size_t length, const TString& fileName) {
  TXmlNode root;
  root.ParseBuffer(text, length, fileName);
  for (const auto& node : root.GetChildren())
    if (node->GetName() == "user") ReadUser(store, *node);
  for (const auto& node : root.GetChildren())
    if (node->GetName() == "score") ReadTable(store, *node, fileName);
  for (const auto& node : root.GetChildren())
    if (node->GetName() == "medals") ReadMedals(store, *node);
}

std::string BuildHiscoreImage(const TJxHiscoresImpl& store) {
  TString xml = BuildHiscoreXml(store);
  std::string image = store.cipher->EncryptBytes(xml.c_str(), int(xml.Length()) + 1);
  uint8_t sum[4];
  Checksum(image, image.size(), sum);
  image += store.cipher->EncryptBytes(sum, 4);
  return image;
}

bool LoadHiscoreImage(TJxHiscoresImpl& store, const std::string& image, const TString& fileName) {
  if (image.size() <= ChecksumBlockSize) return false;
  size_t length = image.size() - ChecksumBlockSize;
  uint8_t sum[4];
  Checksum(image, length, sum);
  std::string text = store.cipher->DecryptBytes(image.data(), int(length));
  std::string trailer = store.cipher->DecryptBytes(image.data() + length, int(ChecksumBlockSize));
  if (trailer.size() < 4 || memcmp(trailer.data(), sum, 4) != 0) {
    LogPrintf("HiScores: Checksum did not match! Ignoring saved score data.");
    return false;
  }
  ParseHiscoreXml(store, text.c_str(), strlen(text.c_str()), fileName);
  return true;
}
