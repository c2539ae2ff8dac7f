-- Read before the model text of a new or a saved game: what the items of the demo do when
-- they are used.

-- The lantern let down into the dark well: its light shows something glittering below, and
-- the way down to the well's lid opens.
function UseLanternOnWell()
  RemoveInventoryItem("laterne")
  SetVisible("brunnen_licht", true)
  SetActiveHotspot("brunnen", false)
  SetActiveExit("1_200_adv_exit_brunnen", true)
  SetTextForExit("1_200_adv_exit_brunnen", "EXIT_BRUNNEN")
  UsedInventoryItemSuccessfully()
  ShowInfoText("LICHTUNG_BRUNNEN_HELL")
end

-- One of grandpa's things put back on the shelf: it stands where its bare place was.
function PutBack(item, place, placed)
  RemoveInventoryItem(item)
  SetVisible(placed, true)
  SetVisible(place, false)
  SetActive(place, false)
  UsedInventoryItemSuccessfully()
end
