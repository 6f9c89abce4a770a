/* The service provider interface that an XFS manager calls. */
#ifndef XFS_XFSSPI_H
#define XFS_XFSSPI_H

#include "xfsapi.h"

#ifdef __cplusplus
extern "C" {
#endif

HRESULT WFPCancelAsyncRequest(HSERVICE hService, REQUESTID RequestID);
HRESULT WFPClose(HSERVICE hService, HWND hWnd, REQUESTID ReqID);
HRESULT WFPDeregister(HSERVICE hService, DWORD dwEventClass, HWND hWndReg, HWND hWnd,
                      REQUESTID ReqID);
HRESULT WFPExecute(HSERVICE hService, DWORD dwCommand, LPVOID lpCmdData, DWORD dwTimeOut,
                   HWND hWnd, REQUESTID ReqID);
HRESULT WFPGetInfo(HSERVICE hService, DWORD dwCategory, LPVOID lpQueryDetails, DWORD dwTimeOut,
                   HWND hWnd, REQUESTID ReqID);
HRESULT WFPLock(HSERVICE hService, DWORD dwTimeOut, HWND hWnd, REQUESTID ReqID);
HRESULT WFPOpen(HSERVICE hService, LPSTR lpszLogicalName, HAPP hApp, LPSTR lpszAppID,
                DWORD dwTraceLevel, DWORD dwTimeOut, HWND hWnd, REQUESTID ReqID,
                HPROVIDER hProvider, DWORD dwSPIVersionsRequired, LPWFSVERSION lpSPIVersion,
                DWORD dwSrvcVersionsRequired, LPWFSVERSION lpSrvcVersion);
HRESULT WFPRegister(HSERVICE hService, DWORD dwEventClass, HWND hWndReg, HWND hWnd,
                    REQUESTID ReqID);
HRESULT WFPSetTraceLevel(HSERVICE hService, DWORD dwTraceLevel);
HRESULT WFPUnloadService(void);
HRESULT WFPUnlock(HSERVICE hService, HWND hWnd, REQUESTID ReqID);

/* Function-pointer types for an XFS manager that binds the exports by name. */
typedef HRESULT (*PFN_WFPCANCELASYNCREQUEST)(HSERVICE, REQUESTID);
typedef HRESULT (*PFN_WFPCLOSE)(HSERVICE, HWND, REQUESTID);
typedef HRESULT (*PFN_WFPDEREGISTER)(HSERVICE, DWORD, HWND, HWND, REQUESTID);
typedef HRESULT (*PFN_WFPEXECUTE)(HSERVICE, DWORD, LPVOID, DWORD, HWND, REQUESTID);
typedef HRESULT (*PFN_WFPGETINFO)(HSERVICE, DWORD, LPVOID, DWORD, HWND, REQUESTID);
typedef HRESULT (*PFN_WFPLOCK)(HSERVICE, DWORD, HWND, REQUESTID);
typedef HRESULT (*PFN_WFPOPEN)(HSERVICE, LPSTR, HAPP, LPSTR, DWORD, DWORD, HWND, REQUESTID,
                               HPROVIDER, DWORD, LPWFSVERSION, DWORD, LPWFSVERSION);
typedef HRESULT (*PFN_WFPREGISTER)(HSERVICE, DWORD, HWND, HWND, REQUESTID);
typedef HRESULT (*PFN_WFPSETTRACELEVEL)(HSERVICE, DWORD);
typedef HRESULT (*PFN_WFPUNLOADSERVICE)(void);
typedef HRESULT (*PFN_WFPUNLOCK)(HSERVICE, HWND, REQUESTID);

#ifdef __cplusplus
}
#endif

#endif
