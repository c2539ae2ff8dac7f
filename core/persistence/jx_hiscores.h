#pragma once
// TJxHiscores: the local highscore tables and earned medals of every player, kept
// enciphered and checksummed in "user:hiscore.dat" (written after every change).
// Main thread only.

#include <memory>

#include "platform/engine_string.h"

struct TJxHiscoresImpl;

class TJxHiscores {
 public:
  // Reads the settings, loads "user:hiscore.dat", "hiscore.xml" and "hiscoreserver.txt" and
  // starts the optional local server library. Only with saveEnabled is the file written.
  explicit TJxHiscores(bool saveEnabled);
  // Frees the local server; does not save.
  ~TJxHiscores();
  TJxHiscores(const TJxHiscores&) = delete;
  TJxHiscores& operator=(const TJxHiscores&) = delete;

  // Every byte is below 0xC0 (no NUL can occur in a TString); an empty name is valid.
  static bool IsValidName(const TString& name);

  // 0: the language (unless "hiscore.xml" gave one); 1: the current player's name;
  // 2: the current table's name. Other kinds are ignored.
  void SetInfoString(int kind, const TString& text);

  // Adds a score of the current player to the current table (at most 500 rows, best
  // first, equal scores sharing a rank). With replaceSameName a player keeps one row,
  // replaced only by a higher score.
  void AddScore(int score, bool replaceSameName, const TString& gameData);
  void AddScore(int score, bool replaceSameName, const TString& gameData, const TString& serverData);

  // Rows of the current table (0 when it does not exist), or of the global table.
  int GetScoreCount(bool currentTable);
  // Fills each output given; strings are cut to size - 1 bytes and terminated. False for
  // a missing table or an index outside it (outputs untouched).
  bool GetScore(bool currentTable, int index, int* rank, char* name, int nameSize, bool* flag, int* score,
                char* data, int dataSize);

  // The current player's medals.
  int GetMedalCount();
  int CountUnsubmittedMedals();
  // kind: 0 for a medal of type "game", else 1. False when the index is outside the list.
  bool GetMedal(int index, TString* name, int* kind, TString* mode, TString* data);

  // Removes the player's rows from every table and the player's medals, then saves.
  void RemovePlayer(const TString& name);
  // Gives the player's rows in every table and the player's medals the new name, then
  // saves; ranks and order stay as they are.
  void RenamePlayer(const TString& oldName, const TString& newName);

  // What the start-up read, for diagnostics.
  TString GetLanguage() const;
  TString GetDefaultError() const;
  TString GetServerAddress() const;


 private:
  void Save();
  void StartLocalServer();
  void ReadHiscoreXml();
  void ReadServerAddress();

  std::unique_ptr<TJxHiscoresImpl> mImpl;
};
