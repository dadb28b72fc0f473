#pragma once
// The kick's exciter: plays the recorded trigger pulse once per hit (about 6 ms), reading the
// two stored waveforms at the sample rate and blending them by accent strength.
// Owns private copies of both tables (allocated by the constructor, freed by the destructor).
// Only 44100, 48000 and 96000 Hz are defined; at any other rate the pulse is silent and never
// reports its end. Plain value class; called from whichever thread renders the voice.

class Pulse {
public:
  Pulse();
  Pulse(const Pulse& other);
  Pulse& operator=(const Pulse& other);
  ~Pulse();

  void setSamplingRate(double fs) { samplingRate = fs; }
  void setAccent(double a) { accent = a; }
  // Starts the pulse over; accent and tables stay.
  void reset();
  double nextSample();
  // The rate the tables are read at (the rate truncated to an integer) when it is one of the
  // three defined ones, else 0.
  static int definedRate(double fs);
  int getLastSampleFlag() const { return lastSampleFlag; }
  double getLastSampleValue() const { return lastSampleValue; }

  double samplingRate = 0;
  double* tableA;
  double* tableB;
  int index = 0;
  int lastSampleFlag = 0;
  double lastSampleValue = 0;
  double accent = 0;
};
