-- The session saved with changed controls reopened once more and exported: the export must
-- play what the ports show.
dofile (os.getenv ("TONNIK_LUA_DIR") .. "/common.lua")

T.run (function ()
	local _, ins = T.reopen ()
	T.check_values (ins, T.CHANGES)
	T.export ("after-change")
end)
