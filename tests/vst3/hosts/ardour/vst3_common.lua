-- Shared by the VST 3 session scripts, after the LV2 tests' common.lua: the MIDI track whose
-- instrument is the plug-in as a VST 3 class (T.URI holds its class ID).

-- A new MIDI track named T.TRACK with the plug-in as its instrument; the track and the insert.
function T.new_vst3_track ()
	local info = ARDOUR.LuaAPI.new_plugin_info (T.URI, ARDOUR.PluginType.VST3)
	T.check (not info:isnil (), "Ardour does not know the VST 3 class " .. T.URI)
	-- Strict I/O off, as in the LV2 test: with it Ardour 7.3 headless now and then aborts.
	local tracks = Session:new_midi_track (ARDOUR.ChanCount (ARDOUR.DataType ("midi"), 1),
		ARDOUR.ChanCount (ARDOUR.DataType ("audio"), 2), false, info, nil, nil, 1, T.TRACK,
		ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true, false)
	T.check (tracks:size () == 1, "no MIDI track")
	local track = tracks:front ()
	return track, T.find_insert (track)
end
