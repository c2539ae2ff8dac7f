-- Mara's diary: the open book over the dimmed screen. The diary window shows the pages of the
-- current spread; the arrows turn them (each waits out of sight while there is nothing to
-- turn to), and "Zurück" closes the book.

ReadFile("scripts/widgets.lua")

local function Arrow(name, picture)
  return Button{ name = name, sound = "sounds/click.ogg", rolloversound = "sounds/hover.ogg",
    graphics = { "images/diary/" .. picture .. ".png", "images/diary/" .. picture .. "_pressed.png",
                 "images/diary/" .. picture .. "_over.png" } }
end

MakeDialog{
  Bitmap{ name = "dim", image = "images/menu/dim.png", alpha = true, autoscale = true },
  DiaryWindow{ name = "diary", x = 0, y = 0, w = 1024, h = 768,
    Bitmap{ name = "book", x = 88, y = 70, image = "images/diary/book.png", alpha = true },
    Arrow("goBack", "back"),
    Arrow("goForward", "forward"),
    SmallButton("back", 427, 706, "DIARY_BACK", { close = true, default = true, cancel = true }),
  },
}
