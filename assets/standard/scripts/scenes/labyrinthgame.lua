-- A labyrinth scene: the labyrinth window shows the board with its blocks and tiles, which
-- the player slides box by box.

MakeDialog{
  LabyrinthWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
