#include "platform/file_streams.h"

#include <sys/stat.h>

#include <algorithm>
#include <cstring>

bool TDiskFileData::Open(const TFileLocation& location, int mode) {
  Close();
  if (location.kind != TFileLocation::Disk || location.path.IsEmpty()) return false;
  const char* how;
  switch (mode) {
    case FileReadRaw: how = "rb"; break;
    case FileWriteRaw: case FileWriteText: how = "wb"; break;
    case FileAppendRaw: case FileAppendText: how = "ab"; break;
    default: how = "rb"; mode = FileReadText; break;
  }
  mFile = fopen(location.path.c_str(), how);
  if (!mFile) return false;
  // A folder opens with fopen on Linux but reads nothing: it is no file.
  struct stat info;
  if (fstat(fileno(mFile), &info) != 0 || S_ISDIR(info.st_mode)) {
    Close();
    return false;
  }
  mMode = mode;
  mLastByte = -1;
  return true;
}

void TDiskFileData::Close() {
  if (mFile) fclose(mFile);
  mFile = nullptr;
  mLastByte = -1;
}

void TDiskFileData::Unget() {
  if (!mFile || mLastByte < 0) return;
  ungetc(mLastByte, mFile);
  mLastByte = -1;
}

void TDiskFileData::Seek(int64_t offset, int whence) {
  if (!mFile) return;
  int64_t base = whence == SeekStart ? 0 : whence == SeekEnd ? GetSize() : Tell();
  int64_t target = base + offset;
  fseeko(mFile, target < 0 ? 0 : target, SEEK_SET);
  mLastByte = -1;
}

int64_t TDiskFileData::GetSize() {
  if (!mFile) return 0;
  fflush(mFile);
  struct stat info;
  return fstat(fileno(mFile), &info) == 0 ? int64_t(info.st_size) : 0;
}

int64_t TDiskFileData::Tell() { return mFile ? int64_t(ftello(mFile)) : -1; }

size_t TDiskFileData::Read(void* buffer, size_t count) {
  if (!mFile || count == 0) return 0;
  unsigned char* out = static_cast<unsigned char*>(buffer);
  size_t stored = 0;
  if (mMode != FileReadText) {
    stored = fread(out, 1, count, mFile);
  } else {
    while (stored < count) {
      size_t got = fread(out + stored, 1, count - stored, mFile);
      if (got == 0) break;
      unsigned char* end = std::remove(out + stored, out + stored + got, '\r');
      stored = size_t(end - out);
    }
  }
  if (stored) mLastByte = out[stored - 1];
  return stored;
}

size_t TDiskFileData::Write(const void* buffer, size_t count) {
  if (!mFile || IsReadMode(mMode)) return 0;
  return fwrite(buffer, 1, count, mFile);
}

bool TDiskFileData::IsEOF() { return !mFile || feof(mFile); }

void TRangeReader::Reset(const unsigned char* base, uint64_t size, int mode) {
  mBase = base;
  mSize = base ? size : 0;
  mPosition = 0;
  mMode = mode;
}

bool TRangeReader::Seek(int64_t offset, int whence) {
  int64_t base = whence == SeekStart ? 0 : whence == SeekEnd ? int64_t(mSize) : int64_t(mPosition);
  // Saturating: a huge offset must not wrap into the range.
  int64_t target;
  if (__builtin_add_overflow(base, offset, &target)) target = offset < 0 ? -1 : INT64_MAX;
  if (target < 0) {
    mPosition = 0;
    return false;
  }
  if (uint64_t(target) > mSize) {
    mPosition = mSize;
    return false;
  }
  mPosition = uint64_t(target);
  return true;
}

size_t TRangeReader::Read(void* buffer, size_t count, bool* hitEnd) {
  uint64_t left = mSize - mPosition;
  // Compared as remaining bytes, so position + count can never overflow.
  if (hitEnd) *hitEnd = count > left;
  unsigned char* out = static_cast<unsigned char*>(buffer);
  if (mMode != FileReadText) {
    size_t n = count > left ? size_t(left) : count;
    if (n) memcpy(out, mBase + mPosition, n);
    mPosition += n;
    return n;
  }
  // Text: carriage returns are consumed but not stored, until count bytes are stored.
  size_t stored = 0;
  while (stored < count && mPosition < mSize) {
    unsigned char c = mBase[mPosition++];
    if (c != '\r') out[stored++] = c;
  }
  return stored;
}

bool TMemoryFile::Open(const TFileLocation& location, int mode) {
  Close();
  if (location.kind != TFileLocation::Memory || !location.address || !IsReadMode(mode)) return false;
  mRange.Reset(static_cast<const unsigned char*>(location.address), location.size, mode);
  return true;
}
