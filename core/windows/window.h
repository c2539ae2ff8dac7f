#pragma once
// TWindow: the node of the window tree and the base of every on-screen element (screens,
// modal dialogs, widgets, the game's scene windows). A window owns its children, keeps its
// rectangle in its parent's coordinates, lays itself out from a style, draws its subtree
// with viewports and clips, and takes the input events and messages that the window
// manager hands it, passing on what it does not handle to the windows below it and to its
// parent.
//
// Windows in the tree are never deleted while an event is dispatched to them: they leave
// their parent (RemoveChild) and go to the window manager's delete queue
// (TWindowManager::DestroyWindowLater), which deletes them at the start of the next event.

#include <cstdint>
#include <list>
#include <memory>

#include "graphics/math/rect.h"
#include "platform/class_id.h"
#include "platform/engine_string.h"
#include "platform/platform_event.h"
#include "platform/point.h"

class IModalGroup;
class TMessage;
class TModalWindow;
class TWindowAnim;
class TWindowSpider;
class TWindowStyle;

enum TWindowFlag : uint32_t {
  WindowModal = 0x001,        // a modal window: bubbling and message walks stop here
  WindowTakesFocus = 0x002,   // takes the focus when the left button goes down on it or inside it
  WindowCachedLayer = 0x004,  // drawn in the cached-layer pass (draw mode 1)
  WindowVisible = 0x100,
  WindowInCachedLayer = 0x400,  // drawn into the cached layer during the current frame
  WindowOpaqueCover = 0x800,    // with its modal's size, hides everything below it
};

// Draw modes of DrawTree: everything, the cached layer, and what the cached layer left out.
enum TDrawMode : int { DrawAllWindows = 0, DrawCachedLayer = 1, DrawUncached = 2 };

// Z-order moves of SetZOrder.
enum TZOrder : int { ZOrderBack = 0, ZOrderFront = 1, ZOrderForward = 2, ZOrderBackward = 3, ZOrderBefore = 4 };

// Unlimited depth for FindChild and WindowAt.
constexpr int32_t AnyDepth = -1;

// Window coordinates and sizes stay within +-CoordinateLimit, so that sums over a window's
// ancestors never overflow, whatever a script asks for.
constexpr int32_t CoordinateLimit = 1 << 20;

// left <= x < right and top <= y < bottom.
bool RectContains(const TRect& rect, TPoint point);

// The process-wide flag that swallows the next character event (a hotkey's key down sets
// it; the event dispatch clears it and reports that character handled).
void SetSkipNextChar(bool skip);
bool GetSkipNextChar();

class TWindow {
 public:
  TARVELON_CLASS_ID()
  TWindow();
  // Clears the animation's link, destroys the children at once and tells the window
  // manager, so that focus, hover, modal-focus and queued-message references go with it.
  virtual ~TWindow();
  TWindow(const TWindow&) = delete;
  TWindow& operator=(const TWindow&) = delete;

  // The creator registered as "Window".
  static std::unique_ptr<TWindow> Create();

  virtual const char* GetClassName() const { return "TWindow"; }
  virtual bool IsKindOf(TClassId id) const { return id == ClassId(); }

  // Called when the window is added with activation, pushed as a modal or made the
  // screen; false makes AddChild take it out again.
  virtual bool OnActivate() { return true; }
  // Reads "name", then lays the window out.
  virtual void Init(TWindowStyle& style);
  // After the children: "fit" fits the window to them; then a second layout.
  virtual void PostCreate(TWindowStyle& style);
  // Drawing in the window's own coordinates: before and after the children.
  virtual void Draw() {}
  virtual void PostDraw() {}
  // Inserts the child at the front (on top of its siblings) and takes it over. With
  // activate the child's OnActivate decides: on false the child is handed back (child
  // keeps it) and the result is false. On success child is left empty.
  virtual bool AddChild(std::unique_ptr<TWindow>& child, bool activate);
  // Takes the child out of the list and hands it over (null when it is not a child).
  virtual std::unique_ptr<TWindow> RemoveChild(TWindow* child);
  // Every descendant of a popped modal hears of it, deepest first.
  virtual void OnModalPopped() {}
  virtual void SetScroll(float value, float second) {}
  virtual bool OnMessage(TMessage& message) { return false; }
  // One step of the window's animation task; false ends it.
  virtual bool Animate() { return false; }

