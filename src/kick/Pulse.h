#pragma once
// The kick's exciter: plays the recorded trigger pulse once per hit (about 6 ms), reading the
// two stored 96 kHz waveforms at the sample rate and blending them by accent strength.
// Reads the constant tables of ExciterTables.h in place: a pulse owns no memory, so building,
// copying or resetting one never allocates (a voice can be brought back to its fresh state on
// the audio thread).
// Any rate from kLowestRate to kHighestRate plays the same ~5.95 ms: output sample i reads the
// tables at position p = i × 96 kHz / rate, interpolating linearly between the two entries
// around p, up to the last i whose p is within the tables. At 96 and 48 kHz every position is
// a whole table index. Outside that range the pulse is silent and never reports its end.
// Plain value class; called from whichever thread renders the voice.

class Pulse {
public:
  // The rates the pulse plays: from a narrow-band 8 kHz up to 384 kHz (eight times 48 kHz),
  // the range hosts run at; below, the 6 ms pulse would be a handful of samples.
  static constexpr double kLowestRate = 8000;    // Hz
  static constexpr double kHighestRate = 384000;  // Hz

  // Reads the constant tables; silent until a rate is set.
  Pulse();

  // Takes the rate and chooses how the tables are read at it.
  void setSamplingRate(double fs);
  void setAccent(double a) { accent = a; }
  // Starts the pulse over; accent and tables stay.
  void reset();
  double nextSample();
  // Whether the pulse plays at fs (finite, within [kLowestRate, kHighestRate]).
  static bool playsAt(double fs);
  int getLastSampleFlag() const { return lastSampleFlag; }
  double getLastSampleValue() const { return lastSampleValue; }

  double samplingRate = 0;
  const double* tableA;
  const double* tableB;
  int index = 0;
  int lastSampleFlag = 0;
  double lastSampleValue = 0;
  double accent = 0;

private:
  // A table's value at a position split into its whole index and fraction.
  static double tableAt(const double* table, int whole, double fraction);

  // How the tables are read at samplingRate: the rate truncated to whole hertz, in kHz (the
  // table position of sample i is i × kTableRateKHz / rateKHz), and the last sample played;
  // -1 where the pulse does not play.
  double rateKHz = 0;
  int lastIndex = -1;
};
