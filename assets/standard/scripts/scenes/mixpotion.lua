-- A mix potion game: the mix potion window shows the network of pipes, the funnels and
-- flasks, the flasks to carry and the two buttons.

MakeDialog{
  MixPotion{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
