-- "Hilfe" from the sidebar: how the screens are played, one line each, over the dimmed scene.

ReadFile("scripts/widgets.lua")

local pale = Color(232, 226, 246)

local lines = {}
for i = 1, 6 do
  table.insert(lines, Text{ name = "line" .. i, x = 30, y = 66 + 44 * i, w = 500, h = 40, flags = kVAlignCenter,
    label = "HELP_" .. i, font = { "fonts/default.mvec", 19, pale } })
end

MakeDialog(PlateDialog("images/menu/options.png",
  Window{ name = "help", x = 0, y = 0, w = 560, h = 440,
    Text{ name = "heading", x = 0, y = 24, w = 560, h = 50, flags = kHAlignCenter, label = "HELP_TITLE",
      font = { "fonts/default_bold.mvec", 36, Color(242, 211, 139) } },
    lines,
    SmallButton("close", 195, 372, "HELP_CLOSE", { close = true, default = true, cancel = true }),
  }))
