-- A session for the editor tests: a MIDI track with the instrument at its defaults, as the
-- plug-in type TONNIK_PLUGIN_TYPE names ("LV2" or "VST3"), on the JACK server the test started
-- (the backend Ardour's GUI will then use without asking), saved.
dofile (os.getenv ("TONNIK_LUA_DIR") .. "/common.lua")

T.run (function ()
	local plugin_type = ARDOUR.PluginType[os.getenv ("TONNIK_PLUGIN_TYPE")]
	T.check (plugin_type, "TONNIK_PLUGIN_TYPE names no plug-in type Ardour has")
	local be = AudioEngine:set_backend ("JACK", "tonnik", "")
	T.check (be and not be:isnil (), "no JACK backend")
	T.check (create_session (T.SESSION_DIR, T.SESSION_NAME, T.RATE), "cannot create the session")
	T.new_track (plugin_type)
	T.save ()
end)
