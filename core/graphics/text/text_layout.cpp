#include "graphics/text/text_layout.h"

#include <algorithm>
#include <climits>
#include <cmath>

#include "graphics/text/font_cache.h"
#include "platform/log.h"
#include "platform/settings.h"

namespace {

constexpr uint32_t SoftHyphen = 0xAD;
// Sizes and tab positions come from the text: bounded so that pen positions (quarter
// pixels in an int) cannot overflow however long the line.
constexpr int32_t MaxFontSize = 1024;
constexpr int32_t MaxPosition = 1 << 20;
constexpr int64_t MaxPen = 1 << 30;

// Pixels from a line's top to the baseline, and from the baseline to the line's bottom.
float AboveBaseline(const TVecFont* font, int32_t size) {
  return font ? (font->GetAscent() + font->GetLineGap(true)) * float(size) / 16.0f : 0;
}
float BelowBaseline(const TVecFont* font, int32_t size) {
  return font ? (font->GetDescent() + font->GetLineGap(false)) * float(size) / 16.0f : 0;
}

// An empty face is the built-in font.
std::shared_ptr<const TVecFont> FaceFont(const TString& face) {
  return TFontCache::GetFont(face.IsEmpty() ? TString("__DEFAULT") : face);
}

}  // namespace

float TTextRun::Above() const { return AboveBaseline(font.get(), size); }

float TTextRun::Below() const { return BelowBaseline(font.get(), size); }

namespace {

int Quarters(float fontUnits, int32_t size) { return int(std::lround(fontUnits * float(size) / 4.0f)); }

// Pen steps saturate far beyond any screen.
int Advance(int pen, int step) {
  return int(std::max<int64_t>(-MaxPen, std::min<int64_t>(MaxPen, int64_t(pen) + step)));
}

// Lays out one line at a time. A line is first laid out until the text overflows the box;
// when it must break, it is laid out again from its start up to the break, so that runs,
// cursor and parser state are exactly those of the kept part.
class TLineBuilder {
 public:
  TLineBuilder(const TTextLayoutInput& input, TTextMarkupState& state)
      : mInput(input),
        mText(input.text.c_str()),
        mLength(input.text.Length()),
        mState(state),
        mDefault(TFontCache::GetFont("fonts/default.mvec")) {}

  std::shared_ptr<TTextLine> Build(size_t pos, size_t& next);

 private:
  enum class TStop { End, LineEnd, Overflow };

  TStop Pass(size_t pos, size_t stop, bool wrap, TTextLine& line, size_t& next);
  bool ApplyTag(const TTextTag& tag, TTextLine& line);
  void AddChar(uint32_t code, size_t start, size_t end, TTextLine& line);
  void AddGlyph(const std::shared_ptr<const TVecFont>& font, int glyph, size_t start, size_t end, TTextLine& line);
  const std::shared_ptr<const TVecFont>& CurrentFont();
  void Finish(TTextLine& line, const TTextMarkupState& startState);

  const TTextLayoutInput& mInput;
  const char* mText;
  size_t mLength;
  TTextMarkupState& mState;
  std::shared_ptr<const TVecFont> mDefault;
  TString mFace;  // the face last resolved, and its font
  std::shared_ptr<const TVecFont> mFaceFont;
  bool mMissingLogged = false;

