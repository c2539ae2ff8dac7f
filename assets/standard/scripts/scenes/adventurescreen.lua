-- An adventure screen, and a placing-object scene: the adventure screen window shows the
-- room with its objects and exits, the sidebar and the inventory strip.

MakeDialog{
  AdventureScreenWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
