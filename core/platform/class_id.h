#pragma once
// Class identity: every engine class answers its name and an is-kind-of test against a
// class id. A class's id is the address of a static object that belongs to it alone.

using TClassId = const void*;

// Inside a class: `TARVELON_CLASS_ID()` declares `static TClassId ClassId()`.
#define TARVELON_CLASS_ID()              \
  static TClassId ClassId() {            \
    static const char id = 0;            \
    return &id;                          \
  }
