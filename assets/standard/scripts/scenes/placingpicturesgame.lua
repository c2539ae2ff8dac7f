-- A placing-pictures scene: the pictures on their hotspots, carried or swapped, and the
-- check button.

MakeDialog{
  PlacingPicturesWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
