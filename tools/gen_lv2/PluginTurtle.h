#pragma once
// The Turtle that describes an LV2 plug-in built on IPluginLV2, made from
// the plug-in object itself: identity and class from its base, one control
// port per parameter (index, symbol, name, default, range, integer, toggle,
// enumeration with its display texts, unit), the MIDI input and the audio
// outputs in the adapter's port layout, and one preset per preset slot with
// the values the slot holds. Nothing is written by hand, so the description
// follows the parameter table wherever it changes.
//
// Restores each preset slot while writing the presets (the plug-in's
// parameters end on the last slot's values). Main thread.

#include <string>

class IPluginLV2;
struct IPluginLV2Product;

// Names of the bundle's files, relative to the bundle folder.
struct BundleFiles {
  std::string binary;    // the plug-in's shared object
  std::string turtle;    // the plug-in's description
  std::string presets;   // the presets
  std::string uiBinary;  // the editor's shared object; empty: none
};

// The manifest: the plug-in, its presets and (when given) its editor.
std::string ManifestTurtle(IPluginLV2* plug, const IPluginLV2Product& product, const BundleFiles& files);
// The plug-in's own description.
std::string PluginTurtle(IPluginLV2* plug, const IPluginLV2Product& product, const BundleFiles& files);
// The presets.
std::string PresetsTurtle(IPluginLV2* plug, const IPluginLV2Product& product);
// The URI of preset slot idx.
std::string PresetURI(IPluginLV2* plug, const IPluginLV2Product& product, int idx);
