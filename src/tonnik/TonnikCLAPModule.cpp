// The CLAP module is the instrument's CLAP library linked whole; its one
// exported symbol, clap_entry, is in TonnikCLAPEntry.cpp.