  // Input, with points in the window's own coordinates (0, 0 = its top-left corner).
  virtual bool OnMouseDown(TPoint point) { return false; }
  virtual bool OnMouseButton(TPoint point, int32_t code) { return false; }
  virtual bool OnMouseUp(TPoint point) { return false; }
  virtual bool OnMouseMove(TPoint point) { return false; }
  // The window manager's hover tracking: the pointer left a hover-list window.
  virtual bool OnMouseLeave() { return false; }
  virtual bool OnChar(uint8_t character) { return false; }
  virtual bool OnUnicodeChar(TString utf8) { return false; }
  virtual bool OnKeyDown(int32_t key, uint32_t modifiers) { return false; }
  virtual bool OnKeyUp(int32_t key) { return false; }
  // Forwards to the window manager's hover handler.
  virtual bool OnMouseHover(TPoint point);
  virtual void OnSetFocus(TWindow* previous) {}

  // ---- Names, ids, flags ----
  const TString& GetName() const { return mName; }
  void SetName(const TString& name) { mName = name; }
  uint32_t GetId() const { return mId; }
  // The id as "%8x".
  TString GetIdString() const;
  uint32_t GetFlags() const { return mFlags; }
  // Bits 8-15 come from newFlags, bits 0-7 stay, bits 16-31 are cleared.
  void SetFlags(uint32_t newFlags);
  bool IsVisible() const { return (mFlags & WindowVisible) != 0; }
  // Visible up to and including the nearest modal (a modal counts on its own flag).
  bool IsShown() const;

  // ---- Tree ----
  TWindow* GetParent() const { return mParent; }
  // Sets the parent link only; the lists stay as they are. Answers the old parent.
  TWindow* SetParent(TWindow* parent);
  const std::list<std::unique_ptr<TWindow>>& GetChildren() const { return mChildren; }
  // The nearest ancestor with the modal flag (not the window itself) when it is a
  // TModalWindow, else null.
  TModalWindow* GetModal() const;
  // A modal window's side for the windows inside it (TModalWindow); null for others.
  virtual IModalGroup* AsModalGroup() { return nullptr; }
  bool IsAncestorOf(const TWindow* window) const;
  // This window when its name matches, else a search of the children in list order down
  // to depth levels (AnyDepth: unlimited).
  TWindow* FindChild(const TString& name, int32_t depth = AnyDepth);
  // Each direct child, front to back (back to front with reverse) until Process answers
  // false; the next child is taken first, so Process may remove the one it gets.
  void VisitChildren(TWindowSpider& spider, bool reverse = false);
  // The children leave the list at once and are deleted at the next event.
  void DeleteChildren();
  void FitToChildren();
  void SetZOrder(int position, TWindow* sibling);
  void SetZOrderSimple(int position) { SetZOrder(position, nullptr); }

  // ---- Geometry ----
  int32_t GetLeft() const { return mLeft; }
  int32_t GetTop() const { return mTop; }
  int32_t GetWidth() const { return mRight - mLeft; }
  int32_t GetHeight() const { return mBottom - mTop; }
  // In the parent's coordinates.
  TRect GetRect() const { return TRect(mLeft, mTop, mRight, mBottom); }
  void GetScreenRect(TRect& rect) const;
  void GetClientRect(TRect& rect) const { rect = TRect(0, 0, GetWidth(), GetHeight()); }
  void ClientToScreen(TPoint& point) const;
  void ScreenToClient(TPoint& point) const;
  void ClientToParent(TPoint& point) const;
  void ParentToClient(TPoint& point) const;
  // Both clamp to +-CoordinateLimit.
  void SetPosition(int32_t x, int32_t y);
  void SetSize(int32_t width, int32_t height);

