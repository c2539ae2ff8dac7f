#pragma once
// ISerializable: a model object that writes itself as model text, the Lua that the model
// compositor reads back (the save game is this text). The records' form and the value
// writers live in record_writer.h.

#include <string>

class ISerializable {
 public:
  virtual ~ISerializable() = default;
  // Appends the object's record to `out'; never clears it.
  virtual void Serialize(std::string& out) const = 0;
};
