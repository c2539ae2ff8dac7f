-- Mara's diary for the chapters' scenes: a scene's first visit writes its page,
-- a heading and a text; the flag keeps a second visit from writing it again.
function WriteDiaryPage(flag, title, text)
  if GetGlobalBool(flag) then
    return
  end
  SetGlobalBool(flag, true)
  AddDiaryText(title, 30, "fonts/default_bold.mvec", 0, 0)
  AddDiaryText(text, 24, "fonts/default.mvec", 0, 12)
  AddDiarySiteEnd()
end

-- A chapter begins on a new spread: a left page already begun is closed, and the right one
-- stays empty.
function StartDiaryChapter(flag)
  if GetGlobalBool(flag) then
    return
  end
  -- The scenes' scripts have no math library: the site's parity by counting down.
  local site = GetDiaryInsertSite()
  while site >= 2 do
    site = site - 2
  end
  if site == 1 then
    AddDiarySiteEnd()
  end
  AddDiaryNewChapter()
end
