// The objects made when the library is loaded. They live in this one unit
// so that they are built in the order below and destroyed in reverse.
#include "dllmain.h"

#include "WFPApp.h"

namespace {
CWFPApp s_theApp;
}

CWFPApp* g_pTheApp = &s_theApp;
std::list<_stServiceItem> g_listServiceItems;
CThreadLock g_csServiceLock;
std::list<_stRegHwndItem> g_listRegHwndItems;
CThreadLock g_csRegHwndLock;
std::atomic<int> g_devCount{0};
