-- A new session with the instrument as a VST 3 plug-in: a MIDI track holding it behind the hit
-- generator, parameters set from Lua, a note played live, a controller learned, an export;
-- then Decay automated between the second and the third hit, a second export, the automation
-- switched off again and the session saved.
dofile (os.getenv ("TONNIK_LUA_DIR") .. "/common.lua")

-- Where Decay's automation jumps, and to what: between the second and the third hit.
local DECAY_JUMP_FRAME = 40000
local DECAY_AUTOMATED = 0.9
-- Evoral::ControlList::InterpolationStyle Discrete (its Lua binding takes the number).
local DISCRETE = 0

T.run (function ()
	local _, ins = T.new_played_session (ARDOUR.PluginType.VST3)
	T.check (ins:plugin (0):parameter_count () == 19, "Ardour shows hidden parameters")
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
