// The two description files of an animated texture: the ".xml" form and the ".anm" chunk
// file. Every count and length in a chunk file is checked against the bytes that are
// really there before anything is read or made.

#include <cstdlib>
#include <cstring>
#include <string>

#include "graphics/sprites/anim_texture.h"
#include "platform/file.h"
#include "platform/log.h"
#include "platform/xml_node.h"

namespace {

// Reads little-endian fields of a chunk file held in memory; a read past the end fails
// and leaves the value alone.
class TChunkReader {
 public:
  explicit TChunkReader(const std::string& bytes) : mBytes(bytes) {}

  size_t Remaining() const { return mBytes.size() - mAt; }
  bool Skip(size_t count) {
    if (count > Remaining()) return false;
    mAt += count;
    return true;
  }
  // Reads four bytes and answers whether they are the tag; false when the file ends.
  bool Tag(const char* tag, bool& matches) {
    if (Remaining() < 4) return false;
    matches = std::memcmp(mBytes.data() + mAt, tag, 4) == 0;
    mAt += 4;
    return true;
  }
  bool S32(int32_t& value) {
    uint32_t bits;
    if (!Bits(bits)) return false;
    value = int32_t(bits);
    return true;
  }
  bool F32(float& value) {
    uint32_t bits;
    if (!Bits(bits)) return false;
    std::memcpy(&value, &bits, 4);
    return true;
  }
  // A 32-bit length and that many bytes; a length of 0 or less is the empty string.
  bool Str(TString& value) {
    int32_t length;
    if (!S32(length)) return false;
    if (length <= 0) {
      value = TString();
      return true;
    }
    if (size_t(length) > Remaining()) return false;
    value = TString(mBytes.data() + mAt, size_t(length));
    mAt += size_t(length);
    return true;
  }

 private:
  bool Bits(uint32_t& bits) {
    if (Remaining() < 4) return false;
    const auto* p = reinterpret_cast<const uint8_t*>(mBytes.data() + mAt);
    bits = uint32_t(p[0]) | uint32_t(p[1]) << 8 | uint32_t(p[2]) << 16 | uint32_t(p[3]) << 24;
    mAt += 4;
    return true;
  }

  const std::string& mBytes;
  size_t mAt = 0;
};

// The smallest frame and anchor records: what a count must leave room for.
size_t MinFrameSize(int32_t version) { return 6 * 4 + (version > 1 ? 4 : 0) + 6 * 4 + 4 + 4; }
constexpr size_t MinAnchorSize = 2 * 4 + 4;

int32_t IntAttribute(const TXmlNode& node, const char* name) { return node.GetAttribute(name).ToInt(); }

// Up to six numbers separated by blanks, into the transform from its start.
void ReadTransform(const TString& text, float xform[6]) {
  const char* p = text.c_str();
  for (int i = 0; i < 6 && *p; ++i) {
    char* end = nullptr;
    double value = std::strtod(p, &end);
    if (end == p) break;
    xform[i] = float(value);
    p = end;
    while (*p == ' ') ++p;
  }
}

}  // namespace

void TAnimatedTexture::ReadXmlFrames(TXmlNode& frameList) {
  size_t count = 0;
  for (const auto& child : frameList.GetChildren()) count += child->GetName() == "frame";
  mAnim.frames.assign(count, TAnimationFrame());
  size_t i = 0;
  const TAnimationFrame* previous = nullptr;
  for (const auto& child : frameList.GetChildren()) {
    if (child->GetName() != "frame") continue;
    const TXmlNode& node = *child;
    TAnimationFrame& f = mAnim.frames[i++];
    f.x = IntAttribute(node, "x");
    f.y = IntAttribute(node, "y");
    f.w = IntAttribute(node, "w");
    f.h = IntAttribute(node, "h");
    f.name = node.GetAttribute("name");
    TString alpha = node.GetAttribute("alpha");
    f.alpha = alpha.IsEmpty() ? 1.0f : float(std::strtod(alpha.c_str(), nullptr));
    // A frame without its own registration point or transform keeps the previous one's.
    if (!node.GetAttribute("regx").IsEmpty()) {
      f.regX = IntAttribute(node, "regx");
      f.regY = IntAttribute(node, "regy");
    } else if (previous) {
      f.regX = previous->regX;
      f.regY = previous->regY;
    }
    TString xform = node.GetAttribute("xform");
    if (!xform.IsEmpty())
      ReadTransform(xform, f.xform);
    else if (previous)
      std::memcpy(f.xform, previous->xform, sizeof f.xform);
    for (const auto& anchor : node.GetChildren()) {
      if (anchor->GetName() != "anchor") continue;
      f.anchors.push_back({anchor->GetAttribute("name"), IntAttribute(*anchor, "x"), IntAttribute(*anchor, "y")});
    }
    mAnim.maxFrameWidth = std::max(mAnim.maxFrameWidth, f.w);
    mAnim.maxFrameHeight = std::max(mAnim.maxFrameHeight, f.h);
    previous = &f;
  }
}

