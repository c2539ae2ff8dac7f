#include "platform/os/program_path.h"

#include <unistd.h>

#include <vector>

std::string ReadSymbolicLink(const std::string& path) {
  std::vector<char> buffer(256);
  for (;;) {
    ssize_t n = readlink(path.c_str(), buffer.data(), buffer.size());
    if (n < 0) return std::string();
    // A full buffer may hold a cut name: grow and read again.
    if (size_t(n) < buffer.size()) return std::string(buffer.data(), size_t(n));
    if (buffer.size() > (1u << 20)) return std::string();
    buffer.resize(buffer.size() * 2);
  }
}

std::string GetProgramFile() { return ReadSymbolicLink("/proc/self/exe"); }

std::string FolderOfPath(const std::string& path) {
  size_t slash = path.rfind('/');
  return slash == std::string::npos ? std::string("./") : path.substr(0, slash + 1);
}
