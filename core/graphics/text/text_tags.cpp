#include "graphics/text/text_tags.h"

#include <cstdlib>
#include <cstring>

namespace {

bool IsTagSpace(char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\n'; }

char Lower(char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; }

// Tag names in the order they are tried; the first that starts the tag wins, so "<bold>"
// is "b" and "<break>" is "br".
struct TTagName {
  const char* name;
  TTextTagKind kind;
};
const TTagName TagNames[] = {
    {"br", TTextTagKind::Br},           {"/p", TTextTagKind::EndP},
    {"a", TTextTagKind::A},             {"/a", TTextTagKind::EndA},
    {"b", TTextTagKind::B},             {"/b", TTextTagKind::EndB},
    {"i", TTextTagKind::I},             {"/i", TTextTagKind::EndI},
    {"u", TTextTagKind::U},             {"/u", TTextTagKind::EndU},
    {"cursor", TTextTagKind::Cursor},   {"center", TTextTagKind::Center},
    {"/center", TTextTagKind::EndCenter}, {"left", TTextTagKind::Left},
    {"/left", TTextTagKind::EndLeft},   {"right", TTextTagKind::Right},
    {"/right", TTextTagKind::EndRight}, {"font", TTextTagKind::Font},
    {"/font", TTextTagKind::EndFont},   {"outline", TTextTagKind::Outline},
    {"/outline", TTextTagKind::EndOutline}, {"tab", TTextTagKind::Tab},
};

int HexDigit(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

}  // namespace

bool ReadTextTag(const char* text, size_t length, size_t pos, TTextTag& tag, size_t& next) {
  if (pos >= length || text[pos] != '<') return false;
  if (!memchr(text + pos + 1, '>', length - pos - 1)) return false;
  tag.buffer.clear();
  bool inQuotes = false, keepCase = false;
  size_t at = pos;
  for (; at < length && tag.buffer.size() < TTextTag::BufferSize; ++at) {
    char c = text[at];
    if (c == '>') {
      ++at;
      break;
    }
    if (c == '"' || c == '\'') inQuotes = !inQuotes;
    if (IsTagSpace(c)) {
      keepCase = false;
      if (!inQuotes) continue;
    }
    if (c == '=') keepCase = true;
    tag.buffer += keepCase ? c : Lower(c);
  }
  next = at;
  tag.kind = TTextTagKind::Unknown;
  const char* name = tag.buffer.c_str() + 1;
  for (const TTagName& candidate : TagNames) {
    if (strncmp(name, candidate.name, strlen(candidate.name)) == 0) {
      tag.kind = candidate.kind;
      break;
    }
  }
  return true;
}

bool TTextTag::Attribute(const char* name, std::string& value) const {
  size_t at = buffer.find(name, 1);
  if (at == std::string::npos) return false;
  at += strlen(name);
  size_t open = buffer.find('"', at);
  if (open == std::string::npos) open = buffer.find('\'', at);
  if (open == std::string::npos) return false;
  size_t close = buffer.find('"', open + 1);
  if (close == std::string::npos) close = buffer.find('\'', open + 1);
  if (close == std::string::npos) return false;
  value = buffer.substr(open + 1, close - open - 1);
  return true;
}

int TTextTag::IntAttribute(const char* name, int def) const {
  std::string value;
  if (!Attribute(name, value)) return def;
  return int(strtol(value.c_str(), nullptr, 10));
}

TColor ParseTagColour(const std::string& value, bool withAlpha) {
  size_t at = !value.empty() && value[0] == '#' ? 1 : 0;
  uint32_t digits[8] = {};
  size_t count = 0;
  while (count < 8 && at + count < value.size() && HexDigit(value[at + count]) >= 0) {
    digits[count] = uint32_t(HexDigit(value[at + count]));
    ++count;
  }
  auto byte = [&](int i) { return float(digits[2 * i] << 4 | digits[2 * i + 1]) / 255.0f; };
  if (count < 8 || !withAlpha) {
    // Fewer than six digits read as a number whose missing high digits are zero.
    size_t used = count < 6 ? count : 6;
    uint32_t rgb = 0;
    for (size_t i = 0; i < used; ++i) rgb = rgb << 4 | digits[i];
    return TColor{float(rgb >> 16 & 0xFF) / 255.0f, float(rgb >> 8 & 0xFF) / 255.0f, float(rgb & 0xFF) / 255.0f,
                  1.0f};
  }
  return TColor{byte(0), byte(1), byte(2), byte(3)};
}

uint32_t ReadTextChar(const char* text, size_t length, size_t pos, size_t& count) {
  const auto* s = reinterpret_cast<const unsigned char*>(text) + pos;
  size_t left = length - pos;
  if (pos >= length) {
    count = 0;
    return 0;
  }
  size_t n = s[0] >= 0xF0 ? 4 : s[0] >= 0xE0 ? 3 : s[0] >= 0xC0 ? 2 : 1;
  if (n == 1) {
    count = 1;
    return s[0];
  }
  if (n > left) {
    // The text ends inside the sequence: what is there is one broken character.
    count = left;
    return 0xFFFD;
  }
  count = n;
  uint32_t code = s[0] & (0x7F >> n);
  for (size_t i = 1; i < n; ++i) {
    if ((s[i] & 0xC0) != 0x80) return 0xFFFD;
    code = code << 6 | (s[i] & 0x3F);
  }
  return code;
}

void TTextMarkupState::Reset(const FontSpec& base) {
  mFonts[0] = base;
  for (size_t i = 1; i < mFonts.size(); ++i) mFonts[i] = FontSpec();
  mFontLevel = 0;
  mAlign.fill(-1);
  mAlignDepth = 0;
  bold = italic = underline = false;
  inLink = false;
  linkId = TString();
  linkColour = TColor{0, 0, 0, 0};
  outlineWidth = 0;
  outlineColour = TColor{0, 0, 0, 0};
}

FontSpec* TTextMarkupState::PushFont() {
  ++mFontLevel;
  if (mFontLevel >= StackDepth) return nullptr;
  mFonts[size_t(mFontLevel)] = mFonts[size_t(mFontLevel - 1)];
  return &mFonts[size_t(mFontLevel)];
}

void TTextMarkupState::PopFont() {
  if (mFontLevel > 0) --mFontLevel;
}

void TTextMarkupState::PushAlignment(int alignment) {
  ++mAlignDepth;
  if (mAlignDepth < StackDepth) mAlign[size_t(mAlignDepth)] = alignment;
}

void TTextMarkupState::PopAlignment() {
  if (mAlignDepth > 0) --mAlignDepth;
}

void TTextMarkupState::Apply(const TTextTag& tag) {
  std::string value;
  switch (tag.kind) {
    case TTextTagKind::A:
      inLink = true;
      linkId = tag.Attribute("id", value) ? TString(value) : TString();
      linkColour = tag.Attribute("color", value) ? ParseTagColour(value, false) : CurrentFont().colour;
      break;
    case TTextTagKind::EndA:
      inLink = false;
      linkId = TString();
      linkColour = CurrentFont().colour;
      break;
    case TTextTagKind::B: bold = true; break;
    case TTextTagKind::EndB: bold = false; break;
    case TTextTagKind::I: italic = true; break;
    case TTextTagKind::EndI: italic = false; break;
    case TTextTagKind::U: underline = true; break;
    case TTextTagKind::EndU: underline = false; break;
    case TTextTagKind::Left: PushAlignment(0); break;
    case TTextTagKind::Center: PushAlignment(1); break;
    case TTextTagKind::Right: PushAlignment(2); break;
    case TTextTagKind::EndLeft:
    case TTextTagKind::EndCenter:
    case TTextTagKind::EndRight: PopAlignment(); break;
    case TTextTagKind::Font:
      if (FontSpec* font = PushFont()) {
        font->size = tag.IntAttribute("size", font->size);
        if (tag.Attribute("color", value)) font->colour = ParseTagColour(value, true);
        if (tag.Attribute("face", value)) font->face = TString(value);
      }
      break;
    case TTextTagKind::EndFont: PopFont(); break;
    case TTextTagKind::Outline:
      outlineColour = tag.Attribute("color", value) ? ParseTagColour(value, false) : TColor{0, 0, 0, 1};
      outlineWidth = tag.Attribute("size", value) ? float(strtod(value.c_str(), nullptr)) : 2.0f;
      break;
    case TTextTagKind::EndOutline:
      outlineWidth = 0;
      outlineColour = TColor{0, 0, 0, 0};
      break;
    default: break;
  }
}
