-- A new session: a MIDI track holding the instrument behind the hit generator, parameters set
-- from Lua, a note played live, a controller learned, an export, and the session saved.
dofile (os.getenv ("TONNIK_LUA_DIR") .. "/common.lua")

T.run (function ()
	T.use_dummy_engine ()
	T.check (create_session (T.SESSION_DIR, T.SESSION_NAME, T.RATE), "cannot create the session")

	local track, ins = T.new_track (ARDOUR.PluginType.LV2)
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
