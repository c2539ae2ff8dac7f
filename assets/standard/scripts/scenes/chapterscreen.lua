-- A chapter's title screen: the chapter screen window shows the model's picture of the
-- place, its text, the title and the subtitle, and goes on by itself or on a click.

MakeDialog{
  ChapterScreenWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
