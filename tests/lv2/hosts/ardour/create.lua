-- A new session: a MIDI track holding the instrument behind the hit generator, parameters set
-- from Lua, a note played live, a controller learned, an export, and the session saved.
dofile (os.getenv ("TONNIK_LUA_DIR") .. "/common.lua")

T.run (function ()
	T.new_played_session (ARDOUR.PluginType.LV2)
	T.export ("before-save")
	T.save ()
end)
