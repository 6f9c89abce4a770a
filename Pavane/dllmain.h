// Objects made when the library is loaded and destroyed when it is unloaded,
// in this order of construction: the application object, the service table,
// its lock, the registration table, its lock.
#ifndef PAVANE_DLLMAIN_H
#define PAVANE_DLLMAIN_H

#include <atomic>
#include <list>

#include "ThreadLock.h"
#include "WFPRecords.h"

class CWFPApp;

extern CWFPApp* g_pTheApp;

// Service table; touched only under g_csServiceLock.
extern std::list<_stServiceItem> g_listServiceItems;
extern CThreadLock g_csServiceLock;

// Registration table; touched only under g_csRegHwndLock.
extern std::list<_stRegHwndItem> g_listRegHwndItems;
extern CThreadLock g_csRegHwndLock;

// Opened devices: raised by each open, lowered when a device stops.
extern std::atomic<int> g_devCount;

#endif
