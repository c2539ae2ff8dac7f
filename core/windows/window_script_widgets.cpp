// The widgets' part of the Lua window API: labels, hotkeys, bitmaps, button commands and
// toggle states, layers, and the widget types the UI script registers.

#include "graphics/texture.h"
#include "script/lua_binding.h"
#include "script/lua_glue.h"
#include "windows/button.h"
#include "windows/image_window.h"
#include "windows/modal_window.h"
#include "windows/slider.h"
#include "windows/text_edit.h"
#include "windows/text_window.h"
#include "windows/window_manager.h"
#include "windows/window_script.h"

void TWindowScript::RegisterWidgetTypes() {
  RegisterWindowType("Slider", &TSlider::Create);
  RegisterWindowType("Bitmap", &TImage::Create);
  RegisterWindowType("Button", &TButton::Create);
  RegisterWindowType("Text", &TText::Create);
  RegisterWindowType("TextEdit", &TTextEdit::Create);
}

void TWindowScript::BindWidgetApi() {
  lua_State* L = GetState();
  BindLuaMember(L, "GetLabel", this, &TWindowScript::GetLabel);
  BindLuaMember(L, "_RegisterHotkey", this, &TWindowScript::RegisterHotkey);
  BindLuaMember(L, "SetLabel", this, &TWindowScript::SetLabel);
  BindLuaMember(L, "TagHotKey", this, &TWindowScript::TagHotKey);
  BindLuaMember(L, "_SetBitmap", this, &TWindowScript::SetBitmap);
  BindLuaMember(L, "SetCommand", this, &TWindowScript::SetCommand);
  BindLuaMember(L, "StripKeyFromLabel", this, &TWindowScript::StripKeyFromLabel);
  BindLuaMember(L, "DoSelectLayer", this, &TWindowScript::DoSelectLayer);
  BindLuaMember(L, "GetButtonToggleState", this, &TWindowScript::GetButtonToggleState);
  BindLuaMember(L, "SetButtonToggleState", this, &TWindowScript::SetButtonToggleState);
  BindLuaMember(L, "ImageLoaded", this, &TWindowScript::ImageLoaded);
}

TString TWindowScript::GetLabel(TString name) {
  if (!mManager || !mManager->GetTopModal()) return TString();
  TWindow* window = FindInTopModal(name);
  if (!window) return name + "_is_not_found";
  if (TText* text = WindowCast<TText>(window)) return text->GetText();
  if (TButton* button = WindowCast<TButton>(window)) return button->GetLabel();
  return name + "_is_not_a_TText_window_or_TButton";
}

void TWindowScript::SetLabel(TString name, TString text) {
  TWindow* window = FindNamedWindow(name);
  if (TText* label = WindowCast<TText>(window))
    label->SetText(text);
  else if (TButton* button = WindowCast<TButton>(window))
    button->SetLabel(text);
}

int TWindowScript::TagHotKey(lua_State* L) {
  TString key = GetLuaString(L, 1), label = GetLuaString(L, 2);
  int at = key.IsEmpty() ? -1 : label.Find(key.CharAt(key.Length() - 1), FindNoCase);
  if (at < 0) {
    PushLuaString(L, label);
    return 1;
  }
  uint32_t p = uint32_t(at);
  int length = Utf8SequenceLength(key.c_str());
  TString tagged = label.Substr(0, int32_t(p)) + "<u>" + label.Substr(p, length < 1 ? 1 : length) + "</u>" +
                   label.Substr(p + 1);
  PushLuaString(L, tagged);
  return 1;
}

int TWindowScript::StripKeyFromLabel(lua_State* L) {
  TString label = GetLuaString(L, 1);
  TString key;
  int at = label.Find('&');
  if (at >= 0) {
    uint8_t next = uint8_t(label.CharAt(uint32_t(at) + 1));
    if (next >= 1 && next <= 191) key = TString("@") + char(next);
    label.Erase(uint32_t(at), 1);
  }
  PushLuaString(L, label);
  PushLuaString(L, key);
  return 2;
}

void TWindowScript::RegisterHotkey(TString key, TString buttonName) {
  TModalWindow* top = WindowCast<TModalWindow>(mManager ? mManager->GetTopModal() : nullptr);
  if (!key.IsEmpty() && top) top->RegisterHotkey(key, buttonName);
}

void TWindowScript::SetBitmap(TString name, TString image, float scale) {
  if (TImage* bitmap = WindowCast<TImage>(FindNamedWindow(name))) bitmap->SetTexture(TTexture::Get(image, 0), scale);
}

int TWindowScript::SetCommand(lua_State* L) {
  int top = lua_gettop(L);
  if (top < 1) return 0;
  TString name = GetLuaString(L, 1);
  lua_pushvalue(L, top);
  auto command = std::make_unique<TLuaFunction>(L);
  if (TButton* button = WindowCast<TButton>(FindInTopModal(name)))
    button->SetAction(std::make_unique<TButton::LuaAction>(std::move(command)));
  return 0;
}

void TWindowScript::DoSelectLayer(uint32_t layer) {
  if (TLayeredWindow* layered = WindowCast<TLayeredWindow>(GetCurrentWindow())) layered->SetLayer(layer);
}

bool TWindowScript::GetButtonToggleState(TString name) {
  TButton* button = WindowCast<TButton>(FindNamedWindow(name));
  return button && button->GetToggleState();
}

void TWindowScript::SetButtonToggleState(TString name, bool on) {
  if (TButton* button = WindowCast<TButton>(FindNamedWindow(name))) button->SetToggleState(on);
}

bool TWindowScript::ImageLoaded(TString name) {
  TImage* image = WindowCast<TImage>(FindNamedWindow(name));
  return image && image->GetTexture() != nullptr;
}
