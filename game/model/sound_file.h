#pragma once
// A sound file that a mini-game names, and whether its record set one: a sound set to the
// empty name still writes its key back, one never set writes none.

#include "model/record_writer.h"
#include "platform/engine_string.h"

class CSoundFile {
 public:
  void Set(const TString& file) {
    mFile = file;
    mSet = true;
  }
  bool IsSet() const { return mSet; }
  const TString& Get() const { return mFile; }
  // The field line "\tkey = \"file\",\n" when the sound was set.
  void Write(CRecordWriter& record, const char* key) const {
    if (mSet) record.String(key, mFile);
  }

 private:
  TString mFile;
  bool mSet = false;
};
