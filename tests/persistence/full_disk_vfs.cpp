#include "persistence/full_disk_vfs.h"

#include <sqlite3.h>

#include <atomic>

namespace {

sqlite3_vfs* gReal = nullptr;
std::atomic<bool> gFull{false};

// The real file is kept right behind this record, in the space SQLite gives each file.
struct TFile {
  sqlite3_file base;
  sqlite3_file* real;
};

sqlite3_file* Real(sqlite3_file* f) { return reinterpret_cast<TFile*>(f)->real; }
const sqlite3_io_methods* M(sqlite3_file* f) { return Real(f)->pMethods; }

int Close(sqlite3_file* f) { return M(f)->xClose(Real(f)); }
int Read(sqlite3_file* f, void* p, int n, sqlite3_int64 at) { return M(f)->xRead(Real(f), p, n, at); }
int Write(sqlite3_file* f, const void* p, int n, sqlite3_int64 at) {
  return gFull ? SQLITE_FULL : M(f)->xWrite(Real(f), p, n, at);
}
int Truncate(sqlite3_file* f, sqlite3_int64 size) { return M(f)->xTruncate(Real(f), size); }
int Sync(sqlite3_file* f, int flags) { return M(f)->xSync(Real(f), flags); }
int FileSize(sqlite3_file* f, sqlite3_int64* size) { return M(f)->xFileSize(Real(f), size); }
int Lock(sqlite3_file* f, int level) { return M(f)->xLock(Real(f), level); }
int Unlock(sqlite3_file* f, int level) { return M(f)->xUnlock(Real(f), level); }
int CheckReservedLock(sqlite3_file* f, int* out) { return M(f)->xCheckReservedLock(Real(f), out); }
int FileControl(sqlite3_file* f, int op, void* arg) { return M(f)->xFileControl(Real(f), op, arg); }
int SectorSize(sqlite3_file* f) { return M(f)->xSectorSize(Real(f)); }
int DeviceCharacteristics(sqlite3_file* f) { return M(f)->xDeviceCharacteristics(Real(f)); }
int ShmMap(sqlite3_file* f, int region, int size, int extend, void volatile** p) {
  return M(f)->xShmMap(Real(f), region, size, extend, p);
}
int ShmLock(sqlite3_file* f, int offset, int n, int flags) { return M(f)->xShmLock(Real(f), offset, n, flags); }
void ShmBarrier(sqlite3_file* f) { M(f)->xShmBarrier(Real(f)); }
int ShmUnmap(sqlite3_file* f, int deleteFlag) { return M(f)->xShmUnmap(Real(f), deleteFlag); }
int Fetch(sqlite3_file* f, sqlite3_int64 at, int n, void** p) { return M(f)->xFetch(Real(f), at, n, p); }
int Unfetch(sqlite3_file* f, sqlite3_int64 at, void* p) { return M(f)->xUnfetch(Real(f), at, p); }

sqlite3_io_methods MakeMethods() {
  sqlite3_io_methods m = {};
  m.iVersion = 3;
  m.xClose = Close;
  m.xRead = Read;
  m.xWrite = Write;
  m.xTruncate = Truncate;
  m.xSync = Sync;
  m.xFileSize = FileSize;
  m.xLock = Lock;
  m.xUnlock = Unlock;
  m.xCheckReservedLock = CheckReservedLock;
  m.xFileControl = FileControl;
  m.xSectorSize = SectorSize;
  m.xDeviceCharacteristics = DeviceCharacteristics;
  m.xShmMap = ShmMap;
  m.xShmLock = ShmLock;
  m.xShmBarrier = ShmBarrier;
  m.xShmUnmap = ShmUnmap;
  m.xFetch = Fetch;
  m.xUnfetch = Unfetch;
  return m;
}

const sqlite3_io_methods gMethods = MakeMethods();

int Open(sqlite3_vfs*, const char* name, sqlite3_file* f, int flags, int* outFlags) {
  TFile* file = reinterpret_cast<TFile*>(f);
  file->real = reinterpret_cast<sqlite3_file*>(file + 1);
  int rc = gReal->xOpen(gReal, name, file->real, flags, outFlags);
  file->base.pMethods = file->real->pMethods ? &gMethods : nullptr;
  return rc;
}
int Delete(sqlite3_vfs*, const char* name, int sync) { return gReal->xDelete(gReal, name, sync); }
int Access(sqlite3_vfs*, const char* name, int flags, int* out) { return gReal->xAccess(gReal, name, flags, out); }
int FullPathname(sqlite3_vfs*, const char* name, int n, char* out) {
  return gReal->xFullPathname(gReal, name, n, out);
}

sqlite3_vfs gVfs;

}  // namespace

TFullDiskVfs::TFullDiskVfs() {
  gReal = sqlite3_vfs_find(nullptr);
  gVfs = *gReal;
  gVfs.zName = "fulldisk";
  gVfs.szOsFile = int(sizeof(TFile)) + gReal->szOsFile;
  gVfs.pNext = nullptr;
  gVfs.xOpen = Open;
  gVfs.xDelete = Delete;
  gVfs.xAccess = Access;
  gVfs.xFullPathname = FullPathname;
  gFull = false;
  sqlite3_vfs_register(&gVfs, 1);
}

TFullDiskVfs::~TFullDiskVfs() {
  sqlite3_vfs_unregister(&gVfs);
  gFull = false;
}

void TFullDiskVfs::SetFull(bool full) { gFull = full; }
