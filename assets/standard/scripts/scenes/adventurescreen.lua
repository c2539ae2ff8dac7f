-- An adventure screen. Until the adventure screen window comes, a plain scene window shows
-- the clearing (its picture is the scene's background) with what the player has done so
-- far: the letter read, and the score.
ReadFile("scripts/scene_buttons.lua")

local ink = Color(36, 44, 30)

local note = "CLEARING_NO_LETTER"
if GetGlobalBool("briefGelesen") then note = "CLEARING_LETTER" end
-- A label starting with "#" is the text itself.
local score = "#" .. GetString("SCORE", GetHighscore())

MakeDialog{
  SceneWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
    Text{ name = "title", x = 0, y = 60, w = 1024, h = 80, flags = kHAlignCenter, label = "CLEARING_TITLE",
      font = { "fonts/default_bold.mvec", 56, ink } },
    Text{ name = "note", x = 112, y = 160, w = 800, h = 40, flags = kHAlignCenter, label = note,
      font = { "fonts/default.mvec", 26, ink } },
    Text{ name = "score", x = 112, y = 206, w = 800, h = 40, flags = kHAlignCenter, label = score,
      font = { "fonts/default.mvec", 24, ink } },
    SceneButtons(),
  },
}
