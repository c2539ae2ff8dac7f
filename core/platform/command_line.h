#pragma once
// The command line: options are plain, case-sensitive substrings anywhere in it.

#include <utility>
#include <vector>

#include "platform/engine_string.h"

class TCommandLine {
 public:
  TCommandLine() = default;
  explicit TCommandLine(const TString& text) : mText(text) {}
  // Joins argv[1..] with blanks, as the platform hands the command line over.
  static TCommandLine FromArguments(int argc, char** argv);

  const TString& Text() const { return mText; }
  bool Has(const char* option) const { return mText.Find(option) >= 0; }
  // The text that starts count bytes after the option's start, up to the first blank;
  // empty when the option is absent or the line ends before that point.
  TString WordAfter(const char* option, uint32_t skip) const;
  // "--cheat": the word 8 bytes after the option's start (the option and one separator).
  TString CheatCode() const { return WordAfter("--cheat", 8); }
  TString DownloadUrl() const { return WordAfter("-url=", 5); }
  // "-wd=": a double-quoted folder (quotes dropped) or the text up to the first blank.
  TString WorkingFolder() const;
  // "options=": key=value pairs separated by "&", ended by the first blank.
  std::vector<std::pair<TString, TString>> Options() const;

 private:
  TString mText;
};

// What the command line says before "settings.xml" is read: "-url=" becomes
// "downloadurl", "--stringtest" sets "stringtest"; then "utf8modeinit" copies "utf8mode".
void ApplyEarlyCommandLine(const TCommandLine& line);
// What it says last, over "settings.xml" and the game's defaults: "--cheat" becomes
// "cheatcode", then every pair of "options=" is stored in order.
void ApplyCommandLineSettings(const TCommandLine& line);
