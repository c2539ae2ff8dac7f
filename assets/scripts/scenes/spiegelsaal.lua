-- The hall of mirrors: what to look for.
ShowBriefingWindow("SPIEGELSAAL_BRIEF", 300, 4000, false)
