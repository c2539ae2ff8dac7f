-- The window's close button: the player is asked first (once, however often it is pressed).
if not gQuitAsked then
  gQuitAsked = true
  if DoModal("scripts/quit_dialog.lua") == "yes" then
    PostMessage(CreateNamedMessage(kQuitNow, "quit"))
  end
  gQuitAsked = nil
end
