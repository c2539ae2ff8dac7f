#pragma once
// The engine's log file: one plain-text "logfile.txt" in the user data folder, renewed
// every run and bounded in size by wrapping around behind its first 50 KB.
// Lines are whole even when several threads log (the cursor and sound threads do).

#include "platform/engine_string.h"

// Starts a new log in folder (created when missing; an old log there is deleted).
// A null folder turns logging off. A log that cannot be written there turns logging off
// too, with one line on stderr, and gives false.
bool OpenLogFile(const char* folder);
// The current log file's path; empty while logging is off.
TString GetLogPath();
// Writes one line: the local time, ": ", the formatted message and a line feed.
void LogPrintf(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Wrap-around sizes: past LogWrapLimit bytes the log continues at LogWrapOffset behind
// LogWrapMarker.
constexpr uint32_t LogWrapLimit = 102400;
constexpr uint32_t LogWrapOffset = 51200;
extern const char LogWrapMarker[];

// The failure reporter through which library code reports into the same log.
class TFailure {
 public:
  virtual ~TFailure() = default;
  virtual void Report(const char* message, int line, const char* file);
  virtual void Log(const char* text);
};
TFailure* GetFailure();
