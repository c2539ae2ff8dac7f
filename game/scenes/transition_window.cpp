#include "scenes/transition_window.h"

#include "graphics/texture.h"
#include "platform/settings.h"

TTransitionWindow* TTransitionWindow::AddOverlay(TWindow& owner) {
  std::unique_ptr<TWindow> window = Create();
  auto* overlay = static_cast<TTransitionWindow*>(window.get());
  overlay->SetName("transition");
  overlay->SetPosition(0, 0);
  overlay->SetTexture(TTexture::Get("standard/backgrounds/transition", 0), 1.0f);
  // The texture sizes the image; the overlay covers the screen whatever the texture's size.
  overlay->SetSize(GetConfig("screenwidth").ToInt(), GetConfig("screenheight").ToInt());
  return owner.AddChild(window, true) ? overlay : nullptr;
}
