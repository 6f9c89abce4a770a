#include "spi_library.h"

#include <dlfcn.h>
#include <unistd.h>

#include <climits>

namespace xfsmgr {

namespace {

// Binds one export into `slot`; false with *error naming the missing symbol.
template <typename Function>
bool bind(void* handle, const char* name, Function* slot, std::string* error) {
  dlerror();
  void* symbol = dlsym(handle, name);
  if (symbol == nullptr) {
    const char* why = dlerror();
    *error = std::string("the library has no export ") + name + (why != nullptr ? ": " : "") +
             (why != nullptr ? why : "");
    return false;
  }
  *slot = reinterpret_cast<Function>(symbol);
  return true;
}

}  // namespace

SpiLibrary::~SpiLibrary() { Unload(); }

bool SpiLibrary::Load(const std::string& path, std::string* error) {
  Unload();
  m_handle = dlopen(path.c_str(), RTLD_NOW | RTLD_LOCAL);
  if (m_handle == nullptr) {
    const char* why = dlerror();
    *error = "cannot load " + path + ": " + (why != nullptr ? why : "unknown error");
    return false;
  }
  bool bound = bind(m_handle, "WFPOpen", &Open, error) &&
               bind(m_handle, "WFPClose", &Close, error) &&
               bind(m_handle, "WFPLock", &Lock, error) &&
               bind(m_handle, "WFPUnlock", &Unlock, error) &&
               bind(m_handle, "WFPRegister", &Register, error) &&
               bind(m_handle, "WFPDeregister", &Deregister, error) &&
               bind(m_handle, "WFPGetInfo", &GetInfo, error) &&
               bind(m_handle, "WFPExecute", &Execute, error) &&
               bind(m_handle, "WFPCancelAsyncRequest", &CancelAsyncRequest, error) &&
               bind(m_handle, "WFPSetTraceLevel", &SetTraceLevel, error) &&
               bind(m_handle, "WFPUnloadService", &UnloadService, error);
  if (!bound) {
    *error = path + ": " + *error;
    Unload();
  }
  return bound;
}

void SpiLibrary::KeepLoaded() {
  m_handle = nullptr;
  Unload();
}

void SpiLibrary::Unload() {
  Open = nullptr;
  Close = nullptr;
  Lock = nullptr;
  Unlock = nullptr;
  Register = nullptr;
  Deregister = nullptr;
  GetInfo = nullptr;
  Execute = nullptr;
  CancelAsyncRequest = nullptr;
  SetTraceLevel = nullptr;
  UnloadService = nullptr;
  if (m_handle != nullptr) {
    dlclose(m_handle);
    m_handle = nullptr;
  }
}

std::string ProgramDirectory() {
  char self[PATH_MAX];
  ssize_t length = readlink("/proc/self/exe", self, sizeof self - 1);
  if (length <= 0) return ".";
  std::string exe(self, static_cast<size_t>(length));
  return exe.substr(0, exe.rfind('/'));
}

std::string DefaultLibraryPath() { return ProgramDirectory() + "/../lib/libPavane.so"; }

}  // namespace xfsmgr
