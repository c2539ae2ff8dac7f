#include "platform/package.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cstring>

#include "platform/directory_iterator.h"
#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/mapped_read.h"

namespace {

std::vector<TFileMapHandler>& Table() {
  static std::vector<TFileMapHandler> table;
  return table;
}

uint32_t ReadU32(const unsigned char* p) { return uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24; }

constexpr size_t HeaderSize = 8;
constexpr size_t MinEntrySize = 9;  // length byte, offset, size

}  // namespace

bool TFileMapData::Open(const TString& path) {
  Close();
  TString plain = path;
  if (plain.Find("::") == 0) plain = plain.Substr(2);
  TString full = GetFullPath(plain);
  int fd = open(full.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct stat info;
  bool ok = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && info.st_size > 0;
  if (ok) {
    void* view = mmap(nullptr, size_t(info.st_size), PROT_READ, MAP_PRIVATE, fd, 0);
    ok = view != MAP_FAILED;
    if (ok) {
      mView = static_cast<const unsigned char*>(view);
      mSize = uint64_t(info.st_size);
    }
  }
  close(fd);  // the mapping stays valid without the descriptor
  return ok;
}

void TFileMapData::Close() {
  if (mView) munmap(const_cast<unsigned char*>(mView), size_t(mSize));
  mView = nullptr;
  mSize = 0;
}

bool ParsePackageTable(const unsigned char* data, size_t size, std::vector<TPackageEntry>& entries,
                       TString* error, std::vector<TString>* skipped) {
  entries.clear();
  if (size < 4 || memcmp(data, "JXPK", 4) != 0) {
    if (error) *error = "bad magic";
    return false;
  }
  if (size < HeaderSize) {
    if (error) *error = "truncated header";
    return false;
  }
  int32_t count = int32_t(ReadU32(data + 4));
  if (count < 0 && error) *error = TString::Printf("negative entry count %d, mounted without entries", count);
  if (count <= 0) return true;
  if (uint64_t(count) > (size - HeaderSize) / MinEntrySize) {
    if (error) *error = TString::Printf("entry count %d larger than the file can hold", count);
    return false;
  }
  size_t at = HeaderSize;
  for (int32_t i = 0; i < count; ++i) {
    if (size - at < 1 || size - at - 1 < size_t(data[at]) + 8) {
      if (error) *error = TString::Printf("table truncated at entry %d", i);
      entries.clear();
      return false;
    }
    TPackageEntry entry;
    size_t length = data[at];
    entry.name = TString(reinterpret_cast<const char*>(data + at + 1), length);
    entry.offset = ReadU32(data + at + 1 + length);
    entry.size = ReadU32(data + at + 5 + length);
    at += 1 + length + 8;
    if (uint64_t(entry.offset) + entry.size > size) {
      if (skipped) skipped->push_back(entry.name);
      continue;
    }
    entries.push_back(entry);
  }
  return true;
}

bool MountPackage(const TString& path) {
  auto& table = Table();
  auto found = std::find_if(table.begin(), table.end(), [&](const TFileMapHandler& h) { return h.path == path; });
  int index = found != table.end() ? int(found - table.begin()) : int(table.size());

  // The new mapping is opened before an old one of the same path is let go.
  auto map = std::make_shared<TFileMapData>();
  std::string copy;
  const unsigned char* data;
  size_t size;
  if (map->Open(path)) {
    data = map->View();
    size = size_t(map->Size());
  } else {
    TString plain = path.Find("::") == 0 ? path : "::" + path;
    if (!ReadWholeFile(plain, copy)) return false;
    LogPrintf("Failed to open flat file %s", path.c_str());
    map.reset();
    data = reinterpret_cast<const unsigned char*>(copy.data());
    size = copy.size();
  }

  std::vector<TPackageEntry> entries;
  std::vector<TString> skipped;
  TString error;
  if (!ParsePackageTable(data, size, entries, &error, &skipped)) {
    LogPrintf("Package %s refused: %s", path.c_str(), error.c_str());
    return false;
  }
  if (!error.IsEmpty()) LogPrintf("Package %s: %s", path.c_str(), error.c_str());
  for (const TString& name : skipped)
    LogPrintf("Package %s: entry '%s' lies outside the file and is skipped", path.c_str(), name.c_str());
  for (const TPackageEntry& entry : entries) {
    TString key = entry.name;
    key.MakeLower();
    if (key.IsEmpty() || !IsFileAllowed(key)) continue;
    SetFileMapEntry(key, TFileLocation::InPackage(index, entry.offset, entry.size));
  }
  TFileMapHandler record{map ? map : std::make_shared<TFileMapData>(), path};
  if (index < int(table.size()))
    table[size_t(index)] = record;
  else
    table.push_back(record);
  return true;
}

void MountPackages(const TString& folder) {
  std::vector<TString> names;
  TDirectoryIterator listing(folder.c_str());
  TString name;
  while (listing.Next(name, nullptr)) {
    TString lower = name;
    if (lower.MakeLower().Find(".jxp") >= 0) names.push_back(name);
  }
  std::sort(names.begin(), names.end());
  // Each package is mounted from the folder it was found in.
  for (const TString& package : names) MountPackage(folder + "/" + package);
}

std::vector<TFileMapHandler> GetPackageTable() { return Table(); }

void ClearPackageTable() { Table().clear(); }

bool TFlatFileMap::Open(const TFileLocation& location, int mode) {
  Close();
  const auto& table = Table();
  if (location.kind != TFileLocation::Package || location.package < 0 || size_t(location.package) >= table.size())
    return false;
  std::shared_ptr<TFileMapData> map = table[size_t(location.package)].map;
  if (!map || !map->View()) {
    LogPrintf("error reading %s from flat file", location.Describe().c_str());
    return false;
  }
  // Checked again here: a package mounted anew may be shorter than when the name was entered.
  if (location.offset > map->Size() || location.size > map->Size() - location.offset) {
    LogPrintf("error reading %s from flat file", location.Describe().c_str());
    return false;
  }
  mMap = map;
  mRange.Reset(map->View() + location.offset, location.size, mode);
  mLocation = location.Describe();
  mEOF = false;
  return true;
}

void TFlatFileMap::Close() {
  mRange.Reset(nullptr, 0, FileReadRaw);
  mMap.reset();
  mEOF = true;
}

void TFlatFileMap::Unget() {
  mRange.Seek(-1, SeekCurrent);
  mEOF = false;
}

void TFlatFileMap::Seek(int64_t offset, int whence) {
  // Inside the range (or at its end) the end flag clears; past the end it stays as it was.
  bool inside = mRange.Seek(offset, whence);
  if (inside || mRange.Position() == 0) mEOF = false;
}

size_t TFlatFileMap::Read(void* buffer, size_t count) {
  struct Call {
    TRangeReader* range;
    void* buffer;
    size_t count;
    bool hitEnd;
    size_t stored;
  } call{&mRange, buffer, count, false, 0};
  bool read = RunMappedRead(
      [](void* context) {
        Call* c = static_cast<Call*>(context);
        c->stored = c->range->Read(c->buffer, c->count, &c->hitEnd);
      },
      &call);
  if (!read) {
    // The file got shorter under its mapping; what the stream would read is gone.
    LogPrintf("error reading %s from flat file: the package changed on disk", mLocation.c_str());
    Close();
    return 0;
  }
  if (call.hitEnd) mEOF = true;
  return call.stored;
}
