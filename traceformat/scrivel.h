// Scrivel, the trace formatter: renders service-provider calls and results
// as readable text. Each function returns a new text (empty when there is
// nothing to log) and keeps nothing of the caller's; none throws.
#ifndef TRACEFORMAT_SCRIVEL_H
#define TRACEFORMAT_SCRIVEL_H

#include <QString>

// A WFPExecute or WFPGetInfo call; empty for a command or category below 100.
QString WFPExecuteFormat(unsigned short hService, unsigned int dwCommand, void* lpCmdData,
                         unsigned int dwTimeOut, long hWnd, unsigned long ReqID);
QString WFPGetInfoFormat(unsigned short hService, unsigned int dwCategory, void* lpQueryDetails,
                         unsigned int dwTimeOut, long hWnd, unsigned long ReqID);
// A WFSRESULT posted under window message uMsg; empty for NULL.
QString WFSResultFormat(void* lpResult, int uMsg);
// The name of a command given as decimal text; the text itself below 100.
QString GetCmdNameByCmdID(const char* szCmdID);
// The path of the name file; has effect only before the first rendering.
void InitConfigFileName(const char* szFileName);

// While non-zero, card data, PIN data and key values render in their hidden
// form ("***", or the bytes of "***"). Nothing in the system changes it.
extern int g_bHidenLog;

#endif
