-- A mosaic of rotation tiles: the rotation tiles window shows the tiles to turn upright.

MakeDialog{
  RotationTilesWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
