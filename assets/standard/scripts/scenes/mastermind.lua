-- A mastermind scene: the mastermind window shows the palette of pegs, the rows of slots with
-- their answer pegs, the check and reset buttons, and the mini-games' skip and menu buttons.

MakeDialog{
  MastermindWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
