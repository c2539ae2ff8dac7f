-- The main menu: the valley at dusk, the title, and a panel with the greeting and three
-- buttons. The menu window is named "scene": starting the game fades it out, and once it is
-- dark the first scene opens in its place.

local gold = Color(242, 211, 139)
local pale = Color(232, 226, 246)

ReadFile("scripts/widgets.lua")

-- The profiles dialog; afterwards the menu greets the chosen player.
function ChangePlayer()
  DoModal("scripts/profiles.lua")
  if GetNumUsers() > 0 then
    EnableWindow("welcome", true)
    EnableWindow("changeplayer", true)
    SetWelcomeName()
  end
end

local function Quit()
  if DoModal("scripts/quit_dialog.lua") == "yes" then
    PostMessage(CreateNamedMessage(kQuitNow, "quit"))
  end
end

MakeDialog{
  MainMenuWindow{ x = 0, y = 0, w = 1024, h = 768,
    function() SetWindowName("scene") end,
    Bitmap{ name = "background", image = "images/menu/background.png" },
    Text{ name = "title", x = 0, y = 64, w = 1024, h = 100, flags = kHAlignCenter, label = "GAME_TITLE",
      font = { "fonts/default_bold.mvec", 84, gold } },
    Text{ name = "subtitle", x = 0, y = 170, w = 1024, h = 40, flags = kHAlignCenter, label = "SUBTITLE",
      font = { "fonts/default.mvec", 30, pale } },
    Bitmap{ name = "panel", x = 342, y = 290, image = "images/menu/panel.png", alpha = true,
      Text{ name = "welcome", x = 20, y = 20, w = 300, h = 64, flags = kHAlignCenter + kVAlignCenter,
        font = { "fonts/default.mvec", 22, gold } },
      -- The demo has one way to play, the scored one (game mode 0, with bonus texts).
      MenuButton("play", 50, 96, "BUTTON_PLAY", { command = function()
        SetCurrentGameMode(0)
        StartGame(true)
      end }),
      MenuButton("changeplayer", 50, 166, "BUTTON_CHANGE_PLAYER", { command = ChangePlayer }),
      MenuButton("quit", 50, 236, "BUTTON_QUIT", { command = Quit }),
    },
    -- Below the panel: the options, the highscores, the current player's diary and the credits.
    SmallButton("options", 154, 636, "BUTTON_OPTIONS", { command = function() DoModal("scripts/options.lua") end }),
    SmallButton("hiscores", 336, 636, "BUTTON_HISCORES", { command = function() DoModal("scripts/hiscore.lua") end }),
    SmallButton("diary", 518, 636, "BUTTON_DIARY", { command = function() DoModal("scripts/diary.lua") end }),
    SmallButton("credits", 700, 636, "BUTTON_CREDITS", { command = function() DoModal("scripts/credits.lua") end }),
  },
}
RegisterHotkey("ctrl-q", "quit")
