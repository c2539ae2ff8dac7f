#include "platform/log.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <mutex>

const char LogWrapMarker[] = "\n\n\n\n ****************** LOG WRAP AROUND ******************\n\n\n\n";

namespace {

std::mutex gLogMutex;
TString gLogPath;
long gWritePosition = 0;

TString TimeText() {
  time_t now = time(nullptr);
  char buffer[64];
  struct tm local;
  // ctime's text without its line feed, made thread-safe.
  if (!localtime_r(&now, &local) || !asctime_r(&local, buffer)) return TString("?");
  size_t n = strlen(buffer);
  if (n && buffer[n - 1] == '\n') buffer[n - 1] = 0;
  return TString(buffer);
}

}  // namespace

bool OpenLogFile(const char* folder) {
  std::lock_guard<std::mutex> lock(gLogMutex);
  if (!folder) {
    gLogPath = TString();
    return true;
  }
  if (strncmp(folder, "__MEMORYMAX__", 13) == 0) return true;
  struct stat info;
  if (stat(folder, &info) != 0) mkdir(folder, 0755);
  TString path = TString(folder) + "/logfile.txt";
  remove(path.c_str());
  gWritePosition = 0;
  // Made now, so that a folder nobody can write to is known at once.
  FILE* file = fopen(path.c_str(), "wb");
  if (!file) {
    // The log has nowhere to go: the one place left to say so.
    fprintf(stderr, "Cannot write the log file %s (%s): nothing is logged.\n", path.c_str(), strerror(errno));
    gLogPath = TString();
    return false;
  }
  fclose(file);
  gLogPath = path;
  return true;
}

TString GetLogPath() {
  std::lock_guard<std::mutex> lock(gLogMutex);
  return gLogPath;
}

void LogPrintf(const char* format, ...) {
  va_list args;
  va_start(args, format);
  TString message = TString::VFormat(format, args);
  va_end(args);
  TString line = TimeText() + ": " + message + "\n";

  std::lock_guard<std::mutex> lock(gLogMutex);
  if (gLogPath.IsEmpty()) return;
  FILE* file = fopen(gLogPath.c_str(), "r+b");
  if (!file) file = fopen(gLogPath.c_str(), "wb");
  if (!file) return;
  if (gWritePosition > long(LogWrapLimit)) {
    fseek(file, LogWrapOffset, SEEK_SET);
    fwrite(LogWrapMarker, 1, strlen(LogWrapMarker), file);
    gWritePosition = LogWrapOffset;
  } else {
    fseek(file, gWritePosition, SEEK_SET);
  }
  fwrite(line.c_str(), 1, line.Length(), file);
  long position = ftell(file);
  if (position >= 0) gWritePosition = position;
  fclose(file);
}

void TFailure::Report(const char* message, int line, const char* file) {
  LogPrintf("%s(%d): %s", file, line, message);
}

void TFailure::Log(const char* text) { LogPrintf("%s", text); }

TFailure* GetFailure() {
  static TFailure failure;
  return &failure;
}
