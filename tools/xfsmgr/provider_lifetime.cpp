#include "provider_lifetime.h"

#include "process_threads.h"

namespace xfsmgr {

namespace {
constexpr int kThreadPatienceMs = 5000;
}

bool LoadProvider(SpiLibrary& spi, const std::string& path, Console& console, std::string* error) {
  std::string library = path.empty() ? DefaultLibraryPath() : path;
  if (!spi.Load(library, error)) return false;
  console.Print("loaded the service provider " + library);
  return true;
}

void UnloadProvider(SpiLibrary& spi, int threadsBefore, Console& console) {
  if (!spi.Loaded()) return;
  if (!WaitForThreadCount(threadsBefore, kThreadPatienceMs)) {
    console.Print("warning: " + std::to_string(CountThreads() - threadsBefore) +
                  " thread(s) of the service provider still run after " +
                  std::to_string(kThreadPatienceMs) + " ms; the library stays loaded");
    spi.KeepLoaded();
    return;
  }
  spi.Unload();
  console.Print("unloaded the service provider");
}

}  // namespace xfsmgr
