#include "WFPCommonFunc.h"

#include <dirent.h>
#include <strings.h>
#include <sys/stat.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "Device.h"
#include "LockGuard.h"
#include "dllmain.h"
#include "kestrel.h"

namespace {

const char kModule[] = "WFPX";
const std::size_t kMaxTracedNameLength = 512;

bool TraceableName(const char* function) {
  return function != nullptr && strnlen(function, kMaxTracedNameLength) < kMaxTracedNameLength;
}

// A pointer printed through an integer field of the established log texts.
int PointerAsInt(const void* pointer) {
  return static_cast<int>(reinterpret_cast<std::uintptr_t>(pointer));
}

}  // namespace

int CWFPCommonFunc::AppendService(unsigned short hService, const char* lpszLogicalName,
                                  CDevice* pDevice, _stServiceItem& item) {
  try {
    CLockGuard guard(g_csServiceLock);
    if (lpszLogicalName != nullptr && pDevice != nullptr &&
        strcasecmp(lpszLogicalName, pDevice->GetLogicalName()) == 0) {
      const _stServiceItem entry{hService, pDevice};
      g_listServiceItems.push_back(entry);
      pDevice->AddUse();
      item = entry;
      return 1;
    }
    tracelog(4, kModule, "AppendService failed! strLogicalName=[%s][%s]",
             TraceText(lpszLogicalName), pDevice ? pDevice->GetLogicalName() : "(null)");
  } catch (...) {
    tracelog(
        4, kModule,
        "CWFPCommonFunc::AppendService(hServie=%d, pchLogicalName=%s pDevice=%d) catch an err!",
        hService, TraceText(lpszLogicalName), PointerAsInt(pDevice));
  }
  item = _stServiceItem{};
  return 0;
}

int CWFPCommonFunc::FindService(unsigned short hService, _stServiceItem& item) {
  return FindEntry(hService, item, false);
}

int CWFPCommonFunc::FindService(unsigned short hService, _stServiceItem& item, CDeviceUse& use) {
  use.Reset();
  const int found = FindEntry(hService, item, true);
  if (found) use.Adopt(item.pDevice);
  return found;
}

int CWFPCommonFunc::FindEntry(unsigned short hService, _stServiceItem& item, bool addUse) {
  try {
    CLockGuard guard(g_csServiceLock);
    for (const _stServiceItem& entry : g_listServiceItems) {
      if (entry.hService == hService) {
        // Taken under the lock: the entry, and its hold, are still there.
        if (addUse) entry.pDevice->AddUse();
        item = entry;
        return 1;
      }
    }
  } catch (...) {
    tracelog(4, kModule, "CWFPCommonFunc::FindService hServie=%d,  catch an err=%d", hService,
             errno);
  }
  item = _stServiceItem{};
  return 0;
}

int CWFPCommonFunc::DeleteService(unsigned short hService, _stServiceItem& item) {
  int result = 0;
  item = _stServiceItem{};
  try {
    CLockGuard guard(g_csServiceLock);
    for (auto it = g_listServiceItems.begin(); it != g_listServiceItems.end(); ++it) {
      if (it->hService == hService) {
        item = *it;
        g_listServiceItems.erase(it);
        result = 1;
        break;
      }
    }
  } catch (...) {
    tracelog(4, kModule, "CWFPCommonFunc::DeleteService hServie=%d,  catch an err=%d", hService,
             errno);
  }
  // The registrations go whether or not the service was found.
  try {
    CLockGuard guard(g_csRegHwndLock);
    g_listRegHwndItems.remove_if(
        [hService](const _stRegHwndItem& entry) { return entry.hService == hService; });
  } catch (...) {
    tracelog(4, kModule, "CWFPCommonFunc::DeleteService hServie=%d,  Reghwnd catch an err=%d",
             hService, errno);
  }
  return result;
}

int CWFPCommonFunc::UpdateService(const _stServiceItem& item) {
  try {
    CLockGuard guard(g_csServiceLock);
    for (_stServiceItem& entry : g_listServiceItems) {
      if (entry.hService == item.hService) {
        if (item.pDevice != nullptr) item.pDevice->AddUse();
        entry.pDevice = item.pDevice;
        return 1;
      }
    }
  } catch (...) {
    tracelog(4, kModule, "CWFPCommonFunc::UpdateService catch an err=%d", errno);
  }
  return 0;
}

int CWFPCommonFunc::SetServiceRegEvent(unsigned short hService, unsigned int dwDeleteEvent,
                                       unsigned int dwAppendEvent, long hWndReg) {
  try {
    CLockGuard guard(g_csRegHwndLock);
    const HWND window = static_cast<HWND>(hWndReg);
    for (auto it = g_listRegHwndItems.begin(); it != g_listRegHwndItems.end(); ++it) {
      if (it->hService == hService && it->hWndReg == window) {
        it->dwEventClass = (it->dwEventClass & ~dwDeleteEvent) | dwAppendEvent;
        if (it->dwEventClass == 0) g_listRegHwndItems.erase(it);
        return 1;
      }
    }
    if (dwAppendEvent != 0) {
      g_listRegHwndItems.push_back(_stRegHwndItem{hService, window, dwAppendEvent});
      return 1;
    }
  } catch (...) {
    tracelog(4, kModule,
             "CWFPCommonFunc::SetServiceRegEvent hServie=%d, dwDeleteEvent=%d  dwAppendEvent=%d",
             hService, dwDeleteEvent, dwAppendEvent);
  }
  return 0;
}

