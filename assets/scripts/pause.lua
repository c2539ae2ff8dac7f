-- The pause: the scene stands still behind a small dialog until the player goes on (the
-- scene's clock runs again) or back to the main menu (the game is saved first).

ReadFile("scripts/widgets.lua")

MakeDialog(SmallDialog{
  DialogTitle("title", "PAUSE_TITLE"),
  SmallButton("continue", 45, 150, "PAUSE_CONTINUE", { close = true, default = true, cancel = true,
    command = function() ResumePlay() end }),
  SmallButton("menu", 245, 150, "SCENE_MENU", { close = true, command = function()
    SaveGame()
    QuitToMainMenu()
  end }),
})
