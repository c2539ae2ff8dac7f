#pragma once
// The model text's writer. A record is an empty line, the Make function's name, "{", one
// field line per value ("\tkey = value,\n"), the nested records, and "}; -- Name end". The
// text is Lua that the engine's interpreter reads back: strings are quoted with quotes,
// backslashes and line breaks escaped, and numbers are written so that they read back to the
// same value. Ordinary values (plain text, whole numbers, 0.25) come out as plain as they
// go in.

#include <cstdint>
#include <string>
#include <vector>

#include "platform/engine_string.h"

class ISerializable;

// Appends the text as a Lua string literal: between double quotes, with `"', `\', line feed
// and carriage return escaped.
void AppendLuaString(std::string& out, const TString& text);
// A number as Lua reads it back exactly: whole values as integers, others as the shortest
// text that reads back to the same double ("2.5", "1e+21"); -0 as 0, and NaN and the
// infinities as the expressions (0/0), (1/0) and (-1/0).
std::string FormatLuaNumber(double value);
// The same for a 32-bit float: the shortest text that reads back to the same float.
std::string FormatLuaFloat(float value);

class CRecordWriter {
 public:
  // How a record opens: with the empty line of every nested record, or without it (the
  // game's root record follows its require line).
  enum class Head { EmptyLine, NoEmptyLine };
  explicit CRecordWriter(const char* constructor, Head head = Head::EmptyLine);
  // A fragment: field lines without a head or an end line (the scene fields that every
  // scene kind embeds in its own record).
  CRecordWriter();
  CRecordWriter(const CRecordWriter&) = delete;
  CRecordWriter& operator=(const CRecordWriter&) = delete;

  void Number(const char* key, int64_t value);
  // The last line of a record that Lua needs no separator after: "\tkey = value\n".
  void LastNumber(const char* key, int64_t value);
  void Float(const char* key, float value);
  void String(const char* key, const TString& text);
  // A number written between quotes, as the game root writes its font sizes and colours.
  void QuotedNumber(const char* key, int64_t value);
  // Flags are the strings "true" and "false", never Lua booleans.
  void Flag(const char* key, bool value);
  // One corner of a quadrilateral: "\tpositionXn = x, positionYn = y,\n".
  void Corner(int index, int32_t x, int32_t y);
  // A positional string entry: "\t\"text\",\n".
  void Entry(const TString& text);
  // A plain list of numbers as the record's last entry, without a separator: "\t{1, 2}\n".
  void LastList(const std::vector<uint32_t>& values);
  // A nested record, or any text the record's class writes in a form of its own.
  void Nested(const ISerializable& object);
  void Text(const std::string& text);
  std::string& Buffer() { return mText; }

  // Closes the record with its end line (a fragment has none) and appends it to `out'.
  void Finish(std::string& out);

 private:
  void Key(const char* key);

  std::string mText;
  const char* mConstructor = nullptr;
};
