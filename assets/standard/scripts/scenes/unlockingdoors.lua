-- An unlocking-doors scene: the window shows the lock's bolts with their lock pieces and the
-- overlay, and the mini-games' skip and menu buttons.

MakeDialog{
  UnlockingDoors{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
