-- A chapter's title screen. Until the chapter screen window comes, a plain scene window
-- shows the first chapter's title.
ReadFile("scripts/scene_buttons.lua")

local gold = Color(242, 211, 139)
local pale = Color(232, 226, 246)

MakeDialog{
  SceneWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
    Bitmap{ name = "background", image = "images/scenes/ankunft.png" },
    Text{ name = "chapter", x = 0, y = 250, w = 1024, h = 50, flags = kHAlignCenter, label = "CHAPTER_1",
      font = { "fonts/default.mvec", 34, pale } },
    Text{ name = "title", x = 0, y = 300, w = 1024, h = 90, flags = kHAlignCenter, label = "CHAPTER_1_TITLE",
      font = { "fonts/default_bold.mvec", 64, gold } },
    SceneButtons(),
  },
}
