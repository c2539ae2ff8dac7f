#pragma once
// Files by name. A name is an asset name looked up in the file map ("scripts/pause.lua"),
// or carries a prefix: "user:" (the player's data folder), "common:" (the machine-wide
// data folder), "desktop:", or "::" followed by a plain path. Whatever the source (disk,
// memory block, package range) the caller gets a TFile with a TFileData stream.

#include <cstddef>
#include <cstdint>
#include <memory>

#include "platform/engine_string.h"
#include "platform/file_location.h"

enum TFileMode : int {
  FileReadRaw = 0,
  FileReadText = 1,  // drops carriage returns
  FileWriteRaw = 2,
  FileWriteText = 3,
  FileAppendRaw = 4,
  FileAppendText = 5,
};
inline bool IsReadMode(int mode) { return mode == FileReadRaw || mode == FileReadText; }

enum TSeekWhence : int { SeekCurrent = 0, SeekStart = 1, SeekEnd = 2 };

// The stream behind a TFile. Seeking before the start lands at 0.
class TFileData {
 public:
  virtual ~TFileData() = default;
  virtual bool Open(const TFileLocation& location, int mode) = 0;
  virtual void Close() = 0;
  virtual void Unget() = 0;  // steps back one byte
  virtual void Seek(int64_t offset, int whence) = 0;
  virtual int64_t GetSize() = 0;
  virtual int64_t Tell() = 0;
  virtual size_t Read(void* buffer, size_t count) = 0;
  virtual size_t Write(const void* buffer, size_t count) = 0;
  virtual bool IsEOF() = 0;
};

// A handle of a file opened by name; closed until Open succeeds.
class TFile {
 public:
  TFile() = default;
  ~TFile() = default;
  TFile(const TFile&) = delete;
  TFile& operator=(const TFile&) = delete;

  bool Open(const TString& name, int mode);
  void Close() { mData.reset(); }
  bool IsOpen() const { return mData != nullptr; }
  bool IsEOF() { return mData ? mData->IsEOF() : true; }
  void Seek(int64_t offset, int whence) {
    if (mData) mData->Seek(offset, whence);
  }
  int64_t GetSize() { return mData ? mData->GetSize() : 0; }
  int64_t Tell() { return mData ? mData->Tell() : -1; }
  size_t Read(void* buffer, size_t count) { return mData ? mData->Read(buffer, count) : 0; }
  size_t Write(const void* buffer, size_t count) { return mData ? mData->Write(buffer, count) : 0; }
  void Unget() {
    if (mData) mData->Unget();
  }

 private:
  std::unique_ptr<TFileData> mData;
};

using TFilePtr = std::unique_ptr<TFile>;

// The free-function form most callers use; null on failure.
TFilePtr FileOpen(const TString& name, int mode);
inline void FileClose(TFilePtr file) {}
inline void FileSeek(TFile* file, int64_t offset, int whence) { file->Seek(offset, whence); }
inline int64_t FileTell(TFile* file) { return file->Tell(); }
inline size_t FileRead(TFile* file, void* buffer, size_t count) { return file->Read(buffer, count); }
inline size_t FileWrite(TFile* file, const void* buffer, size_t count) { return file->Write(buffer, count); }
inline bool FileEOF(TFile* file) { return file->IsEOF(); }
inline void FileUngetc(TFile* file) { file->Unget(); }
inline bool FileError(TFile* file) { return !file || !file->IsOpen(); }
// The next byte as 0..255, or -1 at the end.
int FileGetc(TFile* file);
// Reads a line into buffer (at most size - 1 bytes, ending after a LF or CR, NUL-terminated).
// Null only when nothing was read: a last line without a line end is still returned.
char* FileGets(TFile* file, char* buffer, size_t size);
// Reads the whole file; false when it cannot be opened or read.
bool ReadWholeFile(const TString& name, std::string& out, int mode = FileReadRaw);
bool FileExists(const TString& name);
