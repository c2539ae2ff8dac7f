#pragma once
// TButton: the push, toggle and radio button. A layered window with one layer per visual
// state (normal, pressed, roll-over, and for toggles the roll-over of the toggled state),
// each holding a state image from the style's "graphics"; children added later (a "label"
// text) show in every state. The button follows the mouse through a small state machine,
// plays its press and roll-over sounds, may restrict its hit area to the bright pixels of a
// mask image, and on a press posts its messages and runs its action (a Lua command).
// Registered as "Button".

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

#include "windows/layered_window.h"

class TLuaFunction;
class TSound;
class TTexture;

enum TButtonType : int32_t { ButtonPush = 0, ButtonToggle = 1, ButtonRadio = 2 };
enum TButtonState : int32_t { ButtonNormal = 0, ButtonPressed = 1, ButtonRollOver = 2, ButtonClicking = 3 };
// Sound slots: 0 stays empty, so that a state number picks its sound.
enum TButtonSound : int32_t { ButtonPressSound = 1, ButtonRollOverSound = 2 };
// Window flag (bits 0-7, kept by SetFlags) of a button that starts a radio group.
constexpr uint32_t WindowBeginGroup = 0x008;

// Shown, as buttons and text edits count it: the window and its ancestors up to the nearest
// modal are visible (the modal decides by its own flag); without a modal it is not shown.
bool IsWindowShown(const TWindow* window);

class TButton : public TLayeredWindow {
 public:
  TARVELON_CLASS_ID()

  // What a press runs.
  class Action {
   public:
    virtual ~Action() = default;
    virtual void Execute(TButton* button) = 0;
  };
  // A Lua command: queued for the UI script together with a "LuaAction:<name>" message.
  class LuaAction : public Action {
   public:
    explicit LuaAction(std::unique_ptr<TLuaFunction> command);
    ~LuaAction() override;
    void Execute(TButton* button) override;
    TLuaFunction* GetCommand() const { return mCommand.get(); }

   private:
    std::unique_ptr<TLuaFunction> mCommand;
  };

  TButton();
  // Leaves the hover list first (OnMouseLeave).
  ~TButton() override;

  // The creator registered as "Button".
  static std::unique_ptr<TWindow> Create();

  const char* GetClassName() const override { return "TButton"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TLayeredWindow::IsKindOf(id); }
  bool OnActivate() override;
  void Init(TWindowStyle& style) override;
  void PostCreate(TWindowStyle& style) override;
  bool OnMouseDown(TPoint point) override;
  bool OnMouseUp(TPoint point) override;
  bool OnMouseMove(TPoint point) override;
  bool OnMouseLeave() override;

  // A press as the mouse makes it: sound, DoPress, then toggling. True when the button is
  // still in place (on the top modal) afterwards.
  virtual bool Click();
  // Plays the roll-over sound on entering state 2 and shows the state's layer.
  virtual void OnStateChange(int32_t newState, int32_t oldState);
  virtual void SetState(int32_t state);

  // The press itself: the close message, the button message, the action. True when the
  // action took the button off the screen.
  bool DoPress();
  void SetType(int32_t type);
  int32_t GetType() const { return mType; }
  int32_t GetState() const { return mState; }
  void Toggle();
  // On for a radio button clears the other buttons of its group.
  void SetToggleState(bool on);
  bool GetToggleState() const { return (mOptions & OptionToggled) != 0; }
  void SetAction(std::unique_ptr<Action> action);
  Action* GetAction() const { return mAction.get(); }
  // The text of the descendant "label" when it is a text window.
  void SetLabel(const TString& text);
  TString GetLabel();
  // Slots 1 (press) and 2 (roll-over); others are refused.
  void SetSound(int32_t index, const TString& name);
  const std::shared_ptr<TSound>& GetSound(int32_t index) const;
  // Copies the mask's pixels; a texture that cannot be locked leaves the mask as it was.
  void SetMask(const std::shared_ptr<TTexture>& texture);
  bool IsDefault() const { return (mOptions & OptionDefault) != 0; }
  bool IsCancel() const { return (mOptions & OptionCancel) != 0; }
  bool IsClose() const { return (mOptions & OptionClose) != 0; }
  bool SendsToParent() const { return (mOptions & OptionSendToParent) != 0; }
  bool IsButtonShown() const { return IsWindowShown(this); }

 private:
  enum TOption : uint8_t {
    OptionSendToParent = 0x01,
    OptionToggled = 0x02,
    OptionClose = 0x04,
    OptionDefault = 0x08,
    OptionCancel = 0x10,
  };

  void SetOption(uint8_t option, bool on);
  void BuildStateImages(TWindowStyle& style, float scale);
  // Leaves (OnMouseLeave) and answers true when the point lies outside the hit area.
  bool IsOutside(TPoint point);
  void PlaySound(int32_t index);

  int32_t mType = ButtonPush;    // kept as a signed 4-bit value
  int32_t mState = ButtonNormal; // kept as a signed 3-bit value
  uint8_t mOptions = 0;
  std::unique_ptr<Action> mAction;
  std::array<std::shared_ptr<TSound>, 3> mSounds;
  std::vector<uint32_t> mMask;
  int32_t mMaskWidth = 0;
  int32_t mMaskHeight = 0;
};
