-- A new session with the instrument as a VST 3 plug-in: a MIDI track holding it behind the hit
-- generator, parameters set from Lua, a note played live, a controller learned, an export;
-- then Decay automated between the second and the third hit, a second export, the automation
-- switched off again and the session saved.
dofile (os.getenv ("TONNIK_LUA_DIR") .. "/common.lua")
dofile (os.getenv ("TONNIK_VST3_LUA_DIR") .. "/vst3_common.lua")

-- Where Decay's automation jumps, and to what: between the second and the third hit.
local DECAY_JUMP_FRAME = 40000
local DECAY_AUTOMATED = 0.9
-- Evoral::ControlList::InterpolationStyle Discrete (its Lua binding takes the number).
local DISCRETE = 0

T.run (function ()
	T.use_dummy_engine ()
	T.check (create_session (T.SESSION_DIR, T.SESSION_NAME, T.RATE), "cannot create the session")

	local track, ins = T.new_vst3_track ()
	T.check (ins:is_instrument (), "Ardour does not see an instrument")
	T.check (ins:plugin (0):parameter_count () == 19, "Ardour shows hidden parameters")

	local hits = ARDOUR.LuaAPI.new_luaproc (Session, "Tonnik Test Hits")
	T.check (not hits:isnil (), "the hit generator script is not installed")
	T.check (track:add_processor_by_index (hits, 0, nil, true) == 0, "cannot insert the hit generator")

	for _, s in ipairs (T.SETTINGS) do T.set (ins, s[1], s[2]) end
	T.settle ()

	local quiet = T.peak (track)
	T.send_midi (ins, { 0x90, 36, 127 })
	local loud = T.wait_for (function () local p = T.peak (track); return p > 0.01 and p end, 2.0)
	print (string.format ("live note: track peak %.4f before, %.4f after", quiet, loud or 0))
	T.check (loud, "a live note-on made no sound within 2 s")
	T.settle (2 * T.RATE)

	T.set (ins, "midi_learn", 1)
	T.settle ()
	T.set (ins, T.LEARN_PARAM, T.LEARN_TOUCH_VALUE)
	T.settle ()
	T.send_midi (ins, { 0xB0, T.LEARN_CC, T.LEARN_CC_VALUE })
	T.settle ()
	T.set (ins, "midi_learn", 0)
	T.settle ()
	T.check (math.abs (T.get (ins, T.LEARN_PARAM) - T.LEARN_CC_VALUE / 127) < 1e-6,
	         "the learned controller's move did not reach Ardour")

	T.export ("before-save")

	local decay = T.get (ins, "decay")
	local _, list = ARDOUR.LuaAPI.plugin_automation (ins, T.P.decay)
	T.check (list and not list:isnil (), "no automation list for Decay")
	-- A step, not a ramp: the list leaves out a point on the straight line between its neighbours.
	list:set_interpolation (DISCRETE)
	list:add (Temporal.timepos_t (0), decay, false, false)
	list:add (Temporal.timepos_t (DECAY_JUMP_FRAME), DECAY_AUTOMATED, false, false)
	local control = ins:to_automatable ():automation_control (
		Evoral.Parameter (ARDOUR.AutomationType.PluginAutomation, 0, T.P.decay), false)
	control:set_automation_state (ARDOUR.AutoState.Play)
	T.export ("automated")
	control:set_automation_state (ARDOUR.AutoState.Off)
	T.set (ins, "decay", decay)
	T.settle ()

	T.save ()
end)
