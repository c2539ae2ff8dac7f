#include "platform/xml_reader.h"

#include <cstring>

#include "platform/log.h"
#include "platform/xml_node.h"

int TGetCharFile::UngetChar(int c) {
  if (!mFile || mFile->Tell() <= 0) return -1;
  mFile->Seek(-1, SeekCurrent);
  return c;
}

int TGetCharFile::GetChar() { return stop || !mFile ? -1 : FileGetc(mFile.get()); }

void TGetCharFile::Rewind() {
  if (mFile) mFile->Seek(0, SeekStart);
}

bool TGetCharFile::Reopen() {
  mFile = FileOpen(SourceName(), FileReadRaw);
  return mFile != nullptr;
}

int TGetCharString::UngetChar(int c) {
  if (mPosition == 0) return -1;
  --mPosition;
  return c;
}

int TGetCharString::GetChar() { return stop || mPosition >= mLength ? -1 : mData[mPosition++]; }

namespace {

struct TToken {
  TString text;
  bool quoted = false;
  bool end = false;
  bool Is(const char* s) const { return !quoted && !end && text == s; }
};

bool IsXmlSpace(int c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\v' || c == '\f'; }
bool IsXmlDelimiter(int c) { return c == '<' || c == '>' || c == '='; }

// One UTF-8 unit: a lead byte brings its continuation bytes along untested.
int ReadUnit(TGetChar& source, unsigned char unit[4]) {
  int c = source.GetChar();
  if (c < 0) return 0;
  int n = c >= 0xF0 ? 4 : c >= 0xE0 ? 3 : c >= 0xC0 ? 2 : 1;
  unit[0] = static_cast<unsigned char>(c);
  for (int i = 1; i < n; ++i) {
    int next = source.GetChar();
    if (next < 0) return i;
    unit[i] = static_cast<unsigned char>(next);
  }
  return n;
}

void UngetUnit(TGetChar& source, const unsigned char* unit, int n) {
  for (int i = n - 1; i >= 0; --i) source.UngetChar(unit[i]);
}

// "&name;" and "&#n;" in a token. Numbers below 256 give that byte; larger ones their
// UTF-8 form (a low byte alone would be a different letter); 0 gives nothing.
TString ReplaceEntities(const TString& token) {
  static const struct {
    const char* text;
    char c;
  } Entities[] = {{"amp;", '&'}, {"lt;", '<'}, {"gt;", '>'}, {"quot;", '"'}, {"apos;", '\''}};
  const char* p = token.c_str();
  if (!strchr(p, '&')) return token;
  TString out;
  uint32_t length = 0;
  while (*p) {
    if (*p != '&') {
      length = out.WriteAt(int32_t(length), p++, 1, false);
      continue;
    }
    bool done = false;
    for (const auto& e : Entities) {
      size_t n = strlen(e.text);
      if (strncmp(p + 1, e.text, n) == 0) {
        length = out.WriteAt(int32_t(length), &e.c, 1, false);
        p += 1 + n;
        done = true;
        break;
      }
    }
    const char* semicolon = (!done && p[1] == '#') ? strchr(p + 2, ';') : nullptr;
    if (semicolon) {
      uint32_t number = 0;
      for (const char* d = p + 2; *d >= '0' && *d <= '9' && number <= 0x110000; ++d) number = number * 10 + uint32_t(*d - '0');
      char bytes[4];
      int n = 0;
      if (number > 0 && number < 256)
        bytes[n++] = char(number);
      else if (number >= 256)
        n = Utf8Encode(number, bytes);
      if (n) length = out.WriteAt(int32_t(length), bytes, uint32_t(n), false);
      p = semicolon + 1;
      done = true;
    }
    if (!done) length = out.WriteAt(int32_t(length), p++, 1, false);
  }
  out.WriteAt(int32_t(length), "", 0, true);
  return out;
}

TToken ReadXmlToken(TGetChar& source) {
  TToken token;
  unsigned char unit[4];
  int n;
  do {
    n = ReadUnit(source, unit);
    if (n == 0) {
      token.end = true;
      return token;
    }
  } while (n == 1 && IsXmlSpace(unit[0]));
  if (n == 1 && IsXmlDelimiter(unit[0])) {
    token.text = TString(reinterpret_cast<const char*>(unit), 1);
    return token;
  }
  TString text;
  text.Reserve(256);
  uint32_t length = 0;
  if (n == 1 && unit[0] == '"') {
    token.quoted = true;
    while ((n = ReadUnit(source, unit)) > 0 && !(n == 1 && unit[0] == '"'))
      length = text.WriteAt(int32_t(length), unit, uint32_t(n), false);
  } else {
    length = text.WriteAt(0, unit, uint32_t(n), false);
    while ((n = ReadUnit(source, unit)) > 0) {
      if (n == 1 && (IsXmlSpace(unit[0]) || IsXmlDelimiter(unit[0]))) {
        UngetUnit(source, unit, n);
        // "name/>": the slash becomes a token of its own (a lone "/" stays what it is).
        if (unit[0] == '>' && length > 1 && text.c_str()[length - 1] == '/') {
          source.UngetChar('/');
          --length;
        }
        break;
      }
      length = text.WriteAt(int32_t(length), unit, uint32_t(n), false);
    }
  }
  text.WriteAt(int32_t(length), "", 0, true);
  token.text = ReplaceEntities(text);
  return token;
}

enum class TTagResult { None, Child, Close };

TTagResult ParseXmlTag(TXmlNode* node, TGetChar& source, TXmlNode*& child) {
  TToken name = ReadXmlToken(source);
  if (name.end) return TTagResult::None;
  if (!name.quoted && name.text.CharAt(0) == '/') {
    // A closing tag ends the current element, whatever name it gives.
    for (TToken t = name; !t.end && !t.Is(">"); t = ReadXmlToken(source)) {
    }
    if (source.depth == 1) source.topClosed = true;
    return TTagResult::Close;
  }
  TXmlNode* element = node->OnChild(name.text);
  const char* n = name.text.c_str();
  bool declaration = !strcmp(n, "?xml") || !strcmp(n, "!DOCTYPE") || !strncmp(n, "!--", 3);
  TToken previous = name;
  TString attributeName;
  bool haveName = false;
  for (;;) {
    TToken t = ReadXmlToken(source);
    if (t.end) return TTagResult::None;
    if (t.Is("=") && haveName) {
      TToken value = ReadXmlToken(source);
      if (value.end) return TTagResult::None;
      haveName = false;
      if (!value.Is(">")) {
        element->OnAttribute(attributeName, value.text, value.quoted);
        previous = value;
        continue;
      }
      t = value;  // "name=>": the tag ends here
    }
    if (t.Is(">")) {
      if (declaration || previous.Is("/") || previous.Is("?")) return TTagResult::None;
      child = element;
      return TTagResult::Child;
    }
    if (!t.Is("=")) {
      attributeName = t.text;
      haveName = true;
    }
    previous = t;
  }
}

}  // namespace

void ParseXmlContent(TXmlNode* node, TGetChar& source) {
  while (!source.stop) {
    TToken token = ReadXmlToken(source);
    if (token.end) {
      source.endOfInput = true;
      return;
    }
    if (!token.Is("<")) {
      // A token that entities reduced to nothing adds no blank either.
      if (!token.text.IsEmpty() || token.quoted) node->OnText(token.text.c_str(), token.text.Length());
      continue;
    }
    TXmlNode* child = nullptr;
    TTagResult result = ParseXmlTag(node, source, child);
    if (result == TTagResult::Close) {
      node->OnEndElement();
      return;
    }
    if (result != TTagResult::Child) continue;
    if (source.depth >= MaxXmlDepth) {
      // Deep nesting is hostile or broken input; the recursion must stay bounded.
      LogPrintf("%s: XML elements nested deeper than %d levels; the rest is ignored",
                source.SourceName().c_str(), MaxXmlDepth);
      source.stop = true;
      return;
    }
    ++source.depth;
    ParseXmlContent(child, source);
    --source.depth;
  }
}
