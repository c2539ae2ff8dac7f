#include "windows/button.h"

#include "graphics/texture.h"
#include "platform/log.h"
#include "platform/settings.h"
#include "script/lua_glue.h"
#include "script/lua_object_wrapper.h"
#include "sound/sound.h"
#include "windows/image_window.h"
#include "windows/message.h"
#include "windows/modal_window.h"
#include "windows/text_window.h"
#include "windows/window_manager.h"
#include "windows/window_script.h"
#include "windows/window_spider.h"
#include "windows/window_style.h"

namespace {

constexpr int32_t LayerCount = 4;
// A mask pixel whose red, green and blue all stay below this is outside the button.
constexpr uint32_t MaskThreshold = 20;

int32_t SignExtend(int32_t value, int bits) {
  int32_t sign = 1 << (bits - 1);
  int32_t masked = value & ((1 << bits) - 1);
  return (masked ^ sign) - sign;
}

// `GetButtonName()' answers the name kept as the closure's upvalue: the name never
// becomes Lua text, whatever it holds.
int ReturnButtonName(lua_State* L) {
  lua_pushvalue(L, lua_upvalueindex(1));
  return 1;
}

void DefineButtonName(lua_State* L, const TString& name) {
  if (!L || !lua_checkstack(L, 3)) return;
  LuaStackGuard guard(L);
  lua_pushstring(L, "GetButtonName");
  lua_pushlstring(L, name.c_str(), name.Length());
  lua_pushcclosure(L, &ReturnButtonName, 1);
  lua_rawset(L, LUA_GLOBALSINDEX);
}

// Two passes over the parent's children in creation order: the first finds where the
// button's radio group begins (the last beginGroup window up to the button), the second
// switches off every other button from there to the next beginGroup window.
class TRadioButtonSpider : public TWindowSpider {
 public:
  explicit TRadioButtonSpider(TButton* button) : mButton(button) {}
  void SetPass(uint32_t pass) { mPass = pass; }

  bool Process(TWindow* window) override {
    bool beginsGroup = (window->GetFlags() & WindowBeginGroup) != 0;
    if (mPass == 0) {
      if (beginsGroup) mGroupStart = window;
      return window != mButton;
    }
    if (!mInGroup) {
      if (window != mGroupStart) return true;
      mInGroup = true;
    } else if (beginsGroup) {
      return false;
    }
    TButton* other = WindowCast<TButton>(window);
    if (other && other != mButton) other->SetToggleState(false);
    return true;
  }

 private:
  uint32_t mPass = 0;
  bool mInGroup = false;
  TWindow* mGroupStart = nullptr;
  TButton* mButton;
};

}  // namespace

// ---- Actions ----

TButton::LuaAction::LuaAction(std::unique_ptr<TLuaFunction> command) : mCommand(std::move(command)) {}

TButton::LuaAction::~LuaAction() = default;

void TButton::LuaAction::Execute(TButton* button) {
  TString name = button ? button->GetName() : TString();
  auto message = std::make_unique<TMessage>(MessageCommandOnly, "LuaAction:" + name);
  TWindowManager* manager = GetWindowManager();
  TWindowScript* script = manager ? manager->GetScript() : nullptr;
  if (!script) return;
  DefineButtonName(script->GetState(), name);
  script->QueueMessage(std::move(message), mCommand.get());
}

// ---- The button ----

TButton::TButton() : TLayeredWindow(LayerCount) {}

TButton::~TButton() { OnMouseLeave(); }

std::unique_ptr<TWindow> TButton::Create() { return std::make_unique<TButton>(); }

void TButton::SetOption(uint8_t option, bool on) {
  mOptions = on ? uint8_t(mOptions | option) : uint8_t(mOptions & ~option);
}

void TButton::Init(TWindowStyle& style) {
  TLayeredWindow::Init(style);
  TString sound = style.GetString("sound", TString());
  TString rollOverSound = style.GetString("rolloversound", TString());
  TString mask = style.GetString("mask", TString());
  SetType(style.GetInt("type", ButtonPush));
  float scale = float(style.GetNumber("scale", 1.0));
  bool sendToParent = style.GetBool("sendToParent", false);
  bool beginGroup = style.GetBool("beginGroup", false);
  bool close = style.GetBool("close", false);
  bool isDefault = style.GetBool("default", false);
  bool cancel = style.GetBool("cancel", false);
  if (style.GetBool("on", false)) SetToggleState(true);
  if (beginGroup) AddFlags(WindowBeginGroup);
  SetOption(OptionSendToParent, sendToParent);
  SetOption(OptionClose, close);
  SetOption(OptionDefault, isDefault);
  SetOption(OptionCancel, cancel);

  if (!sound.IsEmpty()) SetSound(ButtonPressSound, sound);
  if (!rollOverSound.IsEmpty()) SetSound(ButtonRollOverSound, rollOverSound);
  if (!mask.IsEmpty()) SetMask(TTexture::Get(mask, 0));
  BuildStateImages(style, scale);
  if (std::unique_ptr<TLuaFunction> command = style.GetFunction("command"))
    SetAction(std::make_unique<LuaAction>(std::move(command)));
  SetLayer(NoLayer);
}

