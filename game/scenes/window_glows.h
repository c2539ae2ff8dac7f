#pragma once
// TWindowGlows: the glows one window starts on the sprite animator with their effects
// running on the window's own animation clock. Such a task must not outlive the window (it
// reads the clock), so the window ends its glows when it goes or when its modal goes.
// A sprite that glows already keeps its glow and no task is made for it, however often a
// window asks (a hover asks on every mouse move). Main thread only.

#include <memory>
#include <vector>

class TSprite;
class TWindow;

class TWindowGlows {
 public:
  explicit TWindowGlows(TWindow* window) : mWindow(window) {}
  ~TWindowGlows() { ReleaseAll(); }
  TWindowGlows(const TWindowGlows&) = delete;
  TWindowGlows& operator=(const TWindowGlows&) = delete;

  // A glow around the sprite, drawn in its parent sprite, on the window's clock (the
  // engine timer while the window has no animation); nothing for a null sprite.
  void Add(const std::shared_ptr<TSprite>& sprite);
  // Ends the sprite's glow (whoever started it).
  void Remove(const std::shared_ptr<TSprite>& sprite);
  // Ends every glow this window started that still runs.
  void ReleaseAll();

 private:
  TWindow* mWindow;  // the owner; not owned
  std::vector<std::weak_ptr<TSprite>> mSprites;
};
