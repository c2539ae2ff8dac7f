#pragma once
// The disk and memory kinds of TFileData (the package kind is in package.h).

#include <cstdio>

#include "platform/file.h"

// A file on disk. Text-mode reads drop carriage returns; text is written with LF only.
class TDiskFileData : public TFileData {
 public:
  ~TDiskFileData() override { Close(); }
  bool Open(const TFileLocation& location, int mode) override;
  void Close() override;
  void Unget() override;
  void Seek(int64_t offset, int whence) override;
  int64_t GetSize() override;
  int64_t Tell() override;
  size_t Read(void* buffer, size_t count) override;
  size_t Write(const void* buffer, size_t count) override;
  bool IsEOF() override;

 private:
  FILE* mFile = nullptr;
  int mMode = FileReadRaw;
  int mLastByte = -1;
};

// Shared by the read-only range streams (memory blocks and package ranges): a cursor over
// size bytes at base, with text-mode reads that drop carriage returns.
class TRangeReader {
 public:
  void Reset(const unsigned char* base, uint64_t size, int mode);
  // Moves the position; before the start it lands at 0, past the end at the size.
  // Answers whether the wanted position lay inside the range.
  bool Seek(int64_t offset, int whence);
  // Copies up to count bytes; answers the bytes stored; *hitEnd when count reached past the end.
  size_t Read(void* buffer, size_t count, bool* hitEnd);
  uint64_t Size() const { return mSize; }
  uint64_t Position() const { return mPosition; }
  int Mode() const { return mMode; }

 private:
  const unsigned char* mBase = nullptr;
  uint64_t mSize = 0;
  uint64_t mPosition = 0;
  int mMode = FileReadRaw;
};

// A read-only view of a memory block registered with RegisterMemoryFile.
class TMemoryFile : public TFileData {
 public:
  bool Open(const TFileLocation& location, int mode) override;
  void Close() override { mRange.Reset(nullptr, 0, FileReadRaw); }
  void Unget() override { mRange.Seek(-1, SeekCurrent); }
  void Seek(int64_t offset, int whence) override { mRange.Seek(offset, whence); }
  int64_t GetSize() override { return int64_t(mRange.Size()); }
  int64_t Tell() override { return int64_t(mRange.Position()); }
  size_t Read(void* buffer, size_t count) override { return mRange.Read(buffer, count, nullptr); }
  size_t Write(const void* buffer, size_t count) override { return 0; }
  bool IsEOF() override { return mRange.Position() == mRange.Size(); }

 private:
  TRangeReader mRange;
};
