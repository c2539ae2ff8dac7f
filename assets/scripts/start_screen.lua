-- The start screen: the valley at dusk, the title, and a panel with the player's name, the
-- volume and the two buttons.

local gold = Color(242, 211, 139)
local pale = Color(232, 226, 246)
local ink = Color(40, 30, 24)

-- A button of the start screen with its label (a string-table key).
local function StartButton(name, x, y, label)
  return Button{ name = name, x = x, y = y, sound = "sounds/click.ogg", rolloversound = "sounds/hover.ogg",
    graphics = { "images/start/button.png", "images/start/button_pressed.png", "images/start/button_over.png" },
    Text{ name = "label", w = kMax, h = kMax, flags = kHAlignCenter + kVAlignCenter, label = label,
      font = { "fonts/default_bold.mvec", 22, Color(255, 247, 225) } } }
end

MakeDialog{
  Bitmap{ name = "background", image = "images/start/background.png" },
  Text{ name = "title", x = 0, y = 36, w = 800, h = 90, flags = kHAlignCenter, label = "GAME_TITLE",
    font = { "fonts/default_bold.mvec", 72, gold } },
  Text{ name = "subtitle", x = 0, y = 124, w = 800, h = 40, flags = kHAlignCenter, label = "SUBTITLE",
    font = { "fonts/default.mvec", 24, pale } },
  Bitmap{ name = "panel", x = kCenter, y = 196, image = "images/start/panel.png", alpha = true,
    Text{ name = "nameprompt", x = 50, y = 22, w = 300, h = 30, label = "NAME_PROMPT",
      font = { "fonts/default.mvec", 20, pale } },
    Bitmap{ name = "namefield", x = 50, y = 56, image = "images/start/field.png", alpha = true },
    TextEdit{ name = "playername", x = 62, y = 60, w = 276, h = 32, flags = kVAlignCenter, length = 16,
      utf8 = true, font = { "fonts/default.mvec", 22, ink } },
    Text{ name = "volumelabel", x = 50, y = 112, w = 300, h = 30, label = "VOLUME",
      font = { "fonts/default.mvec", 20, pale } },
    Slider{ name = "volume", x = 50, y = 148, w = 300, h = 26, value = 0.8,
      railtop = "images/start/rail_top.png", railmid = "images/start/rail_mid.png",
      railbot = "images/start/rail_bottom.png",
      sliderimage = "images/start/knob.png", sliderrollimage = "images/start/knob_over.png" },
    StartButton("play", 14, 204, "BUTTON_PLAY"),
    StartButton("quit", 206, 204, "BUTTON_QUIT"),
    Text{ name = "greeting", x = 20, y = 274, w = 360, h = 50, flags = kHAlignCenter + kVAlignCenter,
      font = { "fonts/default.mvec", 20, gold } },
  },
}
RegisterHotkey("ctrl-q", "quit")
