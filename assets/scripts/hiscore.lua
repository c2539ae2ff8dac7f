-- The highscores: the ten best of the scored game, each with its rank, name and points. The
-- table's window fills the rows from the stored scores and hides the rows left empty.

ReadFile("scripts/widgets.lua")

local gold = Color(242, 211, 139)
local pale = Color(232, 226, 246)

local function Row(r)
  local y = 118 + 44 * (r - 1)
  return {
    Bitmap{ name = "p1_" .. r, x = 34, y = y + 8, image = "images/menu/medal.png", alpha = true },
    Text{ name = tostring(r), x = 64, y = y, w = 56, h = 40, flags = kHAlignRight + kVAlignCenter,
      font = { "fonts/default_bold.mvec", 22, gold } },
    Text{ name = "name" .. r, x = 140, y = y, w = 300, h = 40, flags = kVAlignCenter,
      font = { "fonts/default.mvec", 20, pale } },
    Text{ name = "score" .. r, x = 440, y = y, w = 140, h = 40, flags = kHAlignRight + kVAlignCenter,
      font = { "fonts/default.mvec", 22, pale } },
  }
end

local rows = {}
for r = 1, 10 do table.insert(rows, Row(r)) end

MakeDialog(PlateDialog("images/menu/hiscore.png",
  HiscoreWindow{ name = "hiscores", x = 0, y = 0, w = 620, h = 640,
    Text{ name = "heading", x = 0, y = 22, w = 620, h = 50, flags = kHAlignCenter, label = "HISCORE_TITLE",
      font = { "fonts/default_bold.mvec", 36, gold } },
    Text{ name = "topplayers", x = 0, y = 72, w = 620, h = 34, flags = kHAlignCenter, label = "HISCORE_TOP",
      font = { "fonts/default.mvec", 22, pale } },
    rows,
    SmallButton("scrollup", 40, 570, "HISCORE_UP"),
    SmallButton("scrolldown", 410, 570, "HISCORE_DOWN"),
    SmallButton("close", 225, 570, "CLOSE", { close = true, default = true, cancel = true }),
  }))
