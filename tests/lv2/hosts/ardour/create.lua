-- A new session: a MIDI track holding the instrument behind the hit generator, parameters set
-- from Lua, a note played live, a controller learned, an export, and the session saved.
dofile (os.getenv ("TONNIK_LUA_DIR") .. "/common.lua")

T.run (function ()
	T.use_dummy_engine ()
	T.check (create_session (T.SESSION_DIR, T.SESSION_NAME, T.RATE), "cannot create the session")

	local info = ARDOUR.LuaAPI.new_plugin_info (T.URI, ARDOUR.PluginType.LV2)
	T.check (not info:isnil (), "Ardour does not know " .. T.URI)
	-- Strict I/O off: with it, Ardour 7.3 run headless now and then registers the new track's
	-- outputs twice ("Port already exists") and aborts.
	local tracks = Session:new_midi_track (ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1),
		ARDOUR.ChanCount (ARDOUR.DataType ("audio"), 2), false, info, nil, nil, 1, T.TRACK,
		ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
	T.check (tracks:size () == 1, "no MIDI track")
	local track = tracks:front ()
	local ins = T.find_insert (track)
	T.check (ins:is_instrument (), "Ardour does not see an instrument")

	local hits = ARDOUR.LuaAPI.new_luaproc (Session, "Tonnik Test Hits")
	T.check (not hits:isnil (), "the hit generator script is not installed")
	T.check (track:add_processor_by_index (hits, 0, nil, true) == 0, "cannot insert the hit generator")

	for _, s in ipairs (T.SETTINGS) do T.set (ins, s[1], s[2]) end
	T.settle ()

	-- A note played live (transport stopped) must make the track sound.
	local quiet = T.peak (track)
	T.send_midi (ins, { 0x90, 36, 127 })
	local loud = T.wait_for (function () local p = T.peak (track); return p > 0.01 and p end, 2.0)
	print (string.format ("live note: track peak %.4f before, %.4f after", quiet, loud or 0))
	T.check (loud, "a live note-on made no sound within 2 s")
	-- Let it ring out (two seconds of audio) before anything is exported.
	T.settle (2 * T.RATE)

	-- MIDI learn as a musician does it: switch it on, touch a control, move a hardware controller.
	T.set (ins, "midi_learn", 1)
	T.settle ()
	T.set (ins, T.LEARN_PARAM, T.LEARN_TOUCH_VALUE)
	T.settle ()
	T.send_midi (ins, { 0xB0, T.LEARN_CC, T.LEARN_CC_VALUE })
	T.settle ()
	T.set (ins, "midi_learn", 0)
	T.settle ()

	T.export ("before-save")
	T.save ()
end)
