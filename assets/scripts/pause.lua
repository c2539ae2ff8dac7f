-- The pause: the scene stands still behind a small dialog until the player goes on (the
-- scene's clock runs again) or back to the main menu (the game is saved first); the options
-- and the highscores open over it.

ReadFile("scripts/widgets.lua")

MakeDialog(SmallDialog{
  DialogTitle("title", "PAUSE_TITLE"),
  SmallButton("options", 45, 98, "BUTTON_OPTIONS", { command = function() DoModal("scripts/options.lua") end }),
  SmallButton("hiscores", 245, 98, "BUTTON_HISCORES", { command = function() DoModal("scripts/hiscore.lua") end }),
  SmallButton("continue", 45, 150, "PAUSE_CONTINUE", { close = true, default = true, cancel = true,
    command = function() ResumePlay() end }),
  SmallButton("menu", 245, 150, "SCENE_MENU", { close = true, command = function()
    SaveGame()
    QuitToMainMenu()
  end }),
})
