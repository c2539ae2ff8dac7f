#include "model/record_writer.h"

#include <charconv>
#include <cmath>

#include "model/serializable.h"

namespace {

template <typename T>
std::string ShortestText(T value) {
  if (std::isnan(value)) return "(0/0)";
  if (std::isinf(value)) return value > 0 ? "(1/0)" : "(-1/0)";
  // -0 would read back as 0 (the parser folds the minus into the constant), so the second
  // writing would differ from the first.
  if (value == 0) return "0";
  // Whole numbers in the range where doubles count every integer are written as integers.
  if (std::fabs(value) < T(1e15) && std::trunc(value) == value) return std::to_string(int64_t(value));
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, value);
  return std::string(buffer, result.ptr);
}

}  // namespace

void AppendLuaString(std::string& out, const TString& text) {
  out += '"';
  const char* p = text.c_str();
  for (uint32_t i = 0, n = text.Length(); i < n; ++i) {
    switch (p[i]) {
      case '"': out += "\\\""; break;
      case '\\': out += "\\\\"; break;
      case '\n': out += "\\n"; break;
      case '\r': out += "\\r"; break;
      default: out += p[i];
    }
  }
  out += '"';
}

std::string FormatLuaNumber(double value) { return ShortestText(value); }

std::string FormatLuaFloat(float value) { return ShortestText(value); }

CRecordWriter::CRecordWriter(const char* constructor, Head head) : mConstructor(constructor) {
  if (head == Head::EmptyLine) mText += '\n';
  mText += constructor;
  mText += "\n{\n";
}

CRecordWriter::CRecordWriter() = default;

void CRecordWriter::Key(const char* key) {
  mText += '\t';
  mText += key;
  mText += " = ";
}

void CRecordWriter::Number(const char* key, int64_t value) {
  Key(key);
  mText += std::to_string(value);
  mText += ",\n";
}

void CRecordWriter::LastNumber(const char* key, int64_t value) {
  Key(key);
  mText += std::to_string(value);
  mText += '\n';
}

void CRecordWriter::Float(const char* key, float value) {
  Key(key);
  mText += FormatLuaFloat(value);
  mText += ",\n";
}

void CRecordWriter::String(const char* key, const TString& text) {
  Key(key);
  AppendLuaString(mText, text);
  mText += ",\n";
}

void CRecordWriter::QuotedNumber(const char* key, int64_t value) {
  Key(key);
  mText += '"';
  mText += std::to_string(value);
  mText += "\",\n";
}

void CRecordWriter::Flag(const char* key, bool value) { String(key, value ? "true" : "false"); }

void CRecordWriter::Corner(int index, int32_t x, int32_t y) {
  std::string n = std::to_string(index);
  mText += "\tpositionX" + n + " = " + std::to_string(x) + ", positionY" + n + " = " + std::to_string(y) + ",\n";
}

void CRecordWriter::Entry(const TString& text) {
  mText += '\t';
  AppendLuaString(mText, text);
  mText += ",\n";
}

void CRecordWriter::LastList(const std::vector<uint32_t>& values) {
  mText += "\t{";
  for (size_t i = 0; i < values.size(); ++i) {
    if (i) mText += ", ";
    mText += std::to_string(values[i]);
  }
  mText += "}\n";
}

void CRecordWriter::Nested(const ISerializable& object) { object.Serialize(mText); }

void CRecordWriter::Text(const std::string& text) { mText += text; }

void CRecordWriter::Finish(std::string& out) {
  if (mConstructor) {
    mText += "}; -- ";
    mText += mConstructor;
    mText += " end\n";
  }
  out += mText;
  mText.clear();
}
