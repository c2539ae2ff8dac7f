#include "persistence/hiscore_server.h"

namespace {

THiscoreServerLoader& Loader() {
  static THiscoreServerLoader loader;
  return loader;
}

}  // namespace

void SetHiscoreServerLoader(THiscoreServerLoader loader) { Loader() = std::move(loader); }

std::unique_ptr<THiscoreServerLibrary> LoadHiscoreServerLibrary(const char* name) {
  if (Loader()) return Loader()(name);
  return nullptr;
}
