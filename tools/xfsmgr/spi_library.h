// The service provider as an XFS manager sees it: a shared library loaded
// with dlopen whose eleven SPI exports are bound by their standard names.
#ifndef XFSMGR_SPI_LIBRARY_H
#define XFSMGR_SPI_LIBRARY_H

#include <string>

#include "xfsspi.h"

namespace xfsmgr {

class SpiLibrary {
 public:
  SpiLibrary() = default;
  SpiLibrary(const SpiLibrary&) = delete;
  SpiLibrary& operator=(const SpiLibrary&) = delete;
  ~SpiLibrary();  // unloads

  // Loads the library and binds every export; false with *error set when the
  // file cannot be loaded or an export is missing (nothing stays loaded).
  bool Load(const std::string& path, std::string* error);
  bool Loaded() const { return m_handle != nullptr; }
  // Forgets the exports and unloads the library.
  void Unload();
  // Forgets the exports and leaves the library mapped until the process
  // ends (for a library whose threads still run).
  void KeepLoaded();

  PFN_WFPOPEN Open = nullptr;
  PFN_WFPCLOSE Close = nullptr;
  PFN_WFPLOCK Lock = nullptr;
  PFN_WFPUNLOCK Unlock = nullptr;
  PFN_WFPREGISTER Register = nullptr;
  PFN_WFPDEREGISTER Deregister = nullptr;
  PFN_WFPGETINFO GetInfo = nullptr;
  PFN_WFPEXECUTE Execute = nullptr;
  PFN_WFPCANCELASYNCREQUEST CancelAsyncRequest = nullptr;
  PFN_WFPSETTRACELEVEL SetTraceLevel = nullptr;
  PFN_WFPUNLOADSERVICE UnloadService = nullptr;

 private:
  void* m_handle = nullptr;
};

// The directory of the running executable.
std::string ProgramDirectory();

// libPavane.so of the build tree this program belongs to: ../lib/ beside
// the directory of the running executable.
std::string DefaultLibraryPath();

}  // namespace xfsmgr

#endif