bool TAnimatedTexture::LoadXml(const TString& resolvedName) {
  const char* file = mAnim.fileName.c_str();
  TXmlNode document;
  document.LoadFile(resolvedName);
  TXmlNode* sequence = document.GetChild("sequence");
  if (!sequence) {
    LogPrintf("Animation %s does not contain a sequence node", file);
    return false;
  }
  bool ok = true;
  mAnim.name = sequence->GetAttribute("name");
  mAnim.source = sequence->GetAttribute("source");
  if (TXmlNode* img = sequence->GetChild("img")) {
    if (!img->GetAttribute("regx").IsEmpty()) {
      mAnim.regX = IntAttribute(*img, "regx");
      mAnim.regY = IntAttribute(*img, "regy");
    }
    mAnim.sheetWidth = IntAttribute(*img, "w");
    mAnim.sheetHeight = IntAttribute(*img, "h");
    mAnim.imageName = img->GetAttribute("name");
    mAnim.maskName = img->GetAttribute("mask");
  } else {
    LogPrintf("Animation %s does not contain an img node", file);
    ok = false;
  }
  if (TXmlNode* frameList = sequence->GetChild("framelist")) {
    ReadXmlFrames(*frameList);
    if (mAnim.frames.empty()) {
      LogPrintf("Animation %s does not contain any frames!", file);
      ok = false;
    }
  } else {
    LogPrintf("Animation %s does not contain a framelist node", file);
    ok = false;
  }
  if (TXmlNode* script = sequence->GetChild("script")) {
    mAnim.script = script->GetAttribute("luascript");
    if (mAnim.script.IsEmpty()) mAnim.script = script->GetText();
  } else {
    mAnim.script = MakeDefaultScript(mAnim.FrameCount());
  }
  return ok;
}

bool TAnimatedTexture::LoadAnm(const TString& resolvedName) {
  const char* file = mAnim.fileName.c_str();
  std::string bytes;
  if (!ReadWholeFile(resolvedName, bytes)) return false;
  TChunkReader in(bytes);
  auto cut = [&](const char* where) {
    LogPrintf("Animation %s is cut short in %s", file, where);
    return false;
  };
  auto wrongTag = [&](const char* tag) {
    LogPrintf("Animation %s lacks its %s tag", file, tag);
    return false;
  };
  TAnimationData& a = mAnim;
  bool matches = false;
  int32_t version = 0;
  if (!in.Tag("ANIM", matches)) return cut("its header");
  if (!matches) return wrongTag("ANIM");
  if (!in.Skip(4) || !in.S32(version) || !in.Str(a.name) || !in.Str(a.source)) return cut("its header");
  if (!in.Tag("IMGN", matches)) return cut("its image record");
  if (!matches) return wrongTag("IMGN");
  if (!in.S32(a.regX) || !in.S32(a.regY) || !in.S32(a.sheetWidth) || !in.S32(a.sheetHeight) ||
      (version == 1 && !in.Skip(16)) || !in.Str(a.imageName) || !in.Str(a.maskName))
    return cut("its image record");
  // A wrong frame tag ends the description there, without frames or script; a wrong
  // script tag (or none) leaves the generated script.
  if (!in.Tag("FRMS", matches)) return cut("its frame list");
  if (!matches) return true;
  int32_t frameCount = 0;
  if (!in.S32(frameCount)) return cut("its frame list");
  if (frameCount < 0 || size_t(frameCount) > in.Remaining() / MinFrameSize(version)) {
    LogPrintf("Animation %s claims %d frames in %zu bytes", file, frameCount, in.Remaining());
    return false;
  }
  a.frames.assign(size_t(frameCount), TAnimationFrame());
  for (TAnimationFrame& f : a.frames) {
    int32_t anchorCount = 0;
    if (!in.S32(f.regX) || !in.S32(f.regY) || !in.S32(f.x) || !in.S32(f.y) || !in.S32(f.w) || !in.S32(f.h) ||
        (version > 1 && !in.F32(f.alpha)))
      return cut("a frame");
    for (float& value : f.xform)
      if (!in.F32(value)) return cut("a frame");
    if (!in.Str(f.name) || !in.S32(anchorCount)) return cut("a frame");
    if (anchorCount < 0 || size_t(anchorCount) > in.Remaining() / MinAnchorSize) {
      LogPrintf("Animation %s claims %d anchors in %zu bytes", file, anchorCount, in.Remaining());
      return false;
    }
    f.anchors.resize(size_t(anchorCount));
    for (TAnimationAnchor& anchor : f.anchors)
      if (!in.S32(anchor.x) || !in.S32(anchor.y) || !in.Str(anchor.name)) return cut("an anchor");
    a.maxFrameWidth = std::max(a.maxFrameWidth, f.w);
    a.maxFrameHeight = std::max(a.maxFrameHeight, f.h);
  }
  if (!in.Tag("SCRP", matches) || !matches) {
    a.script = MakeDefaultScript(a.FrameCount());
    return true;
  }
  if (!in.Str(a.script)) return cut("its script");
  return true;
}