void TButton::BuildStateImages(TWindowStyle& style, float scale) {
  std::unique_ptr<TLuaTable> graphics = style.GetTable("graphics");
  uint32_t flip = (style.GetBool("hflip", false) ? ImageFlipHorizontal : 0u) |
                  (style.GetBool("vflip", false) ? ImageFlipVertical : 0u);
  bool rotate = style.GetBool("rotate", false);
  if (!graphics) return;
  int32_t count = mType == ButtonPush ? 3 : 4;
  TWindow* previous = nullptr;
  for (int32_t i = 0; i < count; i++) {
    TString name = graphics->GetStringAt(i + 1, TString());
    if (name.IsEmpty()) {
      // An empty entry shows the state before it.
      SetLayer(uint32_t(i));
      if (previous) AddToLayer(previous, uint32_t(i));
      continue;
    }
    auto image = std::make_unique<TImage>(true);
    image->SetTexture(TTexture::Get(name, 0), scale);
    image->SetName(TString::Printf("image%d", i));
    image->SetFlip(flip);
    image->SetRotate(rotate);
    TWindow* raw = image.get();
    SetLayer(uint32_t(i));
    std::unique_ptr<TWindow> child = std::move(image);
    if (AddChild(child, true)) previous = raw;
  }
  FitToChildren();
}

void TButton::PostCreate(TWindowStyle& style) {
  TLayeredWindow::PostCreate(style);
  SetState(ButtonNormal);
}

bool TButton::OnActivate() {
  SetState(ButtonNormal);
  return true;
}

void TButton::SetType(int32_t type) { mType = SignExtend(type, 4); }

void TButton::SetState(int32_t state) {
  int32_t old = mState;
  mState = SignExtend(state, 3);
  OnStateChange(state, old);
}

void TButton::PlaySound(int32_t index) {
  // Only three slots exist: the clicking state (3) has no sound of its own.
  if (index < 0 || index >= int32_t(mSounds.size()) || !mSounds[size_t(index)]) return;
  mSounds[size_t(index)]->Play(false);
}

void TButton::OnStateChange(int32_t newState, int32_t oldState) {
  if (newState != oldState && newState != ButtonPressed && oldState != ButtonClicking && IsVisible())
    PlaySound(newState);
  if (newState < ButtonNormal || newState > ButtonRollOver || mType < ButtonPush || mType > ButtonRadio) return;
  static const uint32_t Layers[2][3] = {{0, 1, 2}, {1, 0, 3}};
  bool toggled = mType != ButtonPush && GetToggleState();
  SetLayer(Layers[toggled ? 1 : 0][newState]);
}

bool IsWindowShown(const TWindow* window) {
  for (const TWindow* w = window; w; w = w->GetParent()) {
    if (!w->IsVisible()) return false;
    if (w->GetFlags() & WindowModal) return true;
  }
  return false;
}

bool TButton::IsOutside(TPoint point) {
  TRect client;
  GetClientRect(client);
  if (!RectContains(client, point)) {
    OnMouseLeave();
    return true;
  }
  if (mMask.empty() || mMaskWidth < 1 || mMaskHeight < 1) return false;
  float ratioX = float(GetWidth()) / float(mMaskWidth);
  float ratioY = float(GetHeight()) / float(mMaskHeight);
  float x, y;
  if (IsEnabled("fixbuttonmask")) {
    x = float(point.x) / ratioX;
    y = float(point.y) / ratioY;
  } else {
    x = float(point.x) * ratioX;
    y = float(point.y) * ratioY;
  }
  // Compared as floats first: a product beyond the mask may be beyond an int too.
  if (!(x < float(mMaskWidth)) || !(y < float(mMaskHeight))) {
    OnMouseLeave();
    return true;
  }
  uint32_t pixel = mMask[size_t(int32_t(y)) * size_t(mMaskWidth) + size_t(int32_t(x))];
  uint32_t r = (pixel >> 16) & 0xFF, g = (pixel >> 8) & 0xFF, b = pixel & 0xFF;
  if (r >= MaskThreshold || g >= MaskThreshold || b >= MaskThreshold) return false;
  OnMouseLeave();
  return true;
}

bool TButton::OnMouseDown(TPoint point) {
  TWindowManager* manager = GetWindowManager();
  if (mState == ButtonNormal && manager) manager->AddToHoverList(this);
  SetState(ButtonPressed);
  IsOutside(point);
  return true;
}

