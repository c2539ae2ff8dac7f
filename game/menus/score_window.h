#pragma once
// TScoreWindow: the window of a level's result screen, created by its window script
// ("ScoreWindow"), which fills six texts with the bonuses and the score. The window reveals
// them one after another, each unfolding from nothing to full height in 29 steps of 25 ms,
// with a pause before each (1000 ms before the first, 750 ms before the score, 500 ms
// before the others, counted from the moment the text before it is complete). The play
// clock stands still while it exists; input that reaches the window itself stops there.

#include <cstdint>
#include <memory>

#include "platform/clock.h"
#include "windows/window.h"

class TScoreWindow : public TWindow {
 public:
  TARVELON_CLASS_ID()
  // Pauses the play clock and switches "vsync" on.
  TScoreWindow();
  // The play clock goes on.
  ~TScoreWindow() override;

  static std::unique_ptr<TWindow> Create() { return std::make_unique<TScoreWindow>(); }

  const char* GetClassName() const override { return "TScoreWindow"; }
  bool IsKindOf(TClassId id) const override { return id == ClassId() || TWindow::IsKindOf(id); }
  // A step every 25 ms. Name, place and size come from the window script, not the style.
  void Init(TWindowStyle& style) override;
  // Folds each of the six texts to nothing. The texts are looked up by name whenever they
  // are used, so that one the script takes away is never touched afterwards.
  void PostCreate(TWindowStyle& style) override;
  bool Animate() override;
  bool OnMouseDown(TPoint point) override { return true; }
  bool OnMouseMove(TPoint point) override { return true; }
  bool OnChar(uint8_t character) override { return true; }

  // The texts in the order they appear.
  static constexpr int TextCount = 6;
  static const char* const TextNames[TextCount];

  // The text being revealed (1 to 6; 7 once all are shown) and its vertical scale.
  int32_t GetStep() const { return mStep; }
  float GetScale() const { return mScale; }

 private:
  int32_t mStep = 1;
  float mScale = 0.0f;
  uint32_t mDelay = 1000;
  TClock mClock;
};
