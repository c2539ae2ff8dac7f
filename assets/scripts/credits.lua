-- The credits after the end of the story.

ReadFile("scripts/widgets.lua")

MakeDialog(SmallDialog{
  Text{ name = "heading", x = 0, y = 24, w = 460, h = 44, flags = kHAlignCenter, label = "CREDITS_TITLE",
    font = { "fonts/default_bold.mvec", 30, Color(242, 211, 139) } },
  Text{ name = "names", x = 30, y = 74, w = 400, h = 70, flags = kHAlignCenter, label = "CREDITS_TEXT",
    font = { "fonts/default.mvec", 20, Color(232, 226, 246) } },
  SmallButton("close", 145, 160, "CLOSE", { close = true, default = true, cancel = true }),
})
