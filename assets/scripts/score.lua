-- The score at the end of a chapter: what the chapters before brought, the chapter's
-- bonuses and the score, revealed one after another by the window. "Weiter" takes the
-- chapter's points into the total; after the closing cutscene it also ends the game.

ReadFile("scripts/widgets.lua")

local gold = Color(242, 211, 139)
local pale = Color(232, 226, 246)

-- A value of the score; 0 while no player plays.
local function Points(get)
  if get then return get() end
  return 0
end

-- The score with the chapter's own bonuses, as it stands once the chapter is taken in.
local total = Points(GetHighscoreAsInt) + Points(GetLevelCompleteBonus) + Points(GetUsedHintsBonus) +
  Points(GetTimeBonus)

-- After the closing cutscene ("spielende"): the score goes into the highscores, whose table
-- shows the player's row, and the game is ended: the epilogue under the score is the last
-- screen, and leaving it runs the credits and returns to the main menu, where the finished
-- player starts afresh under the same name. The score closes itself only after the table,
-- which opens over it.
local final = GetGlobalBool and GetGlobalBool("spielende")
SetWindowName("scorewindow")

local function EndTheGame()
  LogHighScore(GetHighscoreAsInt(), false, false)
  DoModal("scripts/hiscore.lua")
  SetGlobalBool("endGame", true)
  EndGame()
  PopModal("scorewindow")
end

local function Line(name, y, label, value, size)
  return {
    Text{ name = name .. "label", x = 50, y = y, w = 300, h = 40, flags = kVAlignCenter, label = label,
      font = { "fonts/default.mvec", size, pale } },
    Text{ name = name, x = 330, y = y, w = 140, h = 40, flags = kHAlignRight + kVAlignCenter, label = "#" .. value,
      font = { "fonts/default_bold.mvec", size, gold } },
  }
end

MakeDialog(PlateDialog("images/menu/score.png",
  ScoreWindow{ name = "score", x = 0, y = 0, w = 520, h = 440,
    Text{ name = "heading", x = 0, y = 22, w = 520, h = 50, flags = kHAlignCenter, label = "SCORE_TITLE",
      font = { "fonts/default_bold.mvec", 34, gold } },
    Line("previouslevelbonus", 84, "SCORE_PREVIOUS", Points(GetPreviousLevelBonus), 22),
    Line("bonuspointscore", 128, "SCORE_BONUS", Points(GetBonus), 22),
    Line("bonuscompletelevelscore", 172, "SCORE_LEVEL", Points(GetLevelCompleteBonus), 22),
    Line("usedhintsbonusscore", 216, "SCORE_HINTS", Points(GetUsedHintsBonus), 22),
    Line("timebonusscore", 260, "SCORE_TIME", Points(GetTimeBonus), 22),
    Line("scoreedit", 310, "SCORE_TOTAL", total, 28),
    SmallButton("next", 175, 370, "SCORE_NEXT", { close = not final, default = true, cancel = true,
      command = function()
        if EndLevel then EndLevel() end
        if final then EndTheGame() end
      end }),
  }))
