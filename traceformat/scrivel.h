// Scrivel, the trace formatter: renders service-provider calls and results
// as readable text. Each function returns a new text (empty when there is
// nothing to log) and keeps nothing of the caller's.
#ifndef TRACEFORMAT_SCRIVEL_H
#define TRACEFORMAT_SCRIVEL_H

#include <QString>

QString WFPExecuteFormat(unsigned short hService, unsigned int dwCommand, void* lpCmdData,
                         unsigned int dwTimeOut, long hWnd, unsigned long ReqID);
QString WFPGetInfoFormat(unsigned short hService, unsigned int dwCategory, void* lpQueryDetails,
                         unsigned int dwTimeOut, long hWnd, unsigned long ReqID);
QString WFSResultFormat(void* lpResult, int uMsg);
QString GetCmdNameByCmdID(const char* szCmdID);
void InitConfigFileName(const char* szFileName);

// While non-zero, card and PIN data render as "***".
extern int g_bHidenLog;

#endif
