-- A session for the editor test: a MIDI track with the instrument as a VST 3 plug-in at its
-- defaults, on the JACK server the test started (the backend Ardour's GUI will then use
-- without asking), saved.
dofile (os.getenv ("TONNIK_LUA_DIR") .. "/common.lua")
dofile (os.getenv ("TONNIK_VST3_LUA_DIR") .. "/vst3_common.lua")

T.run (function ()
	local be = AudioEngine:set_backend ("JACK", "tonnik", "")
	T.check (be and not be:isnil (), "no JACK backend")
	T.check (create_session (T.SESSION_DIR, T.SESSION_NAME, T.RATE), "cannot create the session")
	T.new_vst3_track ()
	T.save ()
end)
