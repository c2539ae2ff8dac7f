#include "host/dll_collate_handler.h"

#include "platform/engine_string.h"
#include "platform/os/program_path.h"

namespace {

std::string gFolder;
// Never destroyed: engine strings may be compared until the very end of the process.
TDllCollateHandler* gHandler = nullptr;

int CollateThroughLibrary(const char* a, const char* b) { return gHandler->Compare(a, b); }

TCollateFn LoadCollation() {
  std::string folder = gFolder.empty() ? FolderOfPath(GetProgramFile()) : gFolder;
  std::unique_ptr<TDllCollateHandler> handler = CreateCollateHandler(folder);
  if (!handler) return nullptr;
  delete gHandler;
  gHandler = handler.release();
  return &CollateThroughLibrary;
}

}  // namespace

std::unique_ptr<TDllCollateHandler> CreateCollateHandler(const std::string& folder) {
  TSharedLibrary library;
  if (!library.Open(folder + "jxlocale.so")) return nullptr;
  auto collate = reinterpret_cast<TDllCollateHandler::TCollate>(library.Symbol("jxCollate"));
  if (!collate) return nullptr;
  return std::make_unique<TDllCollateHandler>(std::move(library), collate);
}

void InstallCollationLibrary(const std::string& folder) {
  gFolder = folder;
  SetCollationLoader(&LoadCollation);
}
