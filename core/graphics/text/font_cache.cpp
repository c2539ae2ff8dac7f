#include "graphics/text/font_cache.h"

#include <map>
#include <vector>

#include "graphics/text/default_font.h"
#include "graphics/text/mini_vec_draw.h"
#include "platform/file.h"
#include "platform/log.h"

namespace {

// A font file larger than this is not a font: it is refused rather than read whole.
constexpr int64_t MaxFontFileSize = 32 << 20;

const char BuiltInName[] = "__DEFAULT";
const char DefaultFileName[] = "fonts/default.mvec";

TJxMiniVecDraw* gTextRasteriser = nullptr;

std::map<TString, std::shared_ptr<const TVecFont>>& Fonts() {
  static std::map<TString, std::shared_ptr<const TVecFont>> fonts;
  return fonts;
}

// Freed glyph shapes must not be found again by address in the rasteriser's run cache.
std::shared_ptr<TVecFont> NewFont() {
  return std::shared_ptr<TVecFont>(new TVecFont, [](TVecFont* font) {
    delete font;
    if (gTextRasteriser) gTextRasteriser->ClearCache();
  });
}

std::shared_ptr<TVecFont> MakeBuiltIn() {
  auto font = NewFont();
  font->Load(std::vector<uint8_t>(GetDefaultFont(), GetDefaultFont() + GetDefaultFontSize()),
             BuiltInName);
  return font;
}

// Reads the whole file; false when it cannot be opened (or is too large to be a font).
bool ReadFontFile(const TString& name, std::vector<uint8_t>& bytes) {
  TFilePtr file = FileOpen(name, FileReadRaw);
  if (!file) return false;
  int64_t size = file->GetSize();
  if (size < 0 || size > MaxFontFileSize) {
    LogPrintf("Font %s: %lld bytes is too large for a font file", name.c_str(), static_cast<long long>(size));
    return false;
  }
  bytes.resize(size_t(size));
  size_t got = bytes.empty() ? 0 : file->Read(bytes.data(), bytes.size());
  bytes.resize(got);
  return true;
}

std::shared_ptr<TVecFont> MakeFont(const TString& name) {
  if (name == BuiltInName) return MakeBuiltIn();
  std::vector<uint8_t> bytes;
  TString source = name;
  if (!ReadFontFile(name, bytes)) {
    source = DefaultFileName;
    if (!ReadFontFile(source, bytes)) return MakeBuiltIn();
  }
  auto font = NewFont();
  font->Load(std::move(bytes), source);
  return font;
}

}  // namespace

std::shared_ptr<const TVecFont> TFontCache::GetFont(const TString& name) {
  auto& fonts = Fonts();
  auto found = fonts.find(name);
  if (found != fonts.end()) return found->second;
  std::shared_ptr<const TVecFont> font = MakeFont(name);
  if (font->IsEmpty()) LogPrintf("Font not found: %s", name.c_str());
  fonts.emplace(name, font);
  return font;
}

void TFontCache::Clear() {
  Fonts().clear();
  if (gTextRasteriser) gTextRasteriser->ClearCache();
}

size_t TFontCache::GetCount() { return Fonts().size(); }

void SetTextRasteriser(TJxMiniVecDraw* draw) { gTextRasteriser = draw; }

TJxMiniVecDraw* GetTextRasteriser() { return gTextRasteriser; }
