-- A morris scene: the board's points and stones, moved along the lines.

MakeDialog{
  NineMensMorrisWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
