-- Tarvelon's main script: the start screen. It greets the player by name, follows the
-- volume slider, and ends the game when "Beenden" is confirmed.
return function()
  PushModal("start")
  ReadFile("scripts/start_screen.lua")
  DoFitToChildren()
  SetVolumeFromSlider("volume")
  while true do
    local message = WaitForMessage()
    if message.type == kButtonPress and message.name == "quit" then
      if DoModal("scripts/quit_dialog.lua") == "yes" then
        PostMessage(CreateNamedMessage(kQuitNow, "quit"))
      end
    elseif message.type == kButtonPress and message.name == "play" then
      local name = GetLabel("playername")
      if name == "" then
        SetLabel("greeting", GetString("NAME_MISSING"))
      else
        SetLabel("greeting", GetString("GREETING", name))
      end
    elseif message.type == kSliderValChanged and message.name == "volume" then
      SetVolumeFromSlider("volume")
    end
  end
end