int CWFPCommonFunc::FindServiceRegEvent(unsigned short hService, unsigned int dwEventClass,
                                        _stRegHwndItem& item) {
  try {
    CLockGuard guard(g_csRegHwndLock);
    for (const _stRegHwndItem& entry : g_listRegHwndItems) {
      if (entry.hService == hService && (entry.dwEventClass & dwEventClass) == dwEventClass) {
        item = entry;
        return 1;
      }
    }
  } catch (...) {
    tracelog(4, kModule,
             "CWFPCommonFunc::FindServiceRegEvent hServie=%d, dwEventClass=%d, catch an err=%d",
             hService, dwEventClass, errno);
  }
  return 0;
}

namespace {

void FunctionTrace(const char* function, const char* className, bool entry) {
  if (!TraceableName(function)) return;
  if (className != nullptr)
    (entry ? traceEnter : traceLeave)(kModule, className, function, 2);
  else
    tracelog(2, kModule, entry ? "[%s] =====>" : "[%s] <=====", function);
}

}  // namespace

void CWFPCommonFunc::FunctionTraceBegin(const char* function, const char* className) {
  FunctionTrace(function, className, true);
}

void CWFPCommonFunc::FunctionTraceEnd(const char* function, const char* className) {
  FunctionTrace(function, className, false);
}

int CWFPCommonFunc::GetPIDbyName_Wrapper(const char* name) {
  return GetPIDbyName_implements(name, 0, 0);
}

namespace {

bool IsDirectoryEntry(const char* parent, const dirent* entry) {
  if (entry->d_type == DT_DIR) return true;
  if (entry->d_type != DT_UNKNOWN) return false;
  struct stat info;
  const std::string path = std::string(parent) + entry->d_name;
  return stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
}

// The program of a process: its first command-line argument (up to white
// space or NUL, at most 255 bytes) after its last "/". False when the
// command line cannot be read.
bool ReadProgramName(const std::string& pid, std::string& program) {
  const std::string path = "/proc/" + pid + "/cmdline";
  FILE* file = std::fopen(path.c_str(), "rt");
  if (file == nullptr) return false;
  char buffer[256] = {0};
  const std::size_t length = std::fread(buffer, 1, sizeof(buffer) - 1, file);
  std::fclose(file);
  std::size_t end = 0;
  while (end < length && buffer[end] != '\0' &&
         !std::isspace(static_cast<unsigned char>(buffer[end])))
    ++end;
  const std::string argument(buffer, end);
  const std::size_t slash = argument.rfind('/');
  program = slash == std::string::npos ? argument : argument.substr(slash + 1);
  return true;
}

}  // namespace

int CWFPCommonFunc::GetPIDbyName_implements(const char* name, int caseSensitive, int exact) {
  if (name == nullptr) name = "";
  static const char kProc[] = "/proc/";
  DIR* dir = opendir(kProc);
  if (dir == nullptr) {
    std::perror("Couldn't open the /proc/ directory");
    return -2;
  }
  int pid = -1;
  while (const dirent* entry = readdir(dir)) {
    if (!IsDirectoryEntry(kProc, entry) || !IsNumeric(entry->d_name)) continue;
    std::string program;
    if (!ReadProgramName(entry->d_name, program)) continue;
    const bool matches = exact ? strcmp_Wrapper(program.c_str(), name, caseSensitive) == 1
                               : strstr_Wrapper(program.c_str(), name, caseSensitive) != nullptr;
    if (matches) {
      pid = std::atoi(entry->d_name);
      break;
    }
  }
  closedir(dir);
  return pid;
}

int CWFPCommonFunc::strcmp_Wrapper(const char* a, const char* b, int caseSensitive) {
  if (a == nullptr || b == nullptr) return 0;
  return (caseSensitive ? std::strcmp(a, b) : strcasecmp(a, b)) == 0 ? 1 : 0;
}

const char* CWFPCommonFunc::strstr_Wrapper(const char* text, const char* pattern,
                                           int caseSensitive) {
  if (text == nullptr || pattern == nullptr) return nullptr;
  if (caseSensitive) return std::strstr(text, pattern);
  const std::size_t length = std::strlen(pattern);
  for (const char* start = text;; ++start) {
    if (strncasecmp(start, pattern, length) == 0) return start;
    if (*start == '\0') return nullptr;
  }
}

int CWFPCommonFunc::IsNumeric(const char* text) {
  if (text == nullptr) return 0;
  for (; *text != '\0'; ++text)
    if (!std::isdigit(static_cast<unsigned char>(*text))) return 0;
  return 1;
}