bool TButton::OnMouseMove(TPoint point) {
  if (IsOutside(point)) return false;
  if (mState == ButtonNormal) {
    SetState(ButtonRollOver);
    if (TWindowManager* manager = GetWindowManager()) manager->AddToHoverList(this);
  }
  return true;
}

bool TButton::OnMouseLeave() {
  TWindowManager* manager = GetWindowManager();
  if (mState != ButtonNormal && manager) manager->RemoveFromHoverList(this);
  SetState(ButtonNormal);
  return true;
}

bool TButton::OnMouseUp(TPoint point) {
  if (mState == ButtonNormal || IsOutside(point)) return true;
  if (mState == ButtonPressed && !Click()) return true;
  if (!IsButtonShown())
    OnMouseLeave();
  else
    SetState(ButtonRollOver);
  return true;
}

bool TButton::Click() {
  OnStateChange(ButtonClicking, ButtonPressed);
  if (IsButtonShown()) PlaySound(ButtonPressSound);
  if (DoPress()) {
    OnMouseLeave();
    return false;
  }
  if (mType == ButtonRadio)
    SetToggleState(true);
  else if (mType == ButtonToggle)
    Toggle();
  TWindowManager* manager = GetWindowManager();
  if (manager && GetModal() == manager->GetTopModal()) return true;
  OnMouseLeave();
  return false;
}

bool TButton::DoPress() {
  TWindowManager* manager = GetWindowManager();
  if (IsClose()) {
    if (TModalWindow* modal = GetModal()) {
      if (manager) {
        manager->PostMessage(std::make_unique<TMessage>(MessageCloseWindow, modal->GetIdString()));
        if (TWindowScript* script = manager->GetScript()) script->SetGlobalString("gReturnValue", GetName());
      }
    }
  }
  TWindow* target = GetParent();
  if (SendsToParent()) {
    TWindow* top = manager ? manager->GetTopModal() : nullptr;
    target = top ? top->GetParent() : nullptr;
  }
  auto message = std::make_unique<TMessage>(MessageButtonPress, GetName(), target);
  if (!mAction) {
    if (manager) manager->PostMessage(std::move(message));
    return false;
  }
  // The action may give the button a new action while it runs (a command that calls
  // SetCommand): the running one stays alive until it returns.
  std::unique_ptr<Action> running = std::move(mAction);
  running->Execute(this);
  if (!mAction) mAction = std::move(running);

  TWindow* screen = manager ? manager->GetScreen() : nullptr;
  bool onScreen = false;
  for (TWindow* w = GetParent(); w && !onScreen; w = w->GetParent()) onScreen = w == screen;
  if (onScreen || SendsToParent()) {
    if (manager) manager->PostMessage(std::move(message));
  }
  return !onScreen;
}

void TButton::Toggle() {
  SetOption(OptionToggled, !GetToggleState());
  SetState(mState);
}

void TButton::SetToggleState(bool on) {
  TWindow* parent = GetParent();
  if (mType == ButtonRadio && on && parent) {
    TRadioButtonSpider spider(this);
    parent->VisitChildren(spider, true);
    spider.SetPass(1);
    parent->VisitChildren(spider, true);
  }
  SetOption(OptionToggled, on);
  SetState(mState);
  if (TWindowManager* manager = GetWindowManager()) manager->Invalidate();
}

void TButton::SetAction(std::unique_ptr<Action> action) { mAction = std::move(action); }

void TButton::SetLabel(const TString& text) {
  if (TText* label = WindowCast<TText>(FindChild("label"))) label->SetText(text);
}

TString TButton::GetLabel() {
  TText* label = WindowCast<TText>(FindChild("label"));
  return label ? label->GetText() : TString();
}

void TButton::SetSound(int32_t index, const TString& name) {
  if (index != ButtonPressSound && index != ButtonRollOverSound) {
    LogPrintf("Button '%s': no sound slot %d", GetName().c_str(), index);
    return;
  }
  mSounds[size_t(index)] = TSound::Get(name, 1, 0);
}

const std::shared_ptr<TSound>& TButton::GetSound(int32_t index) const {
  static const std::shared_ptr<TSound> None;
  return index >= 0 && index < int32_t(mSounds.size()) ? mSounds[size_t(index)] : None;
}

void TButton::SetMask(const std::shared_ptr<TTexture>& texture) {
  uint32_t* pixels = nullptr;
  int pitch = 0;
  if (!texture || !texture->Lock(pixels, pitch)) return;
  int32_t width = int32_t(texture->GetWidth()), height = int32_t(texture->GetHeight());
  if (pixels && pitch >= width) {
    mMask.assign(size_t(width) * size_t(height), 0);
    for (int32_t row = 0; row < height; row++)
      std::copy(pixels + size_t(row) * size_t(pitch), pixels + size_t(row) * size_t(pitch) + width,
                mMask.begin() + ptrdiff_t(row) * width);
    mMaskWidth = width;
    mMaskHeight = height;
  }
  texture->Unlock();
}
