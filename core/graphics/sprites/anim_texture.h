#pragma once
// TAnimatedTexture: a texture made of one image sheet cut into numbered frames, each with
// a registration point, a transform, an alpha and named anchor points, and an animation
// script (Lua text) that says in which order and with which delays the frames play. It is
// described by an ".xml" file or an ".anm" chunk file and draws its current frame wherever
// a texture is drawn; TAnimatedSprite runs its script. Shared through the asset cache, one
// per file name and image overrides. Main thread only.

#include <cstdint>
#include <memory>
#include <vector>

#include "graphics/texture.h"

class TXmlNode;

struct TAnimationAnchor {
  TString name;
  int32_t x = 0, y = 0;
};

// The frame transform's "a" when there is no transform.
constexpr float NoFrameTransform = -10000000.0f;

struct TAnimationFrame {
  TString name;
  int32_t x = 0, y = 0, w = 0, h = 0;  // in the sheet; w 0: the whole sheet
  int32_t regX = 0, regY = 0;          // inside the frame
  std::vector<TAnimationAnchor> anchors;
  float xform[6] = {NoFrameTransform, 0, 0, 0, 0, 0};  // a, b, c, d, tx, ty
  float alpha = 1.0f;

  bool HasTransform() const { return xform[0] != NoFrameTransform; }
};

struct TAnimationData {
  TString name;
  TString source;      // kept, never read
  TString fileName;    // as given: the name in messages
  TString imageName;   // the sheet, relative to folder
  TString maskName;    // its mask, may be empty
  TString folder;      // fileName up to and with its last "/" or "\"
  TString script;
  int32_t maxFrameWidth = 0, maxFrameHeight = 0;
  int32_t currentFrame = 0;  // -1: none
  int32_t regX = 0, regY = 0;
  int32_t sheetWidth = 0, sheetHeight = 0;
  std::vector<TAnimationFrame> frames;

  int32_t FrameCount() const { return int32_t(frames.size()); }
};

class TAnimatedTexture : public TTexture {
 public:
  TARVELON_CLASS_ID()

  explicit TAnimatedTexture(const TString& fileName);

  const char* GetClassName() const override { return "TAnimatedTexture"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TTexture::IsKindOf(id); }
  // Draws the current frame (nothing when there is none): placed by its registration
  // point unless the record is anchored, under the frame's transform and alpha.
  void DrawSprite(const TSpriteDrawParams& params) override;
  // The current frame's size; 0 without one.
  uint32_t GetWidth() const override;
  uint32_t GetHeight() const override;

  // The animation of a file (found as given, else with ".xml", else with ".anm") with
  // its sheet, the image and mask overrides replacing the named ones when not empty; the
  // cached one while it lives. Empty when the description or the sheet does not load.
  static std::shared_ptr<TAnimatedTexture> Get(const TString& fileName, const TString& image = TString(),
                                               const TString& mask = TString());
  static std::shared_ptr<TAnimatedTexture> CastFromAsset(const std::shared_ptr<TAsset>& asset);
  // The path up to and with its last "/" or "\"; empty when it has neither.
  static TString GetDirectory(const TString& path);
  // The script played when a description has none: every frame once, 60 ms each.
  static TString MakeDefaultScript(int32_t frameCount);

  int32_t GetFrameCount() const { return mAnim.FrameCount(); }
  int32_t GetCurrentFrame() const { return mAnim.currentFrame; }
  // Accepted for -1 (none) up to the last frame; anything else is ignored.
  void SetCurrentFrame(int32_t frame);
  TString GetScript() const { return mAnim.script; }
  TString GetFolder() const { return mAnim.folder; }
  // (0, 0) for a frame out of range.
  TVec2 GetFrameRegistration(int32_t frame) const;
  // The frame's rectangle in the sheet; all zero for a frame out of range.
  TRect GetFrameRect(int32_t frame) const;
  const TAnimationData& GetAnimation() const { return mAnim; }

 private:
  // The description readers (anim_texture_files.cpp): false, with a log line naming the
  // file and the fault, when the file cannot be used.
  bool LoadXml(const TString& resolvedName);
  bool LoadAnm(const TString& resolvedName);
  bool LoadDescription();
  bool LoadSheet();
  const TAnimationFrame* CurrentFrame() const;
  void ReadXmlFrames(TXmlNode& frameList);

  TAnimationData mAnim;
};
