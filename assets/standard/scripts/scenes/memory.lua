-- A memory game: the memory window deals the cards face down and turns them two at a time.

MakeDialog{
  MemoryGameWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
