// The service and registration tables, the function trace and the process
// lookup used throughout the service provider.
#ifndef PAVANE_WFPCOMMONFUNC_H
#define PAVANE_WFPCOMMONFUNC_H

#include "WFPRecords.h"

class CDeviceUse;

class CWFPCommonFunc {
 public:
  // Service table; each takes g_csServiceLock for its whole run and never
  // throws. A found entry is returned as a copy. An entry holds its device
  // (CDevice::AddUse).
  //
  // Adds {hService, pDevice} when lpszLogicalName equals the device's own
  // logical name ignoring case; 1, or 0 with `item` cleared.
  static int AppendService(unsigned short hService, const char* lpszLogicalName,
                           CDevice* pDevice, _stServiceItem& item);
  // The first entry with the handle; 1, or 0 with `item` cleared.
  static int FindService(unsigned short hService, _stServiceItem& item);
  // The same, and `use` holds the found device until it is reset: what an
  // entry point calls before it uses the device.
  static int FindService(unsigned short hService, _stServiceItem& item, CDeviceUse& use);
  // Removes the first entry with the handle, then (under g_csRegHwndLock
  // only) every registration of the handle; 1 when a service entry went.
  // The entry's hold on its device passes to the caller.
  static int DeleteService(unsigned short hService, _stServiceItem& item);
  // Replaces the device of the first entry with the item's handle; 1 if
  // found. The entry holds the new device; its hold on the replaced one
  // passes to the caller.
  static int UpdateService(const _stServiceItem& item);

  // Registration table; each takes g_csRegHwndLock for its whole run.
  //
  // The entry of (hService, hWndReg) loses the dwDeleteEvent bits and gains
  // the dwAppendEvent bits, and goes when its mask becomes 0; without an
  // entry a non-zero dwAppendEvent makes one. 1 when an entry was changed or
  // made, 0 otherwise.
  static int SetServiceRegEvent(unsigned short hService, unsigned int dwDeleteEvent,
                                unsigned int dwAppendEvent, long hWndReg);
  // The first entry of the handle whose mask holds every bit of
  // dwEventClass; 1, or 0.
  static int FindServiceRegEvent(unsigned short hService, unsigned int dwEventClass,
                                 _stRegHwndItem& item);

  // Function entry and exit lines: through Kestrel's traceEnter/traceLeave
  // when a class is named, else "[%s] =====>" / "[%s] <=====" at level 2.
  // Nothing for a NULL name or one of 512 characters or more.
  static void FunctionTraceBegin(const char* function, const char* className = nullptr);
  static void FunctionTraceEnd(const char* function, const char* className = nullptr);

  // Process lookup in /proc: the pid of the first process whose first
  // command-line argument, after its last "/", matches `name`; -1 when none
  // does, -2 when /proc cannot be read.
  static int GetPIDbyName_Wrapper(const char* name);  // substring, any case
  static int GetPIDbyName_implements(const char* name, int caseSensitive, int exact);
  static int strcmp_Wrapper(const char* a, const char* b, int caseSensitive);  // 1 when equal
  static const char* strstr_Wrapper(const char* text, const char* pattern, int caseSensitive);
  static int IsNumeric(const char* text);  // 1 when every character is a digit (or none)

 private:
  static int FindEntry(unsigned short hService, _stServiceItem& item, bool addUse);
};

// Writes the entry line now and the exit line when the scope ends; the exit
// name may be changed on the way (an operation that leaves under another name).
class CFunctionTraceScope {
 public:
  CFunctionTraceScope(const char* function, const char* className = nullptr)
      : m_function(function), m_exitFunction(function), m_className(className) {
    CWFPCommonFunc::FunctionTraceBegin(m_function, m_className);
  }
  ~CFunctionTraceScope() { CWFPCommonFunc::FunctionTraceEnd(m_exitFunction, m_className); }
  CFunctionTraceScope(const CFunctionTraceScope&) = delete;
  CFunctionTraceScope& operator=(const CFunctionTraceScope&) = delete;

  void SetExitName(const char* function) { m_exitFunction = function; }

 private:
  const char* m_function;
  const char* m_exitFunction;
  const char* m_className;
};

// A text for a "%s" trace field: "(null)" stands for a NULL pointer.
inline const char* TraceText(const char* text) { return text ? text : "(null)"; }

#endif
