#include "windows/slider.h"

#include <algorithm>
#include <cstdlib>

#include "graphics/renderer.h"
#include "graphics/sprite_draw_params.h"
#include "graphics/texture.h"
#include "windows/image_window.h"
#include "windows/message.h"
#include "windows/window_manager.h"
#include "windows/window_style.h"

TSlider::TSlider() {
  auto thumb = std::make_unique<TImage>(true);
  mThumb = thumb.get();
  mOwnThumb = std::move(thumb);
}

TSlider::~TSlider() = default;

std::unique_ptr<TWindow> TSlider::Create() { return std::make_unique<TSlider>(); }

void TSlider::Init(TWindowStyle& style) {
  TWindow::Init(style);
  if (mInitialised) return;
  mInitialised = true;
  int32_t width = style.GetInt("w", 0), height = style.GetInt("h", 0);
  double orientation = style.GetNumber("hslider", -1);
  mHorizontal = orientation < 0 ? width > height : style.GetBool("hslider", false);
  TString railTop = style.GetString("railtop", TString());
  TString railMiddle = style.GetString("railmid", TString());
  TString railBottom = style.GetString("railbot", TString());
  TString thumb = style.GetString("sliderimage", TString());
  TString thumbRollOver = style.GetString("sliderrollimage", TString());
  SetName(style.GetString("name", TString()));
  mScale = float(style.GetNumber("scale", 1.0));
  mOffset = style.GetInt("yoffset", 0);
  SetValue(float(style.GetNumber("value", 0.0)), true);

  auto get = [](const TString& name) { return name.IsEmpty() ? nullptr : TTexture::Get(name, 0); };
  mRailTop = get(railTop);
  mRailMiddle = get(railMiddle);
  mRailBottom = get(railBottom);
  mThumbNormal = get(thumb);
  mThumbRollOver = get(thumbRollOver);
  if (mThumb) mThumb->SetTexture(mThumbNormal, mScale);
  PositionThumb();
  if (mOwnThumb) AddChild(mOwnThumb, true);
  UpdateSize();
}

void TSlider::SetRail(std::shared_ptr<TTexture> top, std::shared_ptr<TTexture> middle,
                      std::shared_ptr<TTexture> bottom) {
  mRailTop = std::move(top);
  mRailMiddle = std::move(middle);
  mRailBottom = std::move(bottom);
  if (mThumb) mThumb->SetTexture(mThumbNormal, mScale);
  UpdateSize();
}

void TSlider::SetThumbImages(std::shared_ptr<TTexture> normal, std::shared_ptr<TTexture> rollOver) {
  mThumbNormal = std::move(normal);
  mThumbRollOver = std::move(rollOver);
  if (mThumb) mThumb->SetTexture(mThumbNormal, mScale);
  UpdateSize();
  PositionThumb();
}

void TSlider::SetValue(float value, bool silent) {
  // NaN counts as 0, like anything below it.
  mValue = value > 0.0f ? std::min(value, 1.0f) : 0.0f;
  PositionThumb();
  if (!silent) SendToParent(MessageSliderValChanged);
}

void TSlider::PositionThumb() {
  if (!mThumb) return;
  if (mHorizontal)
    mThumb->SetPosition(int32_t(float(GetWidth() - mThumb->GetWidth()) * mValue), mOffset);
  else
    mThumb->SetPosition(mOffset, int32_t(float(GetHeight() - mThumb->GetHeight()) * mValue));
}

void TSlider::UpdateSize() {
  int32_t thickness = 0;
  for (const auto* rail : {&mRailTop, &mRailMiddle, &mRailBottom}) {
    if (*rail) thickness = std::max(thickness, int32_t(float((*rail)->GetWidth()) * mScale));
  }
  int32_t thumbExtent = !mThumb ? 0 : mHorizontal ? mThumb->GetHeight() : mThumb->GetWidth();
  mThickness = std::max(thickness, std::abs(mOffset) + thumbExtent);
  if (mHorizontal)
    SetSize(GetWidth(), mThickness);
  else
    SetSize(mThickness, GetHeight());
}

