-- A hidden-object scene: the hidden-object window shows the picture with its hidden things
-- and the sidebar with the list of what is to be found.

MakeDialog{
  HiddenObjectGame{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
