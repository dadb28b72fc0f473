-- A session for the editor test: a MIDI track with the instrument as a VST 3 plug-in at its
-- defaults, on the JACK server the test started (the backend Ardour's GUI will then use
-- without asking), saved.
dofile (os.getenv ("TONNIK_LUA_DIR") .. "/common.lua")

local be = AudioEngine:set_backend ("JACK", "tonnik", "")
T.check (be and not be:isnil (), "no JACK backend")
T.check (create_session (T.SESSION_DIR, T.SESSION_NAME, T.RATE), "cannot create the session")
local info = ARDOUR.LuaAPI.new_plugin_info (T.URI, ARDOUR.PluginType.VST3)
T.check (not info:isnil (), "Ardour does not know the VST 3 class " .. T.URI)
local tracks = Session:new_midi_track (ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1),
	ARDOUR.ChanCount (ARDOUR.DataType ("audio"), 2), false, info, nil, nil, 1, T.TRACK,
	ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
T.check (tracks:size () == 1, "no MIDI track")
T.find_insert (tracks:front ())
T.save ()
close_session ()
