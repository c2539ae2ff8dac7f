#pragma once
// Packages (".jxp"): flat files holding many assets behind a table of names, mapped into
// memory read-only at start-up. Layout, little-endian: "JXPK", a signed 32-bit entry count,
// then per entry a length byte, the name, a u32 offset and a u32 size of the data.

#include <memory>
#include <vector>

#include "platform/file.h"
#include "platform/file_streams.h"

// The read-only mapping of one package file.
class TFileMapData {
 public:
  TFileMapData() = default;
  ~TFileMapData() { Close(); }
  TFileMapData(const TFileMapData&) = delete;
  TFileMapData& operator=(const TFileMapData&) = delete;

  bool Open(const TString& path);  // a leading "::" is dropped
  void Close();
  const unsigned char* View() const { return mView; }
  uint64_t Size() const { return mSize; }

 private:
  const unsigned char* mView = nullptr;
  uint64_t mSize = 0;
};

// One mounted package; copies share the mapping.
struct TFileMapHandler {
  std::shared_ptr<TFileMapData> map;
  TString path;
};

// One entry of a package table, checked against the package's size.
struct TPackageEntry {
  TString name;  // as stored
  uint32_t offset = 0;
  uint32_t size = 0;
};

// Parses a package image. False (with *error set) for a bad magic or a table that does not
// fit the image; entries whose data lies outside the image are left out and reported in
// *skipped. A negative entry count reads as no entries: true, with the reason in *error.
// Never reads outside data[0, size).
bool ParsePackageTable(const unsigned char* data, size_t size, std::vector<TPackageEntry>& entries,
                       TString* error, std::vector<TString>* skipped);

// Mounts every file of a folder whose name contains ".jxp", in name order.
void MountPackages(const TString& folder);
// Mounts one package and enters its names; a path mounted before keeps its index, and its
// new mapping replaces the old one only once it is open. Answers whether names were entered.
bool MountPackage(const TString& path);
// The package table in mount order (a copy).
std::vector<TFileMapHandler> GetPackageTable();
// Unmounts everything (shut-down and tests); open streams keep their mapping alive.
void ClearPackageTable();

// A stream over a range of a mounted package. It shares the package's mapping, so it stays
// readable even when the package is mounted again. When the file gets shorter on disk while
// mapped (a new package copied over it), a read that reaches the lost part fails with a log
// line and closes the stream.
class TFlatFileMap : public TFileData {
 public:
  bool Open(const TFileLocation& location, int mode) override;
  void Close() override;
  void Unget() override;
  void Seek(int64_t offset, int whence) override;
  int64_t GetSize() override { return int64_t(mRange.Size()); }
  int64_t Tell() override { return int64_t(mRange.Position()); }
  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override { return 0; }
  bool IsEOF() override { return mEOF; }

 private:
  std::shared_ptr<TFileMapData> mMap;
  TRangeReader mRange;
  TString mLocation;  // for the log line of a failed read
  bool mEOF = true;
};
