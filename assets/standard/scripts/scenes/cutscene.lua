-- A dialogue cutscene: the cutscene window plays the model's script step by step on its
-- stage, a click at a time, and goes on to the next scene after the last step.

MakeDialog{
  CutsceneWindow{ x = 0, y = 0, w = 1024, h = 768,
    -- The flow finds the screen to fade out by this name.
    function() SetWindowName("scene") end,
  },
}
