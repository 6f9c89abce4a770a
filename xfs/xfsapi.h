/* CEN/XFS base types, result record, system-event structures and SPI
 * constants, as this service provider uses them.
 *
 * Every integer type has a fixed width on every platform; pointers are
 * pointer-wide; WCHAR is the platform's wide character. Records use 1-byte
 * packing. */
#ifndef XFS_XFSAPI_H
#define XFS_XFSAPI_H

#include <stddef.h>
#include <stdint.h>

#include "xfslayout.h"

typedef uint8_t BYTE;
typedef char CHAR;
typedef wchar_t WCHAR;
typedef uint16_t WORD;
typedef uint16_t USHORT;
typedef int16_t SHORT;
typedef uint32_t DWORD;
typedef uint32_t ULONG;
typedef int32_t LONG;
typedef uint32_t UINT;
typedef int32_t BOOL;
typedef int32_t HRESULT;
typedef uint32_t HWND;
typedef uint64_t WPARAM;
typedef int64_t LPARAM;

typedef void* LPVOID;
typedef char* LPSTR;
typedef const char* LPCSTR;
typedef WCHAR* LPWSTR;
typedef BYTE* LPBYTE;
typedef WORD* LPWORD;
typedef USHORT* LPUSHORT;
typedef DWORD* LPDWORD;
typedef ULONG* LPULONG;
typedef LONG* LPLONG;
typedef BOOL* LPBOOL;

typedef void* HANDLE;
typedef HANDLE HAPP;
typedef HANDLE HPROVIDER;
typedef USHORT HSERVICE;
typedef HSERVICE* LPHSERVICE;
typedef ULONG REQUESTID;
typedef REQUESTID* LPREQUESTID;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif

#pragma pack(push, 1)

typedef struct _SYSTEMTIME {
  WORD wYear;
  WORD wMonth;
  WORD wDayOfWeek;
  WORD wDay;
  WORD wHour;
  WORD wMinute;
  WORD wSecond;
  WORD wMilliseconds;
} SYSTEMTIME, *LPSYSTEMTIME;

#define WFSDDESCRIPTION_LEN 256
#define WFSDSYSSTATUS_LEN 256

typedef struct _wfsversion {
  WORD wVersion;
  WORD wLowVersion;
  WORD wHighVersion;
  CHAR szDescription[WFSDDESCRIPTION_LEN + 1];
  CHAR szSystemStatus[WFSDSYSSTATUS_LEN + 1];
} WFSVERSION, *LPWFSVERSION;

typedef struct _wfs_result {
  REQUESTID RequestID;
  HSERVICE hService;
  SYSTEMTIME tsTimestamp;
  HRESULT hResult;
  union {
    DWORD dwCommandCode;
    DWORD dwEventID;
  } u;
  LPVOID lpBuffer;
} WFSRESULT, *LPWFSRESULT;

/* System-event payloads (WFS_SYSTEM_EVENT). */
typedef struct _wfs_undevmsg {
  LPSTR lpszLogicalName;
  LPSTR lpszWorkstationName;
  LPSTR lpszAppID;
  DWORD dwSize;
  LPBYTE lpbDescription;
  DWORD dwMsg;
  LPWFSRESULT lpWFSResult;
} WFSUNDEVMSG, *LPWFSUNDEVMSG;

typedef struct _wfs_hwerror {
  LPSTR lpszLogicalName;
  LPSTR lpszPhysicalName;
  LPSTR lpszWorkstationName;
  LPSTR lpszAppID;
  DWORD dwAction;
  DWORD dwSize;
  LPBYTE lpbDescription;
} WFSHWERROR, *LPWFSHWERROR;

typedef struct _wfs_vrsnerror {
  LPSTR lpszLogicalName;
  LPSTR lpszWorkstationName;
  LPSTR lpszAppID;
  DWORD dwSize;
  LPBYTE lpbDescription;
  LPWFSVERSION lpWFSVersion;
} WFSVRSNERROR, *LPWFSVRSNERROR;

typedef struct _wfs_devstatus {
  LPSTR lpszPhysicalName;
  LPSTR lpszWorkstationName;
  DWORD dwState;
} WFSDEVSTATUS, *LPWFSDEVSTATUS;

