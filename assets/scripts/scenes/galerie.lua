-- The gallery: how the pictures are swapped and checked.
ShowBriefingWindow("GALERIE_BRIEF", 300, 4000, false)
