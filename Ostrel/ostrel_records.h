// Records that cross between the service provider and the JSON bridge.
#ifndef OSTREL_OSTREL_RECORDS_H
#define OSTREL_OSTREL_RECORDS_H

#include "xfsapi.h"

#pragma pack(push, 1)

// One request for the device service. The caller zero-fills and fills it;
// the bridge only reads it during the call.
typedef struct _tagDataOption {
  WORD hService;
  DWORD dwCategory;
  DWORD dwCommand;
  DWORD requestID;
  DWORD hWnd;     // port of the service provider's reply listener
  DWORD devHwnd;  // port of the device service
  DWORD nCmdType;
  DWORD dwTimeout;
  LONG lType;
  LPSTR lpszLogicalName;
  LPSTR lpAppId;
  LPVOID lpDataBuffer;
} DATAOPTION, *LPDATAOPTION;

// One decoded reply or event. Allocated by Ostrel::FormatResData, released
// only by Ostrel::FreeBuffer.
typedef struct _connect_msg {
  DWORD dwMsgType;
  WORD hService;
  LPWFSRESULT lpWfsResult;
} CONNECTMSG, *LPCONNECTMSG;

#pragma pack(pop)

XFS_CHECK_SIZE(DATAOPTION, 46, 3);
XFS_CHECK_OFFSET(DATAOPTION, lpszLogicalName, 34, 0);
XFS_CHECK_SIZE(CONNECTMSG, 10, 1);

// Request kinds (nCmdType).
enum {
  KvSP_CMD_CANCEL = 1,
  KvSP_CMD_CLOSE = 2,
  KvSP_CMD_DEREGISTER = 3,
  KvSP_CMD_EXECUTE = 4,
  KvSP_CMD_GETINFO = 5,
  KvSP_CMD_LOCK = 6,
  KvSP_CMD_OPEN = 7,
  KvSP_CMD_REGISTER = 8,
  KvSP_CMD_UNLOAD_SERVICE = 10,
  KvSP_CMD_UNLOCK = 11,
  KvSP_CMD_TIMEOUT = 16
};

// Message numbers of decoded replies (dwMsgType); events use the XFS
// event message numbers WFS_EXECUTE_EVENT .. WFS_SYSTEM_EVENT.
enum {
  KvSP_OPEN_COMPLETE = 5,
  KvSP_GETINFO_COMPLETE = 6,
  KvSP_EXECUTE_COMPLETE = 7,
  KvSP_CLOSE_COMPLETE = 8,
  KvSP_LOCK_COMPLETE = 11,
  KvSP_UNLOCK_COMPLETE = 13
};

#endif
