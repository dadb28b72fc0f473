#pragma once
// Identification of the host application from a name string (for the Audio
// Unit adapter, the host's bundle identifier). Pure functions; any thread.

enum EHost {
  kHostUninit = -1,
  kHostUnknown = 0,
  kHostReaper = 1,
  kHostProTools = 2,
  kHostCubase = 3,
  kHostNuendo = 4,
  kHostSonar = 5,
  kHostVegas = 6,
  kHostFL = 7,
  kHostSamplitude = 8,
  kHostAbletonLive = 9,
  kHostTracktion = 10,
  kHostNTracks = 11,
  kHostMelodyneStudio = 12,
  kHostVSTScanner = 13,
  kHostAULab = 14,
  kHostForte = 15,
  kHostChainer = 16,
  kHostAudition = 17,
  kHostOrion = 18,
  kHostBias = 19,
  kHostSAWStudio = 20,
  kHostLogic = 21,
  kHostGarageBand = 22,
  kHostDigitalPerformer = 23,
  kHostStandalone = 24,
  kHostAudioMulch = 25,
  kHostStudioOne = 26,
  kHostVST3TestHost = 27,
  kHostArdour = 28
};

// Case-insensitive substring search over a fixed list of keys; the first key
// found decides. No match (or a null name) gives kHostUnknown.
EHost LookUpHost(const char* name);

// Copies the host's display name ("Unknown" for hosts without one) into
// out, which must hold 20 characters.
void GetHostNameStr(EHost host, char* out);
