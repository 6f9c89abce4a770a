// Records shared by the service provider's entry points, tables and devices.
#ifndef PAVANE_WFPRECORDS_H
#define PAVANE_WFPRECORDS_H

#include "ostrel_records.h"  // request kinds KvSP_CMD_*, message numbers KvSP_*_COMPLETE
#include "xfsapi.h"

class CDevice;

#pragma pack(push, 1)

// One SPI request. The entry point zero-fills it on its stack; whatever must
// outlive the call keeps its own heap copy of the whole record.
typedef struct _stRequestData {
  HSERVICE hService;
  HAPP hApp;          // open only
  LPSTR lpszAppID;    // open only; may be NULL
  REQUESTID ReqID;    // cancel: the request to cancel
  HWND hWnd;          // window that receives the completion
  HWND hWndReg;       // register and deregister only
  LONG nCmdType;      // request kind, KvSP_CMD_*
  HRESULT hResult;    // result of a completion posted without a device result
  DWORD dwTimeOut;    // milliseconds, as the application passed it
  DWORD dwCategory;   // get-info only
  DWORD dwCommand;    // execute only
  LONG lType;         // service class; set only in a device's copy
  LPVOID lpData;      // lpCmdData (execute) or lpQueryDetails (get-info)
} REQUESTDATA, *LPREQUESTDATA;

// One entry of the service table; the table does not own the device.
typedef struct _stServiceItem {
  HSERVICE hService;
  CDevice* pDevice;
} SERVICEITEM, *LPSERVICEITEM;

// One entry of the registration table: one per (service, window); the mask
// of SERVICE_EVENTS, USER_EVENTS, SYSTEM_EVENTS and EXECUTE_EVENTS bits is
// never 0.
typedef struct _stRegHwndItem {
  HSERVICE hService;
  HWND hWndReg;
  DWORD dwEventClass;
} REGHWNDITEM, *LPREGHWNDITEM;

// One pending request of a device and the port of the worker that waits
// for its completion.
typedef struct _stCommandData {
  HWND hWnd;
  HSERVICE hService;
  REQUESTID reqID;
  LONG threadWnd;
} COMMANDDATA, *LPCOMMANDDATA;

#pragma pack(pop)

XFS_CHECK_SIZE(REQUESTDATA, 50, 3);
XFS_CHECK_OFFSET(REQUESTDATA, ReqID, 10, 2);
XFS_CHECK_OFFSET(REQUESTDATA, lpData, 46, 2);
XFS_CHECK_SIZE(SERVICEITEM, 6, 1);
XFS_CHECK_SIZE(REGHWNDITEM, 10, 0);
XFS_CHECK_SIZE(COMMANDDATA, 14, 0);

// Every event class bit together; a larger mask is refused.
#define WFP_ALL_EVENT_CLASSES (SERVICE_EVENTS | USER_EVENTS | SYSTEM_EVENTS | EXECUTE_EVENTS)

#endif
