-- "Wirklich beenden?": the screen dims behind a small dialog. Enter says yes, Escape no;
-- DoModal answers the name of the button that closed it.

ReadFile("scripts/widgets.lua")

MakeDialog(SmallDialog{
  DialogTitle("question", "QUIT_QUESTION"),
  SmallButton("yes", 45, 150, "YES", { close = true, default = true }),
  SmallButton("no", 245, 150, "NO", { close = true, cancel = true }),
})