typedef struct _wfs_appdisc {
  LPSTR lpszLogicalName;
  LPSTR lpszWorkstationName;
  LPSTR lpszAppID;
} WFSAPPDISC, *LPWFSAPPDISC;

#pragma pack(pop)

XFS_CHECK_SIZE(SYSTEMTIME, 16, 0);
XFS_CHECK_SIZE(WFSVERSION, 520, 0);
XFS_CHECK_OFFSET(WFSVERSION, szDescription, 6, 0);
XFS_CHECK_OFFSET(WFSVERSION, szSystemStatus, 263, 0);
XFS_CHECK_SIZE(WFSRESULT, 34, 1);
XFS_CHECK_OFFSET(WFSRESULT, hService, 4, 0);
XFS_CHECK_OFFSET(WFSRESULT, tsTimestamp, 6, 0);
XFS_CHECK_OFFSET(WFSRESULT, hResult, 22, 0);
XFS_CHECK_OFFSET(WFSRESULT, u, 26, 0);
XFS_CHECK_OFFSET(WFSRESULT, lpBuffer, 30, 0);
XFS_CHECK_SIZE(WFSUNDEVMSG, 28, 5);
XFS_CHECK_OFFSET(WFSUNDEVMSG, dwSize, 12, 3);
XFS_CHECK_OFFSET(WFSUNDEVMSG, lpbDescription, 16, 3);
XFS_CHECK_OFFSET(WFSUNDEVMSG, dwMsg, 20, 4);
XFS_CHECK_OFFSET(WFSUNDEVMSG, lpWFSResult, 24, 4);
XFS_CHECK_SIZE(WFSHWERROR, 28, 5);
XFS_CHECK_OFFSET(WFSHWERROR, dwAction, 16, 4);
XFS_CHECK_OFFSET(WFSHWERROR, dwSize, 20, 4);
XFS_CHECK_OFFSET(WFSHWERROR, lpbDescription, 24, 4);
XFS_CHECK_SIZE(WFSVRSNERROR, 24, 5);
XFS_CHECK_OFFSET(WFSVRSNERROR, dwSize, 12, 3);
XFS_CHECK_OFFSET(WFSVRSNERROR, lpbDescription, 16, 3);
XFS_CHECK_OFFSET(WFSVRSNERROR, lpWFSVersion, 20, 4);
XFS_CHECK_SIZE(WFSDEVSTATUS, 12, 2);
XFS_CHECK_OFFSET(WFSDEVSTATUS, dwState, 8, 2);
XFS_CHECK_SIZE(WFSAPPDISC, 12, 3);

/* Service classes. */
#define WFS_SERVICE_CLASS_PTR 1
#define WFS_SERVICE_CLASS_IDC 2
#define WFS_SERVICE_CLASS_CDM 3
#define WFS_SERVICE_CLASS_PIN 4
#define WFS_SERVICE_CLASS_CRD 14

/* Memory allocation flags. */
#define WFS_MEM_SHARE 0x00000001
#define WFS_MEM_ZEROINIT 0x00000002

/* Window messages. */
#define WM_USER 0x0400
#define WFS_OPEN_COMPLETE (WM_USER + 1)
#define WFS_CLOSE_COMPLETE (WM_USER + 2)
#define WFS_LOCK_COMPLETE (WM_USER + 3)
#define WFS_UNLOCK_COMPLETE (WM_USER + 4)
#define WFS_REGISTER_COMPLETE (WM_USER + 5)
#define WFS_DEREGISTER_COMPLETE (WM_USER + 6)
#define WFS_GETINFO_COMPLETE (WM_USER + 7)
#define WFS_EXECUTE_COMPLETE (WM_USER + 8)
#define WFS_EXECUTE_EVENT (WM_USER + 20)
#define WFS_SERVICE_EVENT (WM_USER + 21)
#define WFS_USER_EVENT (WM_USER + 22)
#define WFS_SYSTEM_EVENT (WM_USER + 23)
#define WFS_TIMER_EVENT (WM_USER + 100)

/* Event classes. */
#define SERVICE_EVENTS 1
#define USER_EVENTS 2
#define SYSTEM_EVENTS 4
#define EXECUTE_EVENTS 8

