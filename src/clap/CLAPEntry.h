#pragma once
// The three functions of the module's clap_entry, for the product's
// exported record (the product defines clap_entry itself, so that linking
// the entry always brings the product in). init counts its calls, as hosts
// may call it more than once; the product's own init runs on the first.

#include "clap/ClapCore.h"

class IPluginCLAP;

bool CLAPEntryInit(const char* modulePath);
void CLAPEntryDeinit();
// The plug-in factory for CLAP_PLUGIN_FACTORY_ID, null for anything else.
const void* CLAPEntryGetFactory(const char* factoryID);
// The plug-in behind a record this module made, for code linked into the
// same program as the adapter (tests, tools); null for any other record.
IPluginCLAP* CLAPPluginOf(const clap_plugin_t* plugin);
