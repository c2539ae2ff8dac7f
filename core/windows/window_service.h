#pragma once
// IWindowService: what a window tells the window manager and asks of it. The window
// manager installs itself (SetWindowService) while it lives; without one a window goes on
// alone: nothing is redrawn, focused or told of its end.

#include <memory>

#include "platform/point.h"

class TMessage;
class TWindow;

class IWindowService {
 public:
  virtual ~IWindowService() = default;

  // A window changed: the screen needs a redraw.
  virtual void Invalidate() = 0;
  // A window is being destroyed (its children are gone already): nothing keeps a link to
  // it from now on, and script functions bound to its members raise a script error.
  virtual void OnWindowDestroyed(TWindow* window) = 0;
  // TWindow::OnMouseHover: the hover handler's answer.
  virtual bool ForwardHover(TWindow* window, TPoint point) = 0;
  // The window takes the focus.
  virtual void SetFocus(TWindow* window) = 0;
  virtual void PostMessage(std::unique_ptr<TMessage> message) = 0;
  // A message that no window of the walk took.
  virtual void PassMessageToScript(std::unique_ptr<TMessage> message) = 0;
  // The root screen window (null before there is one).
  virtual TWindow* GetScreen() const = 0;
};

// The service in force (a non-owning link; null without a window manager).
IWindowService* GetWindowService();
void SetWindowService(IWindowService* service);
