-- Shared by the VST 3 session scripts, after the LV2 tests' common.lua: the MIDI track whose
-- instrument is the plug-in as a VST 3 class (T.URI holds its class ID).

function T.new_vst3_track () return T.new_track (ARDOUR.PluginType.VST3) end
