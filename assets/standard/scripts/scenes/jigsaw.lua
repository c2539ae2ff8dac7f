-- A jigsaw: the jigsaw window shows the pieces to carry to their place in the picture.

MakeDialog{
  JigsawPuzzleWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
