#pragma once
// TStringTable: every user-visible text by label, loaded from "strings.xml" (spreadsheet
// XML, plain or ZXML) and extended by string files of the user and common folders.

#include <map>
#include <utility>
#include <vector>

#include "platform/engine_string.h"

class TStringTable {
 public:
  // Empties the table and merges the file; answers whether it could be read.
  bool Load(const TString& name);
  // Adds every row of the file (a later label replaces an earlier one).
  bool Merge(const TString& name);
  // Adds the rows of a text already in memory (plain or ZXML).
  bool MergeBuffer(const char* data, size_t size, const TString& sourceName);

  // The text for a label with up to five arguments substituted; "#####" when missing.
  TString GetString(const TString& label, const TString& a1 = TString(), const TString& a2 = TString(),
                    const TString& a3 = TString(), const TString& a4 = TString(),
                    const TString& a5 = TString()) const;
  // The raw text of a label, or null when absent.
  const TString* Find(const TString& label) const;
  void Set(const TString& label, const TString& text) { mStrings[label] = text; }
  size_t Size() const { return mStrings.size(); }
  void Clear() { mStrings.clear(); }
  // Entries whose label begins with "FLASH_", then those that read as "flash%2d_%2d".
  void GetFlashStrings(std::vector<std::pair<TString, TString>>& list) const;

 private:
  std::map<TString, TString> mStrings;
};

// Start-up loading: "strings.xml", then the files of the "user:" and then the "common:"
// folder whose names begin with "string" and contain ".xml". Answers whether "strings.xml"
// loaded.
bool LoadStringTables(TStringTable& table);

// The engine's one string table, owned by the platform (a non-owning link; null before).
TStringTable* GetStringTable();
void SetStringTable(TStringTable* table);
