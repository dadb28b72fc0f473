-- Shared by the Ardour session scripts: the plug-in under test, its parameters, MIDI sent
-- straight into it, and exports. Everything that can fail raises an error, which makes
-- ardour7-lua exit non-zero.

T = {}

T.URI = os.getenv ("TONNIK_URI")
T.SESSION_DIR = os.getenv ("TONNIK_SESSION_DIR")
T.SESSION_NAME = "tonnik"
T.EXPORT_DIR = os.getenv ("TONNIK_EXPORT_DIR")
T.EXPORT_PRESET = os.getenv ("TONNIK_EXPORT_PRESET")
T.RATE = 48000
-- Two seconds: every hit of hits.lua and its ring-out.
T.EXPORT_FRAMES = 96000
-- Frames the engine must process after a change before the next step: several blocks at any
-- block size, so the change has reached the plug-in. A busy machine slows the engine, so this
-- counts frames rather than seconds, and gives up after SETTLE_TIMEOUT_S.
T.SETTLE_FRAMES = 8192
T.SETTLE_TIMEOUT_S = 20
T.TRACK = "Kick"

-- Parameter indices (the plug-in's port order).
T.P = { tone = 0, tune = 1, fine = 2, decay = 3, accent = 4, midi_tune = 5, long_decay = 6,
        midi_learn = 7, midi_clear = 8, comp = 9, drive = 10, glide = 11, glide_mode = 12,
        dyndecay = 13, dyncomp = 14, dyndrive = 15, dyntone = 16, dynlevel = 17, driveenv = 18 }

-- What the session sets from Lua, as a host's automation would, and expects back after reopening.
T.SETTINGS = { { "tune", 5 }, { "decay", 0.25 }, { "drive", 0.4 }, { "glide_mode", 2 },
               { "dyndecay", -0.5 } }
-- What the reopened session changes and saves at once, before the engine may have run the
-- plug-in (Decay at its minimum, the musician's first report); read back by replay.lua.
T.CHANGES = { { "decay", 0 }, { "tune", -3 } }
-- The learned controller: "Comp" is touched while "MIDI Learn" is on, then this CC arrives.
T.LEARN_PARAM = "comp"
T.LEARN_TOUCH_VALUE = 0.3
T.LEARN_CC = 74
T.LEARN_CC_VALUE = 100

function T.fail (msg) error ("FAIL: " .. msg, 0) end

function T.check (cond, msg) if not cond then T.fail (msg) end end

-- Runs a script's body, then closes the session once the garbage collector has let go of every
-- Ardour object the body held. A track or insert still referenced from Lua when the session
-- closes is released only as the Lua state is torn down, after the engine's objects are gone:
-- Ardour then reads freed memory in the route's destructor and now and then dies of it at exit.
function T.run (body)
	body ()
	collectgarbage ()
	collectgarbage ()
	close_session ()
end

function T.use_dummy_engine ()
	local be = AudioEngine:set_backend ("None (Dummy)", "tonnik", "")
	T.check (be and not be:isnil (), "no \"None (Dummy)\" backend")
end

-- Opens the saved session on the dummy engine; its track and the instrument's insert.
function T.reopen ()
	T.use_dummy_engine ()
	T.check (load_session (T.SESSION_DIR, T.SESSION_NAME), "cannot load the session")
	local track = Session:route_by_name (T.TRACK)
	T.check (not track:isnil (), "track " .. T.TRACK .. " is gone")
	return track, T.find_insert (track)
end

-- A new MIDI track named T.TRACK with the plug-in (T.URI, of Ardour's plugin_type) as its
-- instrument; the track and the insert.
function T.new_track (plugin_type)
	local info = ARDOUR.LuaAPI.new_plugin_info (T.URI, plugin_type)
	T.check (not info:isnil (), "Ardour does not know " .. T.URI)
	-- Strict I/O off: with it, Ardour 7.3 run headless now and then registers the new track's
	-- outputs twice ("Port already exists") and aborts.
	local tracks = Session:new_midi_track (ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1),
		ARDOUR.ChanCount (ARDOUR.DataType ("audio"), 2), false, info, nil, nil, 1, T.TRACK,
		ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
	T.check (tracks:size () == 1, "no MIDI track")
	local track = tracks:front ()
	return track, T.find_insert (track)
end

-- A new session as both formats' create scripts start it: a MIDI track holding the instrument
-- (as plugin_type) behind the hit generator, the settings set from Lua, a note played live that
-- must make the track sound, and a controller learned as a musician does it. Returns the track
-- and the instrument's insert.
function T.new_played_session (plugin_type)
	T.use_dummy_engine ()
	T.check (create_session (T.SESSION_DIR, T.SESSION_NAME, T.RATE), "cannot create the session")

	local track, ins = T.new_track (plugin_type)
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

	-- MIDI learn: switch it on, touch a control, move a hardware controller, switch it off.
	T.set (ins, "midi_learn", 1)
	T.settle ()
	T.set (ins, T.LEARN_PARAM, T.LEARN_TOUCH_VALUE)
	T.settle ()
	T.send_midi (ins, { 0xB0, T.LEARN_CC, T.LEARN_CC_VALUE })
	T.settle ()
	T.set (ins, "midi_learn", 0)
	T.settle ()
	return track, ins
end

-- The track's instrument insert, whichever slot it sits in.
function T.find_insert (track)
	local i = 0
	while true do
		local proc = track:nth_plugin (i)
		if proc:isnil () then break end
		local ins = proc:to_plugininsert ()
		if not ins:isnil () and ins:plugin (0):unique_id () == T.URI then return ins end
		i = i + 1
	end
	T.fail ("no " .. T.URI .. " on track " .. track:name ())
end

function T.set (ins, name, value)
	T.check (ARDOUR.LuaAPI.set_processor_param (ins, T.P[name], value),
	         "cannot set " .. name)
end

function T.get (ins, name)
	local value, ok = ARDOUR.LuaAPI.get_processor_param (ins, T.P[name], true)
	T.check (ok, "cannot read " .. name)
	return value
end

-- Sends one MIDI message straight to the plug-in insert (as a controller surface would).
function T.send_midi (ins, bytes)
	local parser = ARDOUR.RawMidiParser ()
	local sent = false
	for _, b in ipairs (bytes) do
		if parser:process_byte (b) then
			T.check (ins:write_immediate_event (Evoral.EventType.MIDI_EVENT, parser:buffer_size (), parser:midi_buffer ()),
			         "MIDI event not queued")
			sent = true
		end
	end
	T.check (sent, "incomplete MIDI message")
end

-- Polls fn every 50 ms until it returns a true value (which is returned) or timeout_s pass;
-- the engine runs in its own thread, slower when the machine is busy.
function T.wait_for (fn, timeout_s)
	for _ = 1, math.ceil (timeout_s / 0.05) do
		local v = fn ()
		if v then return v end
		sleep (0.05)
	end
	return nil
end

function T.settle (frames)
	local target = AudioEngine:processed_samples () + (frames or T.SETTLE_FRAMES)
	T.check (T.wait_for (function () return AudioEngine:processed_samples () >= target end, T.SETTLE_TIMEOUT_S),
	         "the engine stopped processing")
end

function T.peak (track)
	return track:peak_meter ():meter_level (0, ARDOUR.MeterType.MeterPeak)
end

-- Exports the session's first EXPORT_FRAMES frames to EXPORT_DIR/name.wav.
function T.export (name)
	local ex = Session:simple_export ()
	ex:set_name (name)
	ex:set_folder (T.EXPORT_DIR)
	ex:set_range (0, T.EXPORT_FRAMES)
	T.check (ex:set_preset (T.EXPORT_PRESET), "export preset " .. T.EXPORT_PRESET .. " not found")
	T.check (ex:run_export (), "export " .. name .. " failed")
	print ("exported " .. T.EXPORT_DIR .. "/" .. name .. ".wav")
end

-- Checks that every setting in list came back on the plug-in's ports.
function T.check_values (ins, list)
	for _, s in ipairs (list) do
		local got = T.get (ins, s[1])
		print (string.format ("%s = %g (set %g)", s[1], got, s[2]))
		T.check (math.abs (got - s[2]) < 1e-6, s[1] .. " did not come back")
	end
end

function T.save ()
	-- snapshot name "" = the session's own; no pending, no template, no switch, no backup.
	T.check (Session:save_state ("", false, false, false, false, false) == 0, "session not saved")
	print ("saved " .. T.SESSION_DIR)
end
