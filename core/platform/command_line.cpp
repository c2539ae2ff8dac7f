#include "platform/command_line.h"

#include "platform/settings.h"

TCommandLine TCommandLine::FromArguments(int argc, char** argv) {
  TString text;
  for (int i = 1; i < argc; ++i) {
    if (i > 1) text += ' ';
    text += argv[i];
  }
  return TCommandLine(text);
}

TString TCommandLine::WordAfter(const char* option, uint32_t skip) const {
  int at = mText.Find(option);
  // An option at the very end has nothing after it: never read past the text.
  if (at < 0 || uint32_t(at) + skip >= mText.Length()) return TString();
  TString rest = mText.Substr(uint32_t(at) + skip);
  int blank = rest.Find(' ');
  return blank >= 0 ? rest.Substr(0, blank) : rest;
}

TString TCommandLine::WorkingFolder() const {
  TString rest = WordAfter("-wd=", 4);
  if (rest.CharAt(0) != '"') return rest;
  int at = mText.Find("-wd=");
  TString quoted = mText.Substr(uint32_t(at) + 5);
  int close = quoted.Find('"');
  return close >= 0 ? quoted.Substr(0, close) : quoted;
}

std::vector<std::pair<TString, TString>> TCommandLine::Options() const {
  std::vector<std::pair<TString, TString>> pairs;
  // The list ends at the first blank; neither keys nor values reach across it.
  TString text = WordAfter("options=", 8);
  while (!text.IsEmpty()) {
    int equals = text.Find('=');
    if (equals < 0) break;
    TString key = text.Substr(0, equals);
    TString rest = text.Substr(uint32_t(equals) + 1);
    int amp = rest.Find('&');
    pairs.emplace_back(key, amp >= 0 ? rest.Substr(0, amp) : rest);
    if (amp < 0) break;
    text = rest.Substr(uint32_t(amp) + 1);
  }
  return pairs;
}

void ApplyEarlyCommandLine(const TCommandLine& line) {
  if (line.Has("-url=")) SetConfig("downloadurl", line.DownloadUrl());
  if (line.Has("--stringtest")) SetConfig("stringtest", "1");
  SetConfig("utf8modeinit", GetConfig("utf8mode", ""));
}

void ApplyCommandLineSettings(const TCommandLine& line) {
  if (line.Has("--cheat")) SetConfig("cheatcode", line.CheatCode());
  for (const auto& [key, value] : line.Options()) SetConfig(key, value);
}
