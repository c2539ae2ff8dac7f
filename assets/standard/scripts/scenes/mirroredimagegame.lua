-- A mirrored-image scene: the portraits on their places and the one click that decides.

MakeDialog{
  MirroredImageWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
