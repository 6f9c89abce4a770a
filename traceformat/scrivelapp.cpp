// The renderers arrive with the trace formatter's own work; until then every
// export returns empty text, which callers treat as nothing to log.
#include "scrivel.h"

#include "XmlConfig.h"

int g_bHidenLog = 1;

QString WFPExecuteFormat(unsigned short, unsigned int, void*, unsigned int, long, unsigned long) {
  return QString();
}

QString WFPGetInfoFormat(unsigned short, unsigned int, void*, unsigned int, long, unsigned long) {
  return QString();
}

QString WFSResultFormat(void*, int) { return QString(); }

QString GetCmdNameByCmdID(const char*) { return QString(); }

void InitConfigFileName(const char* szFileName) { XmlConfig::InitConfigFileName(szFileName); }