/* System events. */
#define WFS_SYSE_UNDELIVERABLE_MSG 1
#define WFS_SYSE_HARDWARE_ERROR 2
#define WFS_SYSE_VERSION_ERROR 3
#define WFS_SYSE_DEVICE_STATUS 4
#define WFS_SYSE_APP_DISCONNECT 5
#define WFS_SYSE_SOFTWARE_ERROR 6
#define WFS_SYSE_USER_ERROR 7
#define WFS_SYSE_LOCK_REQUESTED 8

/* Time-out value meaning "wait without limit". */
#define WFS_INDEFINITE_WAIT 0

/* Result codes. */
#define WFS_SUCCESS 0
#define WFS_ERR_ALREADY_STARTED (-1)
#define WFS_ERR_API_VER_TOO_HIGH (-2)
#define WFS_ERR_API_VER_TOO_LOW (-3)
#define WFS_ERR_CANCELED (-4)
#define WFS_ERR_CFG_INVALID_HKEY (-5)
#define WFS_ERR_CFG_INVALID_NAME (-6)
#define WFS_ERR_CFG_INVALID_SUBKEY (-7)
#define WFS_ERR_CFG_INVALID_VALUE (-8)
#define WFS_ERR_CFG_KEY_NOT_EMPTY (-9)
#define WFS_ERR_CFG_NAME_TOO_LONG (-10)
#define WFS_ERR_CFG_NO_MORE_ITEMS (-11)
#define WFS_ERR_CFG_VALUE_TOO_LONG (-12)
#define WFS_ERR_DEV_NOT_READY (-13)
#define WFS_ERR_HARDWARE_ERROR (-14)
#define WFS_ERR_INTERNAL_ERROR (-15)
#define WFS_ERR_INVALID_ADDRESS (-16)
#define WFS_ERR_INVALID_APP_HANDLE (-17)
#define WFS_ERR_INVALID_BUFFER (-18)
#define WFS_ERR_INVALID_CATEGORY (-19)
#define WFS_ERR_INVALID_COMMAND (-20)
#define WFS_ERR_INVALID_EVENT_CLASS (-21)
#define WFS_ERR_INVALID_HSERVICE (-22)
#define WFS_ERR_INVALID_HPROVIDER (-23)
#define WFS_ERR_INVALID_HWND (-24)
#define WFS_ERR_INVALID_HWNDREG (-25)
#define WFS_ERR_INVALID_POINTER (-26)
#define WFS_ERR_INVALID_REQ_ID (-27)
#define WFS_ERR_INVALID_RESULT (-28)
#define WFS_ERR_INVALID_SERVPROV (-29)
#define WFS_ERR_INVALID_TIMER (-30)
#define WFS_ERR_INVALID_TRACELEVEL (-31)
#define WFS_ERR_LOCKED (-32)
#define WFS_ERR_NO_BLOCKING_CALL (-33)
#define WFS_ERR_NO_SERVPROV (-34)
#define WFS_ERR_NO_SUCH_THREAD (-35)
#define WFS_ERR_NO_TIMER (-36)
#define WFS_ERR_NOT_LOCKED (-37)
#define WFS_ERR_NOT_OK_TO_UNLOAD (-38)
#define WFS_ERR_NOT_STARTED (-39)
#define WFS_ERR_NOT_REGISTERED (-40)
#define WFS_ERR_OP_IN_PROGRESS (-41)
#define WFS_ERR_OUT_OF_MEMORY (-42)
#define WFS_ERR_SERVICE_NOT_FOUND (-43)
#define WFS_ERR_SPI_VER_TOO_HIGH (-44)
#define WFS_ERR_SPI_VER_TOO_LOW (-45)
#define WFS_ERR_SRVC_VER_TOO_HIGH (-46)
#define WFS_ERR_SRVC_VER_TOO_LOW (-47)
#define WFS_ERR_TIMEOUT (-48)
#define WFS_ERR_UNSUPP_CATEGORY (-49)
#define WFS_ERR_UNSUPP_COMMAND (-50)
#define WFS_ERR_VERSION_ERROR_IN_SRVC (-51)
#define WFS_ERR_INVALID_DATA (-52)
#define WFS_ERR_SOFTWARE_ERROR (-53)
#define WFS_ERR_CONNECTION_LOST (-54)
#define WFS_ERR_USER_ERROR (-55)
#define WFS_ERR_UNSUPP_DATA (-56)

#endif
