-- A shark shooter scene: the diver, the sharks and the status bar over the scene's picture.

MakeDialog{
  SharkShooterWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
