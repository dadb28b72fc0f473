-- The session saved with changed controls reopened once more and exported: the export must
-- play what the ports show.
dofile (os.getenv ("TONNIK_LUA_DIR") .. "/common.lua")

T.use_dummy_engine ()
T.check (load_session (T.SESSION_DIR, T.SESSION_NAME), "cannot load the session")

local track = Session:route_by_name (T.TRACK)
T.check (not track:isnil (), "track " .. T.TRACK .. " is gone")
local ins = T.find_insert (track)
T.check_values (ins, T.CHANGES)
T.export ("after-change")
close_session ()
