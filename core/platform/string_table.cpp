#include "platform/string_table.h"

#include <algorithm>
#include <cstdio>
#include <cstring>
#include <string>

#include "platform/directory_iterator.h"
#include "platform/file.h"
#include "platform/file_map.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "platform/zxml.h"

namespace {

TStringTable* gStringTable = nullptr;

// The five named entities and one-byte decimal references, as the cells use them.
TString DecodeCell(const char* begin, const char* end) {
  static const struct {
    const char* text;
    char c;
  } Entities[] = {{"&amp;", '&'}, {"&lt;", '<'}, {"&gt;", '>'}, {"&quot;", '"'}, {"&apos;", '\''}};
  std::string out;
  for (const char* p = begin; p < end;) {
    if (*p != '&') {
      out.push_back(*p++);
      continue;
    }
    bool done = false;
    for (const auto& e : Entities) {
      size_t n = strlen(e.text);
      if (size_t(end - p) >= n && !strncmp(p, e.text, n)) {
        out.push_back(e.c);
        p += n;
        done = true;
        break;
      }
    }
    if (!done && end - p > 2 && p[1] == '#') {
      const char* semicolon = static_cast<const char*>(memchr(p + 2, ';', size_t(end - p - 2)));
      unsigned number = 0;
      const char* d = p + 2;
      for (; d < end && *d >= '0' && *d <= '9' && number < 256; ++d) number = number * 10 + unsigned(*d - '0');
      if (semicolon && d == semicolon && number > 0 && number < 256) {
        out.push_back(char(number));
        p = semicolon + 1;
        done = true;
      }
    }
    if (!done) out.push_back(*p++);
  }
  return TString(out);
}

// A cell's text: from the first ">" after "<Data" to the next "<"; null when no "<Data"
// starts before limit.
const char* FindCell(const char* from, const char* limit, TString& text) {
  const char* data = strstr(from, "<Data");
  if (!data || data >= limit) return nullptr;
  const char* open = strchr(data, '>');
  if (!open) return nullptr;
  const char* close = strchr(open + 1, '<');
  if (!close) close = open + 1 + strlen(open + 1);
  text = DecodeCell(open + 1, close);
  return close;
}

bool IsFlashNumbered(const TString& label) {
  int a = 0, b = 0;
  return sscanf(label.c_str(), "flash%2d_%2d", &a, &b) >= 1;
}

}  // namespace

bool TStringTable::Load(const TString& name) {
  mStrings.clear();
  return Merge(name);
}

bool TStringTable::Merge(const TString& name) {
  std::string image;
  if (!ReadWholeFile(name, image)) return false;
  return MergeBuffer(image.data(), image.size(), name);
}

bool TStringTable::MergeBuffer(const char* data, size_t size, const TString& sourceName) {
  std::string text;
  if (IsZxmlImage(data, size)) {
    if (!DecodeZxml(data, size, text, sourceName)) return false;
  } else {
    text.assign(data, size);
  }
  // Scanned as a NUL-terminated text: a NUL inside the file ends it.
  const char* all = text.c_str();
  const char* end = all + strlen(all);
  if (!strstr(all, "<Row")) LogPrintf("%s holds no <Row> elements; no strings added", sourceName.c_str());
  for (const char* row = strstr(all, "<Row"); row; ) {
    const char* next = strstr(row + 4, "<Row");
    const char* rowEnd = next ? next : end;
    TString label, value;
    const char* after = FindCell(row, rowEnd, label);
    if (after) {
      // The value cell may lie beyond this row; a row without one gets an empty value,
      // and a label with no "<Data" anywhere after it adds nothing.
      const char* valueEnd = FindCell(after + 1 <= end ? after + 1 : end, rowEnd, value);
      bool anyLater = strstr(after + 1 <= end ? after + 1 : end, "<Data") != nullptr;
      if (anyLater || valueEnd) mStrings[label] = valueEnd ? value : TString();
    }
    row = next;
  }
  return true;
}

const TString* TStringTable::Find(const TString& label) const {
  auto it = mStrings.find(label);
  return it == mStrings.end() ? nullptr : &it->second;
}

TString TStringTable::GetString(const TString& label, const TString& a1, const TString& a2, const TString& a3,
                                const TString& a4, const TString& a5) const {
  const TString* text = Find(label);
  if (!text) {
    LogPrintf(" ##### : Missing string for label '%s'", label.c_str());
    return "#####";
  }
  const TString* args[5] = {&a1, &a2, &a3, &a4, &a5};
  std::string out;
  const char* p = text->c_str();
  while (*p) {
    if (*p != '%') {
      out.push_back(*p++);
      continue;
    }
    const char* close = strchr(p + 1, '%');
    if (!close) {
      LogPrintf("Non-matched percent (%%) escape found in string %s, '%s'", label.c_str(), text->c_str());
      out.append(p);  // the rest is kept as it stands
      break;
    }
    std::string inner(p + 1, close);
    p = close + 1;
    if (inner.empty()) {
      out.push_back('%');
    } else if (inner.find_first_not_of("0123456789") == std::string::npos) {
      unsigned long number = inner.size() > 9 ? 0 : strtoul(inner.c_str(), nullptr, 10);
      if (number < 1 || number > 5) continue;
      const TString& arg = *args[number - 1];
      uint32_t n = arg.Length();
      if (arg == "%%") {
        out.push_back('%');
      } else if (n > 2 && arg.CharAt(0) == '%' && arg.CharAt(n - 1) == '%') {
        if (const TString* named = Find(arg.Substr(1, int32_t(n - 2)))) out += named->c_str();
      } else if (n == 0 || arg.CharAt(0) != '%') {
        out += arg.c_str();
      }
    } else if (const TString* named = Find(TString(inner))) {
      out += named->c_str();
    }
  }
  if (IsEnabled("stringtest"))
    for (char& c : out)
      if (c != ' ') c = 'x';
  return TString(out);
}

void TStringTable::GetFlashStrings(std::vector<std::pair<TString, TString>>& list) const {
  for (const auto& [label, text] : mStrings)
    if (label.Find("FLASH_") == 0) list.emplace_back(label, text);
  for (const auto& [label, text] : mStrings)
    if (IsFlashNumbered(label)) list.emplace_back(label, text);
}

bool LoadStringTables(TStringTable& table) {
  bool loaded = table.Load("strings.xml");
  if (!loaded) LogPrintf("strings.xml could not be read; texts show as #####");
  const struct {
    TString folder;
    const char* prefix;
  } Overrides[] = {{GetUserFolder(), "user:"}, {GetCommonFolder(), "common:"}};
  for (const auto& source : Overrides) {
    if (source.folder.IsEmpty()) continue;
    std::vector<TString> names;
    TDirectoryIterator listing(source.folder.c_str());
    TString name;
    while (listing.Next(name, nullptr))
      if (name.Find("string") == 0 && name.Find(".xml") >= 0) names.push_back(name);
    std::sort(names.begin(), names.end());
    for (const TString& file : names) table.Merge(TString(source.prefix) + file);
  }
  return loaded;
}

TStringTable* GetStringTable() { return gStringTable; }

void SetStringTable(TStringTable* table) { gStringTable = table; }
