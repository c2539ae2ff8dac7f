#pragma once
// Where a file-map name lives: a disk path, a memory block or a range of a mounted package.
// Kinds are tagged, so no path text is ever read as a memory address.

#include <cstddef>
#include <cstdint>

#include "platform/engine_string.h"

struct TFileLocation {
  enum Kind : uint8_t { None, Disk, Memory, Package };

  Kind kind = None;
  TString path;                    // Disk
  const void* address = nullptr;   // Memory: a non-owning link; the block outlives its name
  int package = -1;                // Package: index in the package table
  uint64_t offset = 0;             // Package: offset of the data in the package file
  uint64_t size = 0;               // Memory, Package: bytes

  bool IsValid() const { return kind != None; }
  static TFileLocation OnDisk(const TString& path) {
    TFileLocation l;
    l.kind = Disk;
    l.path = path;
    return l;
  }
  static TFileLocation InMemory(const void* address, uint64_t size) {
    TFileLocation l;
    l.kind = Memory;
    l.address = address;
    l.size = size;
    return l;
  }
  static TFileLocation InPackage(int package, uint64_t offset, uint64_t size) {
    TFileLocation l;
    l.kind = Package;
    l.package = package;
    l.offset = offset;
    l.size = size;
    return l;
  }
  // Text for logs: the path, "&<address>,<size>" or "@<package>:<offset>,<size>".
  TString Describe() const;
};