void TSlider::DrawRailPart(const std::shared_ptr<TTexture>& texture, float along, float length, int32_t across) {
  if (!texture || texture->GetHeight() == 0 || length <= 0) return;
  float width = float(int32_t(float(texture->GetWidth()) * mScale));
  float offset = float((across - int32_t(width)) / 2);
  float stretch = length / float(texture->GetHeight());
  TSpriteDrawParams params;
  params.flags = SpriteAnchored;
  params.blendMode = 0;
  // Texture pixels (x across, y along) onto the slider; a horizontal rail is the upright
  // one turned a quarter to the left, its top at the slider's left end.
  float sx = width / float(texture->GetWidth());
  if (mHorizontal)
    params.matrix = TMat3(0, -sx, 0, stretch, 0, 0, along, offset + width, 1);
  else
    params.matrix = TMat3(sx, 0, 0, 0, stretch, 0, offset, along, 1);
  texture->DrawSprite(params);
}

void TSlider::Draw() {
  TScoped2d block;
  TRenderer::GetInstance()->SetCullMode(1);
  int32_t length = mHorizontal ? GetWidth() : GetHeight();
  int32_t across = mHorizontal ? GetHeight() : GetWidth();
  auto capLength = [this](const std::shared_ptr<TTexture>& cap) {
    return cap ? float(cap->GetHeight()) * mScale * mSecondFactor : 0.0f;
  };
  float top = capLength(mRailTop), bottom = capLength(mRailBottom);
  DrawRailPart(mRailTop, 0, top, across);
  DrawRailPart(mRailMiddle, top, float(length) - top - bottom, across);
  DrawRailPart(mRailBottom, float(length) - bottom, bottom, across);
}

std::unique_ptr<TWindow> TSlider::RemoveChild(TWindow* child) {
  std::unique_ptr<TWindow> removed = TWindow::RemoveChild(child);
  if (removed && removed.get() == mThumb) mThumb = nullptr;
  return removed;
}

void TSlider::SendToParent(uint32_t type) {
  if (TWindow* parent = GetParent()) parent->SendMessage(std::make_unique<TMessage>(type, GetName(), parent));
}

void TSlider::ShowThumb(bool rollOver) {
  if (!mThumb) return;
  const std::shared_ptr<TTexture>& wanted = rollOver && mThumbRollOver ? mThumbRollOver : mThumbNormal;
  if (mThumb->GetTexture() != wanted) mThumb->SetTexture(wanted, mScale);
}

void TSlider::LeaveHoverList() {
  if (TWindowManager* manager = GetWindowManager()) manager->RemoveFromHoverList(this);
}

bool TSlider::OnMouseDown(TPoint point) {
  if (!mThumb) return false;
  TRect thumb = mThumb->GetRect();
  if (RectContains(thumb, point)) {
    mDragging = 1;
    if (TWindowManager* manager = GetWindowManager()) manager->AddToHoverList(this);
    return true;
  }
  bool before = mHorizontal ? point.x < thumb.left : point.y < thumb.top;
  SendToParent(before ? MessageSliderPageUp : MessageSliderPageDown);
  return true;
}

bool TSlider::OnMouseMove(TPoint point) {
  if (!mThumb) return false;
  ShowThumb(mDragging || RectContains(mThumb->GetRect(), point));
  TRect client;
  GetClientRect(client);
  if (!RectContains(client, point) && !mDragging) {
    LeaveHoverList();
    ShowThumb(false);
  } else if (TWindowManager* manager = GetWindowManager()) {
    manager->AddToHoverList(this);
  }
  if (!mDragging) return false;
  int32_t extent = mHorizontal ? GetWidth() : GetHeight();
  float position = float(mHorizontal ? point.x : point.y);
  SetValue(extent > 0 ? position / float(extent) : 0.0f, false);
  return true;
}

bool TSlider::OnMouseUp(TPoint point) {
  if (!mDragging) return false;
  mDragging = 0;
  ShowThumb(mThumb && RectContains(mThumb->GetRect(), point));
  TRect client;
  GetClientRect(client);
  if (!RectContains(client, point)) {
    LeaveHoverList();
    ShowThumb(false);
  }
  SendToParent(MessageSliderMouseUp);
  return true;
}

bool TSlider::OnMouseLeave() {
  if (mDragging) return true;
  ShowThumb(false);
  LeaveHoverList();
  return true;
}
