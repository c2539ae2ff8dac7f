#include "windows/text_window.h"

#include <memory>

#include "graphics/renderer.h"
#include "platform/log.h"
#include "platform/string_table.h"
#include "script/lua_glue.h"
#include "windows/button.h"
#include "windows/modal_window.h"
#include "windows/window_manager.h"
#include "windows/window_style.h"

namespace {

constexpr int32_t DefaultFontSize = 16;
constexpr int32_t ZeroFontSize = 12;
const TLuaVec4 DefaultTextColour{0, 1, 0, 1};

void Redraw() {
  if (TWindowManager* manager = GetWindowManager()) manager->Invalidate();
}

bool IsNumberLabel(const TString& label) {
  for (uint32_t i = 0; i < label.Length(); i++) {
    char c = label.CharAt(i);
    if ((c < '0' || c > '9') && c != '.') return false;
  }
  return true;
}

// The UI script's label flag, read by setting it and putting it back at once.
bool IsLabelFlagSet() {
  TWindowManager* manager = GetWindowManager();
  if (!manager) return false;
  bool set = manager->SetScriptFlag(true);
  manager->SetScriptFlag(set);
  return set;
}

}  // namespace

TString LookUpLabel(const TString& label) {
  if (label.IsEmpty()) return label;
  if (label.CharAt(0) == '#') return label.Substr(1);
  if (IsNumberLabel(label)) return label;
  TStringTable* table = GetStringTable();
  return table ? table->GetString(label) : label;
}

TText::TText(bool cachedLayer) {
  if (cachedLayer) AddFlags(WindowCachedLayer);
}

std::unique_ptr<TWindow> TText::Create() { return std::make_unique<TText>(false); }

void TText::Init(TWindowStyle& style) {
  TString fontName = "__DEFAULT";
  int32_t fontSize = DefaultFontSize;
  TLuaVec4 colour = DefaultTextColour;
  if (std::unique_ptr<TLuaTable> font = style.GetTable("font")) {
    fontName = font->GetStringAt(1, fontName);
    fontSize = LuaNumberToInt(font->GetNumberAt(2, DefaultFontSize));
    if (fontSize == 0) fontSize = ZeroFontSize;
    colour = font->GetVec4At(3, DefaultTextColour);
  }
  TString name = style.GetString("name", TString());
  TString label = style.GetString("label", TString());
  int32_t defaultFlags = style.GetInt("defflags", 0);
  int32_t flags = style.GetInt("flags", defaultFlags);
  int32_t padding = style.GetInt("padding", 0);
  float rotation = float(style.GetNumber("rotation", 0.0));
  int32_t originX = style.GetInt("rotationOriginX", 0);
  int32_t originY = style.GetInt("rotationOriginY", 0);
  int32_t rotationAlign = style.GetInt("rotationAlign", 0);

  if (IsLabelFlagSet()) label = LookUpLabel(label);
  TWindow::Init(style);
  if (GetWidth() == 0 || GetHeight() == 0) {
    LogPrintf("ERROR: Attempting to create text window of size(0,0): named '%s', label '%s'", name.c_str(),
              label.c_str());
    return;
  }
  mPadding = padding;
  LayoutText(label, GetWidth(), GetHeight(), uint32_t(flags), fontName, fontSize,
             TColor{colour[0], colour[1], colour[2], colour[3]});
  if (rotation != 0.0f) {
    int32_t unusedSize = 0;
    ResolveAxis(originX, unusedSize, GetWidth(), rotationAlign & 1, rotationAlign & 2, true, false);
    unusedSize = 0;
    ResolveAxis(originY, unusedSize, GetHeight(), rotationAlign & 4, rotationAlign & 8, true, false);
    SetRotation(rotation, originX, originY);
  }
}

bool TText::LayoutText(const TString& text, int32_t width, int32_t height, uint32_t flags, const TString& fontName,
                       int32_t fontSize, const TColor& colour) {
  mTextGraphic = TTextGraphic::Create(text, width, height, flags, fontName, fontSize, colour);
  SetSize(width, height);
  SetText(text);
  return mTextGraphic != nullptr;
}

void TText::SetText(const TString& text) {
  if (!mTextGraphic || mTextGraphic->GetText() == text) return;
  // Every change is drawn: a text that was empty is no exception.
  Redraw();
  mTextGraphic->SetText(text);
}

TString TText::GetText() const { return mTextGraphic ? mTextGraphic->GetText() : TString(); }

void TText::SetColor(const TColor& colour) {
  if (!mTextGraphic || mTextGraphic->GetColor() == colour) return;
  mTextGraphic->SetColor(colour);
  Redraw();
}

void TText::SetRotation(float degrees, int32_t originX, int32_t originY) {
  if (!mTextGraphic) return;
  mTextGraphic->SetRotation(degrees, originX, originY);
  Redraw();
}

int TText::GetLineCount() const { return mTextGraphic ? mTextGraphic->GetLineCount() : 0; }

TRect TText::GetTextBounds() const { return mTextGraphic ? mTextGraphic->GetTextBounds() : TRect(); }

TTextDrawParams TText::DrawParams() const {
  TTextDrawParams params;
  params.scale = mScaleX;
  params.scaleY = mScaleY;
  params.spacing = float(mPadding);
  return params;
}

void TText::SetScroll(float value, float second) {
  if (!mTextGraphic) return;
  float first = (float(mTextGraphic->GetMaxScroll(mScaleX, float(mPadding))) + mScrollBias) * value;
  if (!(first < float(mTextGraphic->GetLineCount()))) return;
  mTextGraphic->SetScroll(first);
  Redraw();
}

void TText::Draw() {
  if (!mTextGraphic) return;
  TScoped2d block;
  TRect client;
  GetClientRect(client);
  mTextGraphic->Draw(client, DrawParams());
}

bool TText::OnMouseDown(TPoint point) {
  if (!mTextGraphic) return false;
  mPressedLink = mTextGraphic->GetLinkAt(float(point.x), float(point.y), DrawParams());
  return !mPressedLink.IsEmpty();
}

bool TText::OnMouseMove(TPoint point) {
  if (!mTextGraphic) return false;
  if (!mTextGraphic->UpdateHoverLink(float(point.x), float(point.y), DrawParams())) return false;
  Redraw();
  if (TWindowManager* manager = GetWindowManager()) manager->AddToHoverList(this);
  return true;
}

bool TText::OnMouseLeave() {
  if (mTextGraphic) mTextGraphic->ClearHoverLink();
  Redraw();
  if (TWindowManager* manager = GetWindowManager()) manager->RemoveFromHoverList(this);
  return true;
}

bool TText::OnMouseUp(TPoint point) {
  if (mPressedLink.IsEmpty()) return false;
  TString link = mPressedLink;
  mPressedLink = TString();
  if (!mTextGraphic || mTextGraphic->GetLinkAt(float(point.x), float(point.y), DrawParams()) != link) return true;
  TModalWindow* modal = GetModal();
  TWindow* target = modal ? modal->FindChild(link) : nullptr;
  if (!target) {
    LogPrintf("ERROR: Command window %s not found", link.c_str());
  } else if (TButton* button = WindowCast<TButton>(target)) {
    button->DoPress();
  } else {
    LogPrintf("ERROR: Command window %s not a derived class of TButton", link.c_str());
  }
  return true;
}
