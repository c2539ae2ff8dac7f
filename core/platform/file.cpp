#include "platform/file.h"

#include <unistd.h>

#include "platform/directory_iterator.h"
#include "platform/file_map.h"
#include "platform/file_streams.h"
#include "platform/package.h"

namespace {

// Creates the folders between base and the file for a write below a data folder.
void MakeFoldersBelow(const TString& path) {
  for (const TString& base : {GetUserFolder(), GetCommonFolder()}) {
    if (base.IsEmpty() || path.Find(base + "/") != 0) continue;
    TString folder = base;
    if (!PathAccessible(folder, R_OK | W_OK)) MakeFolder(folder);
    TString rest = path.Substr(base.Length() + 1);
    for (int slash = rest.Find('/'); slash >= 0; slash = rest.Find('/')) {
      folder += "/" + rest.Substr(0, slash);
      rest = rest.Substr(uint32_t(slash) + 1);
      if (!PathAccessible(folder, R_OK | W_OK)) MakeFolder(folder);
    }
    return;
  }
}

}  // namespace

bool TFile::Open(const TString& name, int mode) {
  Close();
  TFileLocation location = ResolveLocation(name, IsReadMode(mode));
  std::unique_ptr<TFileData> data;
  switch (location.kind) {
    case TFileLocation::Package: data = std::make_unique<TFlatFileMap>(); break;
    case TFileLocation::Memory: data = std::make_unique<TMemoryFile>(); break;
    case TFileLocation::Disk:
      if (!IsReadMode(mode)) MakeFoldersBelow(location.path);
      data = std::make_unique<TDiskFileData>();
      break;
    default: return false;
  }
  if (!data->Open(location, mode)) return false;
  mData = std::move(data);
  return true;
}

TFilePtr FileOpen(const TString& name, int mode) {
  auto file = std::make_unique<TFile>();
  if (!file->Open(name, mode)) return nullptr;
  return file;
}

int FileGetc(TFile* file) {
  if (!file || file->IsEOF()) return -1;
  unsigned char byte;
  return file->Read(&byte, 1) == 1 ? int(byte) : -1;
}

char* FileGets(TFile* file, char* buffer, size_t size) {
  if (!file || !buffer || size == 0) return nullptr;
  size_t n = 0;
  while (n + 1 < size) {
    unsigned char byte;
    if (file->Read(&byte, 1) != 1) break;
    buffer[n++] = char(byte);
    if (byte == '\n' || byte == '\r') break;
  }
  buffer[n] = 0;
  return n ? buffer : nullptr;
}

bool ReadWholeFile(const TString& name, std::string& out, int mode) {
  out.clear();
  TFilePtr file = FileOpen(name, mode);
  if (!file) return false;
  int64_t size = file->GetSize();
  if (size < 0) return false;
  out.resize(size_t(size));
  size_t got = size ? file->Read(out.data(), out.size()) : 0;
  // Text mode stores fewer bytes than the file holds when it drops carriage returns; it has
  // read all when it consumed the whole file.
  out.resize(got);
  return got == size_t(size) || (mode == FileReadText && file->Tell() == size);
}

bool FileExists(const TString& name) { return ResolveLocation(name, true).IsValid(); }
