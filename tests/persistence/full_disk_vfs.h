#pragma once
// A disk that can be made full, for the preferences tests: an SQLite file layer over the
// default one whose writes fail with SQLITE_FULL while the disk is full, as they do when
// the real disk has no space left. It is the default file layer while it exists.

class TFullDiskVfs {
 public:
  TFullDiskVfs();
  ~TFullDiskVfs();
  TFullDiskVfs(const TFullDiskVfs&) = delete;
  TFullDiskVfs& operator=(const TFullDiskVfs&) = delete;

  void SetFull(bool full);
};
