-- A plot point: the strip of pictures moving under the page's frame while its texts fade in
-- and out.

MakeDialog{
  PlotpointWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
