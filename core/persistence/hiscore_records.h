#pragma once
// The records of the highscore store and its file "user:hiscore.dat": the XML text and a
// NUL enciphered, then one enciphered block holding the XOR checksum of those bytes.

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "platform/engine_string.h"

class TStringCipher;

// A table holds at most this many rows.
constexpr int MaxScoreRows = 500;
struct THiscoreServerLibrary;

struct TScoreRow {
  int rank = 1;
  int score = 0;
  TString name;
  TString gameData;
  TString serverData;
  TString version;
  bool flag = true;     // set for every row loaded or added
  bool submit = false;  // false for rows added here
  TString guid;
};

struct TScoreTable {
  TString name;
  std::vector<TScoreRow> rows;  // best first
};

struct TMedalRecord {
  TString medalname;
  TString type;
  TString mode;
  TString gameData;
  bool submit = false;
};

struct TUserRecord {
  TString player;
  TString name;
  TString pass;
};

// Only a holder: no request is ever made.
struct TSimpleHttp {
  TString host, path, request, answer;
};

// Maps are keyed by bytes, not through the collation order.
struct TJxHiscoresImpl {
  TString gameHandle;
  TString key;
  TString language = "en";
  TString version;
  TString player;        // written into new rows; keys the player's medals
  TString currentTable;  // the table of the current-table queries and of adding
  TSimpleHttp http;
  TString serverAddress;
  TString pending;
  TScoreTable globalTable;  // nothing fills it
  std::map<std::string, TScoreTable> tables;
  std::map<std::string, std::vector<TMedalRecord>> medals;
  std::map<std::string, TUserRecord> users;
  bool languageFromFile = false;
  TString defaultError;
  std::unique_ptr<TStringCipher> cipher;
  bool saveEnabled = false;
  std::unique_ptr<THiscoreServerLibrary> library;
  void* server = nullptr;  // owned by the library; freed through it

  TJxHiscoresImpl();
  ~TJxHiscoresImpl();
};

// The file image of the store: enciphered text and the checksum block.
std::string BuildHiscoreImage(const TJxHiscoresImpl& store);
// Fills the store's users, tables and medals from a file image; false (with the log line
// for a checksum mismatch) when it holds nothing to load.
bool LoadHiscoreImage(TJxHiscoresImpl& store, const std::string& image, const TString& fileName);
// The plain XML text (declaration, users, tables, medals) and its reader.
TString BuildHiscoreXml(const TJxHiscoresImpl& store);
void ParseHiscoreXml(TJxHiscoresImpl& store, const char* text, size_t length, const TString& fileName);
// Equal scores share the rank of the first of them: 1, 2, 2, 4.
void RecomputeRanks(std::vector<TScoreRow>& rows);
