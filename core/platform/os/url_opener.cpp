#include "platform/os/url_opener.h"

#include <spawn.h>
#include <sys/wait.h>

#include <cctype>
#include <thread>

extern char** environ;

namespace {

bool StartsWithNoCase(const std::string& text, const char* prefix) {
  size_t i = 0;
  for (; prefix[i]; ++i) {
    if (i >= text.size() || std::tolower(static_cast<unsigned char>(text[i])) != prefix[i]) return false;
  }
  return true;
}

}  // namespace

bool IsOpenableUrl(const std::string& url) {
  for (unsigned char c : url) {
    if (c < 0x20 || c == 0x7F) return false;
  }
  if (StartsWithNoCase(url, "http://")) return url.size() > 7;
  if (StartsWithNoCase(url, "https://")) return url.size() > 8;
  if (StartsWithNoCase(url, "mailto:")) return url.size() > 7;
  return false;
}

bool OpenUrl(const std::string& url) { return IsOpenableUrl(url) && LaunchProgram("xdg-open", url); }

bool LaunchProgram(const std::string& program, const std::string& argument) {
  if (program.empty()) return false;
  std::string arg0 = program, arg1 = argument;
  char* argv[] = {arg0.data(), arg1.data(), nullptr};
  pid_t pid = 0;
  if (posix_spawnp(&pid, program.c_str(), nullptr, nullptr, argv, environ) != 0) return false;
  // The handler may run for long; a waiting thread reaps it so that no zombie stays.
  std::thread([pid] { waitpid(pid, nullptr, 0); }).detach();
  return true;
}
