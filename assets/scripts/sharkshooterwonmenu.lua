-- The dream dive is lost: dive again at once, or wake up and go on with the story.

ReadFile("scripts/widgets.lua")

local dialog = SmallDialog{
  DialogTitle("title", "SHARK_LOST_TITLE"),
  SmallButton("again", 45, 150, "SHARK_LOST_AGAIN", { close = true, default = true, command = function()
    RestartSharkShooter()
  end }),
  -- The dialog goes first: the next scene takes the place of the screen below it.
  SmallButton("wake", 245, 150, "SHARK_LOST_WAKE", { command = function()
    DoPopModal("sharkmenu")
    SkipSharkShooter()
  end }),
}
dialog.name = "sharkmenu"
MakeDialog(dialog)
