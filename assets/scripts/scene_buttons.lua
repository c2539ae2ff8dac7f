-- The buttons the plain scene screens share: "next" goes on to the scene's next scene (the
-- scene's "Skip": the screen fades out first), "menu" saves the game and goes back to the
-- main menu.
ReadFile("scripts/widgets.lua")

function SceneButtons()
  return {
    SmallButton("menu", 40, 696, "SCENE_MENU", { command = function()
      SaveGame()
      QuitToMainMenu()
    end }),
    SmallButton("next", 814, 696, "SCENE_NEXT", { command = function() Skip() end }),
  }
end
