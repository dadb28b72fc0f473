-- The saved session reopened: the values set from Lua are back, the export sounds exactly as
-- before saving (so the learned controller's value, which only the plug-in's state holds, is
-- back too), and the learned controller still moves its parameter.
dofile (os.getenv ("TONNIK_LUA_DIR") .. "/common.lua")

T.run (function ()
	T.use_dummy_engine ()
	T.check (load_session (T.SESSION_DIR, T.SESSION_NAME), "cannot load the session")

	local track = Session:route_by_name (T.TRACK)
	T.check (not track:isnil (), "track " .. T.TRACK .. " is gone")
	local ins = T.find_insert (track)

	for _, s in ipairs (T.SETTINGS) do
		local got = T.get (ins, s[1])
		print (string.format ("%s = %g (set %g)", s[1], got, s[2]))
		T.check (math.abs (got - s[2]) < 1e-6, s[1] .. " did not come back")
	end
	T.check (math.abs (T.get (ins, T.LEARN_PARAM) - T.LEARN_CC_VALUE / 127) < 1e-6, T.LEARN_PARAM .. " did not come back")

	T.export ("after-reopen")

	T.send_midi (ins, { 0xB0, T.LEARN_CC, 0 })
	T.settle ()
	T.check (T.get (ins, T.LEARN_PARAM) == 0, "the learned controller no longer moves " .. T.LEARN_PARAM)
	T.save ()
end)
