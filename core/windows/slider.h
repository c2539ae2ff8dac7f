#pragma once
// TSlider: a horizontal or vertical slider with a value from 0 to 1: a rail drawn from
// three textures (top, middle, bottom; drawn turned for a horizontal slider) and a thumb,
// a child image with a normal and a roll-over texture. Dragging the thumb sets the value
// and tells the parent; a click on the rail beside the thumb asks the parent to page.
// Registered as "Slider".

#include <cstdint>
#include <memory>

#include "windows/window.h"

class TImage;
class TTexture;

class TSlider : public TWindow {
 public:
  TARVELON_CLASS_ID()
  TSlider();
  ~TSlider() override;

  // The creator registered as "Slider".
  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TSlider"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // "w", "h", "hslider", the rail and thumb images, "name", "scale", "yoffset", "value".
  // Only the first Init of a slider does more than the window's own.
  void Init(TWindowStyle& style) override;
  void Draw() override;
  bool OnMouseDown(TPoint point) override;
  bool OnMouseUp(TPoint point) override;
  bool OnMouseMove(TPoint point) override;
  bool OnMouseLeave() override;
  // The thumb may be taken out like any child; the slider then goes on without it.
  std::unique_ptr<TWindow> RemoveChild(TWindow* child) override;

  float GetValue() const { return mValue; }
  // Clamped to 0..1; the thumb moves, and unless silent the parent hears of it.
  void SetValue(float value, bool silent);
  void SetRail(std::shared_ptr<TTexture> top, std::shared_ptr<TTexture> middle, std::shared_ptr<TTexture> bottom);
  void SetThumbImages(std::shared_ptr<TTexture> normal, std::shared_ptr<TTexture> rollOver);
  bool IsHorizontal() const { return mHorizontal; }
  bool IsDragging() const { return mDragging != 0; }
  TImage* GetThumb() const { return mThumb; }

 private:
  void PositionThumb();
  void UpdateSize();
  void ShowThumb(bool rollOver);
  void SendToParent(uint32_t type);
  void LeaveHoverList();
  void DrawRailPart(const std::shared_ptr<TTexture>& texture, float along, float length, int32_t across);

  uint32_t mDragging = 0;
  bool mInitialised = false;
  TImage* mThumb = nullptr;  // a child once Init has run (until then mOwnThumb); null once taken out
  std::unique_ptr<TWindow> mOwnThumb;
  std::shared_ptr<TTexture> mThumbNormal, mThumbRollOver;
  std::shared_ptr<TTexture> mRailTop, mRailMiddle, mRailBottom;
  float mValue = 0.0f;
  float mScale = 1.0f;
  float mSecondFactor = 1.0f;
  int32_t mOffset = 0;
  int32_t mThickness = 0;
  bool mHorizontal = false;
};
