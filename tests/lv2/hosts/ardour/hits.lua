ardour {
	["type"]    = "dsp",
	name        = "Tonnik Test Hits",
	category    = "Utility",
	license     = "MIT",
	author      = "Tonnik",
	description = [[Plays note-ons at fixed session frames while the transport rolls (an export included) and passes every incoming MIDI event through, for the real-host test of the instrument.]]
}

-- Session frames of the note-ons, two patterns chosen by the "Pattern" control; the test's
-- checker reads the same lines. Hits are far enough apart for a short hit to die away.
-- Pattern 0: on block starts (multiples of 4096 start a block at every block size Ardour uses).
HITS_ON_BLOCK_STARTS = { 4096, 28672, 53248, 77824 }
-- Pattern 1: inside blocks, the third on a block's last frame at 512 and 1024 frames a block.
HITS_INSIDE_BLOCKS = { 4837, 28300, 52223, 76543 }
PATTERNS = { [0] = HITS_ON_BLOCK_STARTS, [1] = HITS_INSIDE_BLOCKS }
NOTE = 36
VELOCITY = 100

function dsp_ioconfig ()
	return { { midi_in = 1, midi_out = 1, audio_in = 0, audio_out = 0 }, }
end

function dsp_params ()
	return { { ["type"] = "input", name = "Pattern", min = 0, max = 1, default = 0, integer = true } }
end

function dsp_run (_, _, n_samples)
	local events = {}
	for _, ev in ipairs (midiin) do
		events[#events + 1] = { time = ev.time, data = ev.data }
	end
	if Session:transport_rolling () then
		local first = Session:transport_sample ()
		local hits = PATTERNS[math.floor (CtrlPorts:array ()[1] + 0.5)] or HITS_ON_BLOCK_STARTS
		for _, frame in ipairs (hits) do
			if frame >= first and frame < first + n_samples then
				-- Event times here count from 1.
				events[#events + 1] = { time = frame - first + 1, data = { 0x90, NOTE, VELOCITY } }
			end
		end
	end
	table.sort (events, function (a, b) return a.time < b.time end)
	for i, ev in ipairs (events) do midiout[i] = ev end
end