  // Per pass.
  int mPen = 0;
  int mOpenRun = -1;
  int mGlyphs = 0;
  int mLastItalic = -1;
  bool mFontMissing = false;
  float mPad = 0;
  size_t mSpace = 0;  // index of the last space + 1; 0: none
  size_t mHyphen = 0;  // index after the last soft hyphen; 0: none
  size_t mOverflowStart = 0, mOverflowEnd = 0;
};

const std::shared_ptr<const TVecFont>& TLineBuilder::CurrentFont() {
  const TString& face = mState.CurrentFont().face;
  if (!mFaceFont || face != mFace) {
    mFace = face;
    mFaceFont = FaceFont(face);
  }
  return mFaceFont;
}

std::shared_ptr<TTextLine> TLineBuilder::Build(size_t pos, size_t& next) {
  auto line = std::make_shared<TTextLine>();
  const TTextMarkupState start = mState;
  if (Pass(pos, mLength, true, *line, next) == TStop::Overflow) {
    size_t stop, resume;
    bool hyphenate = false;
    if (mHyphen) {
      stop = resume = mHyphen;
      hyphenate = true;
    } else if (mSpace) {
      stop = mSpace - 1;
      resume = mSpace;
    } else if (IsLegacyLineWrap()) {
      stop = resume = mOverflowEnd;
    } else {
      stop = resume = mOverflowStart;
    }
    mState = start;
    size_t ignored;
    Pass(pos, stop, false, *line, ignored);
    if (hyphenate) {
      const auto& font = CurrentFont();
      int glyph = font->FindGlyph(SoftHyphen);
      if (glyph < 0) glyph = font->FindGlyph('-');
      if (glyph >= 0) AddGlyph(font, glyph, stop, stop, *line);
    }
    next = resume;
  }
  line->start = uint32_t(pos);
  line->end = uint32_t(next);
  Finish(*line, start);
  return line;
}

TLineBuilder::TStop TLineBuilder::Pass(size_t pos, size_t stop, bool wrap, TTextLine& line, size_t& next) {
  line.runs.clear();
  line.cursor = TTextCursor();
  mPen = 0;
  mOpenRun = -1;
  mGlyphs = 0;
  mLastItalic = -1;
  mFontMissing = false;
  mPad = 0;
  mSpace = mHyphen = 0;
  const int limit = mInput.width * 4;
  for (size_t i = pos; i < stop;) {
    char c = mText[i];
    if (c == '<') {
      TTextTag tag;
      size_t after;
      if (ReadTextTag(mText, mLength, i, tag, after)) {
        mOpenRun = -1;  // every tag ends the current run
        i = after;
        if (ApplyTag(tag, line)) {
          next = i;
          return TStop::LineEnd;
        }
        continue;
      }
    }
    if (c == '\n') {
      next = i + 1;
      return TStop::LineEnd;
    }
    size_t at = i;
    bool literal = c == '\\';
    if (literal && ++at >= mLength) break;  // a backslash at the very end escapes nothing
    size_t count;
    uint32_t code = ReadTextChar(mText, mLength, at, count);
    size_t end = at + count;
    if (!literal && code == SoftHyphen) {
      // Invisible unless the line breaks here.
      if (wrap) mHyphen = end;
      i = end;
      continue;
    }
    if (!literal && code == ' ') mSpace = i + 1;
    size_t start = i;
    int before = mGlyphs;
    AddChar(code, start, end, line);
    i = end;
    // A line always keeps its first character.
    if (wrap && mPen > limit && mGlyphs > 1 && mGlyphs > before) {
      mOverflowStart = start;
      mOverflowEnd = end;
      next = end;
      return TStop::Overflow;
    }
  }
  next = stop;
  return TStop::End;
}

// Returns whether the tag ends the line.
bool TLineBuilder::ApplyTag(const TTextTag& tag, TTextLine& line) {
  switch (tag.kind) {
    case TTextTagKind::Br:
      mPad += float(tag.IntAttribute("pad", 0));
      return true;
    case TTextTagKind::EndP: return true;
    case TTextTagKind::Cursor: {
      const FontSpec& font = mState.CurrentFont();
      line.cursor.x = mPen;
      line.cursor.size = std::max(0, std::min(MaxFontSize, font.size));
      line.cursor.colour = mState.inLink ? mState.linkColour : font.colour;
      return false;
    }
    case TTextTagKind::Tab:
      mPen = std::max(-MaxPosition, std::min(MaxPosition, tag.IntAttribute("pos", 0))) * 4;
      return false;
    case TTextTagKind::Center:
    case TTextTagKind::EndCenter:
    case TTextTagKind::Left:
    case TTextTagKind::EndLeft:
    case TTextTagKind::Right:
    case TTextTagKind::EndRight: mState.Apply(tag); return true;
    default: mState.Apply(tag); return false;
  }
}

void TLineBuilder::AddChar(uint32_t code, size_t start, size_t end, TTextLine& line) {
  const auto& font = CurrentFont();
  if (font->IsEmpty()) {
    if (!mMissingLogged) {
      LogPrintf("ERROR: FONT missing in text when attempting to render string %s.", mInput.text.c_str());
      mMissingLogged = true;
    }
    mFontMissing = true;
    return;
  }
  int glyph = font->FindGlyph(code);
  if (glyph >= 0) {
    AddGlyph(font, glyph, start, end, line);
    return;
  }
  glyph = mDefault->FindGlyph(code);
  if (glyph >= 0) AddGlyph(mDefault, glyph, start, end, line);
}

void TLineBuilder::AddGlyph(const std::shared_ptr<const TVecFont>& font, int glyph, size_t start, size_t end,
                            TTextLine& line) {
  const FontSpec& spec = mState.CurrentFont();
  const int32_t size = std::max(0, std::min(MaxFontSize, spec.size));
  int italic = mState.italic ? 1 : 0;
  if (mLastItalic >= 0 && italic != mLastItalic) {
    // Italic glyphs lean over their neighbours: a change of slant opens a little room.
    mPen = Advance(mPen, int(std::lround(font->GetSlant() * float(size) / 4.0f / 3.0f)));
  }
  mLastItalic = italic;
  TTextRun* run = mOpenRun >= 0 ? &line.runs[size_t(mOpenRun)] : nullptr;
  if (!run || run->font != font) {
    line.runs.emplace_back();
    mOpenRun = int(line.runs.size()) - 1;
    run = &line.runs.back();
    run->start = uint32_t(start);
    run->x = mPen;
    run->font = font;
    run->size = size;
    run->colour = mState.inLink ? mState.linkColour : spec.colour;
    run->style = (mState.bold ? uint32_t(TextBold) : 0u) | (mState.italic ? uint32_t(TextItalic) : 0u) |
                 (mState.underline ? uint32_t(TextUnderline) : 0u);
    run->inLink = mState.inLink;
    run->link = mState.linkId;
    run->outlineWidth = mState.outlineWidth;
    run->outlineColour = mState.outlineColour;
  }
  run->glyphs.push_back(TTextGlyph{glyph, mPen});
  mPen = Advance(mPen, Quarters(font->GetAdvance(glyph), run->size));
  run->width = mPen - run->x;
  run->end = uint32_t(end);
  ++mGlyphs;
}

void TLineBuilder::Finish(TTextLine& line, const TTextMarkupState& startState) {
  if (mFontMissing) {
    line.runs.clear();
    line.cursor = TTextCursor();
    mPen = 0;
  }
  line.width = mPen / 4;
  float above = 0, below = 0;
  bool inked = false;
  for (const TTextRun& run : line.runs) {
    inked = true;
    above = std::max(above, run.Above());
    below = std::max(below, run.Below());
  }
  if (!inked && !mFontMissing) {
    // An empty line is as high as its font's line.
    const FontSpec& spec = startState.CurrentFont();
    auto font = FaceFont(spec.face);
    const int32_t size = std::max(0, std::min(MaxFontSize, spec.size));
    above = AboveBaseline(font.get(), size);
    below = BelowBaseline(font.get(), size);
  }
  line.baseline = above;
  line.height = above + below + mPad;

  int alignment = startState.CurrentAlignment();
  if (alignment < 0) {
    alignment = (mInput.alignFlags & TextAlignCenter) ? 1 : (mInput.alignFlags & TextAlignRight) ? 2 : 0;
  }
  float start = 0;
  if (alignment == 1) start = float(mInput.width) / 2 - 0.5f * float(line.width);
  if (alignment == 2) start = float(mInput.width) - 1 - float(line.width);
  // A first glyph whose ink reaches left of its pen is moved in by that much.
  if (!line.runs.empty() && !line.runs[0].glyphs.empty()) {
    const TTextRun& run = line.runs[0];
    float left = run.font->GetLeft(run.glyphs[0].glyph);
    if (left < 0) start += float(Quarters(-left, run.size)) * 0.25f;
  }
  line.x = std::floor(start + 0.5f);
}

}  // namespace

void LayoutText(const TTextLayoutInput& input, TTextMarkupState& state, TTextLayoutResult& result) {
  result.lines.clear();
  state.Reset(input.font);
  TLineBuilder builder(input, state);
  const size_t length = input.text.Length();
  float total = 0;
  for (size_t pos = 0; pos < length;) {
    size_t next = pos;
    auto line = builder.Build(pos, next);
    line->y = total;
    total += line->height;
    result.lines.push_back(std::move(line));
    pos = next;
  }
  float offset = 0;
  if (input.alignFlags & TextAlignMiddle) offset = float(input.height) / 2 - total / 2;
  else if (input.alignFlags & TextAlignBottom) offset = float(input.height) - total;
  int32_t left = INT32_MAX, right = 0;
  for (auto& line : result.lines) {
    line->y += offset;
    left = std::min(left, int32_t(line->x));
    right = std::max(right, int32_t(line->x) + line->width);
  }
  result.left = result.lines.empty() ? 0 : left;
  result.right = right;
  result.top = int32_t(std::floor(offset));
  result.bottom = int32_t(std::ceil(offset + total));
}
