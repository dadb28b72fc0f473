#pragma once
// Where an installed program finds the editor's images. `make install` puts
// them in <prefix>/share/tonnik/img beside <prefix>/bin, so that the
// programs keep working once the source tree that the build compiled in is
// gone. Main thread, before any editor loads an image.

// Points the resource folder at <program folder>/../share/tonnik/img when
// that folder exists and TONNIK_RESOURCE_DIR does not name another one;
// otherwise leaves the folder the build compiled in.
void UseInstalledResources();
