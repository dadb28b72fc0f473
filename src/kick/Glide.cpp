#include "kick/Glide.h"

#include "kick/SampleCount.h"

void Glide::setSampleRate(float fs) {
  sampleRate = fs;
  length = toSampleCount(sampleRate * glideTime);
}

void Glide::setGlideTime(float seconds) {
  glideTime = seconds;
  length = toSampleCount(sampleRate * glideTime);
}

void Glide::setValue(double v) {
  const bool jumpUp = mode == kUpOnly && target > v;
  const bool jumpDown = mode == kDownOnly && v > target;
  start = jumpUp || jumpDown ? v : current;
  target = v;
  counter = 0;
}
