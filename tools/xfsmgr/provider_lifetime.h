// Loading the service provider for a run of xfsmgr, and unloading it only
// once the threads it started have ended.
#ifndef XFSMGR_PROVIDER_LIFETIME_H
#define XFSMGR_PROVIDER_LIFETIME_H

#include <string>

#include "console.h"
#include "spi_library.h"

namespace xfsmgr {

// Loads `path` (empty: DefaultLibraryPath()) and prints what was loaded;
// false with *error.
bool LoadProvider(SpiLibrary& spi, const std::string& path, Console& console, std::string* error);

// Unloads the library once no more than `threadsBefore` threads run (the
// count before the service provider started any), waiting up to 5 s. A
// library whose threads still run stays loaded, with a warning: unloading
// it would pull the code from under them.
void UnloadProvider(SpiLibrary& spi, int threadsBefore, Console& console);

}  // namespace xfsmgr

#endif
