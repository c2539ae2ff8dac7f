-- Tarvelon's main script: the main menu. A scene takes the menu's place while the game is
-- played; when the game comes back (the scene's modal goes), the menu is built again. At the
-- first start, before there is a player, the profiles dialog opens by itself.
-- The sidebar's "Hilfe" button calls this on every play screen.
function ShowHelp()
  DoModal("scripts/help.lua")
end

return function()
  while true do
    PushModal("mainmenu")
    local depth = GetWindowDepth()
    ReadFile("scripts/mainmenu.lua")
    DoFitToChildren()
    if GetNumUsers() == 0 then
      -- The menu fades in first: eight steps of 25 ms, at most one a frame.
      local frames, fadedIn = 0, GetTimer() + 300
      while frames < 12 or GetTimer() < fadedIn do
        Yield()
        frames = frames + 1
      end
      ChangePlayer()
    end
    -- The wait gives up now and then: a dialog that the game opened by itself over the
    -- empty screen (the credits at the game's end) goes without a message to this loop.
    while GetWindowDepth() >= depth do
      WaitForMessage(250)
    end
  end
end
