-- The saved session reopened: the values set from Lua are back on the plug-in's ports and the
-- export plays what they show, the learned controller still moves its parameter, and controls
-- changed just before a save reach the saved state.
dofile (os.getenv ("TONNIK_LUA_DIR") .. "/common.lua")

T.run (function ()
	local _, ins = T.reopen ()

	T.check_values (ins, T.SETTINGS)
	print (string.format ("%s port = %g (the host's last set value)", T.LEARN_PARAM, T.get (ins, T.LEARN_PARAM)))
	T.check (T.get (ins, "midi_learn") == 0, "MIDI Learn came back on")

	T.export ("after-reopen")

	-- The learned controller, sent again after reopening, must still move its parameter; the
	-- saved state then shows the new value.
	T.send_midi (ins, { 0xB0, T.LEARN_CC, 0 })
	T.settle ()
	for _, s in ipairs (T.CHANGES) do T.set (ins, s[1], s[2]) end
	T.save ()
end)