  // ---- Layout (window_layout.cpp) ----
  // Runs the coded layout of the style's "x", "y", "w", "h" and "align".
  void DoLayout(TWindowStyle& style);
  // Resolves one axis: a coded position and size against the parent's extent, with the
  // align bits for centring and the far edge. literalNegatives keeps negative positions
  // as given (an "align" key is present). Codes beyond +-(1 << 28) count as that bound.
  static void ResolveAxis(int32_t& position, int32_t& size, int32_t extent, bool centre, bool farEdge,
                          bool hasParent, bool literalNegatives);
  // One coded position against an extent, for a window of the given size.
  static int32_t ResolvePosition(int32_t position, int32_t size, int32_t extent, bool literalNegatives);

  // ---- Hit testing, events, messages, drawing (window_events.cpp) ----
  // The first visible child in list order from `from' whose rectangle holds the point (in
  // this window's coordinates), else the window itself.
  TWindow* FindChildAt(TPoint point, std::list<std::unique_ptr<TWindow>>::const_iterator from);
  TWindow* ChildAt(TPoint point) { return FindChildAt(point, mChildren.begin()); }
  // The deepest window under the point, down to depth levels (null when the depth runs
  // out first); local, when given, receives the point in that window's coordinates.
  TWindow* WindowAt(TPoint point, int32_t depth, TPoint* local = nullptr);
  // Offers the event (points in this window's coordinates) to the window, then bubbles it
  // to the next sibling under the point or the parent, stopping at a modal.
  bool HandleEvent(const TPlatformEvent& event, bool focusMoved);
  // The message walk from this window up to its modal; the walk takes the message over.
  void SendMessage(std::unique_ptr<TMessage> message);
  // Draws the window and its subtree (modal children excepted) in a draw mode.
  bool DrawTree(int mode);

  // ---- Animation ----
  // The window's animation task, made on first use in its modal's task list (the
  // window's own list when it is a modal); null for a window outside any modal.
  TWindowAnim* GetAnim();
  // Schedules the task (TAnimTask::Schedule).
  void StartAnim(uint32_t delay, bool repeat, bool fromNow, bool catchUp);
  // Unlinks the task from the window (the task list still owns it).
  TWindowAnim* DetachAnim();
  void ClearAnimLink() { mAnim = nullptr; }

 protected:
  // For subclasses' constructors: bits that SetFlags keeps as they are (0-7) included.
  void AddFlags(uint32_t bits) { mFlags |= bits; }
  bool DispatchToHandler(const TPlatformEvent& event);
  bool BubbleEvent(const TPlatformEvent& event, bool focusMoved);

 private:
  // The nearest ancestor with the modal flag when it is a modal window (a modal group),
  // else null; and that window's group.
  TWindow* GetModalAncestor() const;
  IModalGroup* GetModalGroup() const;
  void UpdateCoverSetOf(IModalGroup& modal, int32_t width, int32_t height);
  std::list<std::unique_ptr<TWindow>>::iterator FindEntry(const TWindow* child);

  TWindow* mParent = nullptr;  // non-owning: the parent owns this window
  std::list<std::unique_ptr<TWindow>> mChildren;  // front = topmost
  int32_t mLeft = 0, mTop = 0, mRight = 0, mBottom = 0;
  TString mName;
  uint32_t mFlags = WindowVisible;
  uint32_t mId;
  TWindowAnim* mAnim = nullptr;  // owned by the modal's task list; it clears this link when it goes
};

// A window type's creator (the registry of the UI script keeps them by type name).
using TWindowCreator = std::unique_ptr<TWindow> (*)();

// The window as a T when it is one (by its class identity), else null.
template <typename T>
T* WindowCast(TWindow* window) {
  return window && window->IsKindOf(T::ClassId()) ? static_cast<T*>(window) : nullptr;
}
