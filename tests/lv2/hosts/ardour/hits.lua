ardour {
	["type"]    = "dsp",
	name        = "Tonnik Test Hits",
	category    = "Utility",
	license     = "MIT",
	author      = "Tonnik",
	description = [[Plays note-ons at fixed session frames while the transport rolls (an export included) and passes every incoming MIDI event through, for the real-host test of the instrument.]]
}

-- Session frames of the note-ons; the test's checker reads the same line. They fall at
-- different places within the engine's blocks (the third on a block's last frame at 512 and
-- 1024 frames a block) and far enough apart for a short hit to die away.
HITS = { 4837, 28300, 52223, 76543 }
NOTE = 36
VELOCITY = 100

function dsp_ioconfig ()
	return { { midi_in = 1, midi_out = 1, audio_in = 0, audio_out = 0 }, }
end

function dsp_run (_, _, n_samples)
	local events = {}
	for _, ev in ipairs (midiin) do
		events[#events + 1] = { time = ev.time, data = ev.data }
	end
	if Session:transport_rolling () then
		local first = Session:transport_sample ()
		for _, frame in ipairs (HITS) do
			if frame >= first and frame < first + n_samples then
				-- Event times here count from 1.
				events[#events + 1] = { time = frame - first + 1, data = { 0x90, NOTE, VELOCITY } }
			end
		end
	end
	table.sort (events, function (a, b) return a.time < b.time end)
	for i, ev in ipairs (events) do midiout[i] = ev end
end
