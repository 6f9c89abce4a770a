#include "scrivelapp.h"

#include <cstdlib>

#include "XmlConfig.h"
#include "scrivel.h"

int g_bHidenLog = 1;

CScrivelApp theApp;

namespace {

// The class of a result: that of its command or event, for the messages
// that carry one; 0 otherwise.
int ResultClass(const WFSRESULT& result, int uMsg) {
  const bool coded = uMsg == WFS_GETINFO_COMPLETE || uMsg == WFS_EXECUTE_COMPLETE ||
                     (uMsg >= WFS_EXECUTE_EVENT && uMsg <= WFS_SYSTEM_EVENT);
  return coded ? static_cast<int>(result.u.dwCommandCode / 100) : 0;
}

constexpr unsigned int kFirstClassCode = 100;

// Any fault while rendering gives the empty text.
template <typename Render>
QString Guarded(Render render) {
  try {
    return render();
  } catch (...) {
    return QString();
  }
}

}  // namespace

CScrivelApp::CScrivelApp() = default;

CXFSSPParam* CScrivelApp::GetSPModule(int iClass) {
  switch (iClass) {
    case WFS_SERVICE_CLASS_PTR:
      return &m_ptr;
    case WFS_SERVICE_CLASS_IDC:
      return &m_idc;
    case WFS_SERVICE_CLASS_PIN:
      return &m_epp;
    case WFS_SERVICE_CLASS_CRD:
      return &m_crd;
    default:
      return this;
  }
}

QString WFPExecuteFormat(unsigned short hService, unsigned int dwCommand, void* lpCmdData,
                         unsigned int dwTimeOut, long hWnd, unsigned long ReqID) {
  if (dwCommand < kFirstClassCode) return QString();
  return Guarded([&] {
    return theApp.GetSPModule(static_cast<int>(dwCommand / 100))
        ->GetParamString_EXECUTE(hService, dwCommand, lpCmdData, dwTimeOut, hWnd, ReqID,
                                 QStringLiteral("WFPExecute"), 0);
  });
}

QString WFPGetInfoFormat(unsigned short hService, unsigned int dwCategory, void* lpQueryDetails,
                         unsigned int dwTimeOut, long hWnd, unsigned long ReqID) {
  if (dwCategory < kFirstClassCode) return QString();
  return Guarded([&] {
    return theApp.GetSPModule(static_cast<int>(dwCategory / 100))
        ->GetParamString_GETINFO(hService, dwCategory, lpQueryDetails, dwTimeOut, hWnd, ReqID,
                                 QStringLiteral("WFPGetInfo"), 0);
  });
}

QString WFSResultFormat(void* lpResult, int uMsg) {
  if (lpResult == nullptr) return QString();
  return Guarded([&] {
    const WFSRESULT* result = static_cast<const WFSRESULT*>(lpResult);
    return theApp.GetSPModule(ResultClass(*result, uMsg))
        ->GetParamString_LPWFSRESULT(result, uMsg, QStringLiteral("WFSRESULT"), 0);
  });
}

QString GetCmdNameByCmdID(const char* szCmdID) {
  if (szCmdID == nullptr) return QString();
  return Guarded([&] {
    const int code = std::atoi(szCmdID);
    if (code < static_cast<int>(kFirstClassCode)) return QString::fromLocal8Bit(szCmdID);
    return XmlConfig::GetNameByValue(code / 100, XmlConfig::MAP_EXECMD, szCmdID);
  });
}

void InitConfigFileName(const char* szFileName) {
  Guarded([&] {
    XmlConfig::InitConfigFileName(szFileName);
    return QString();
  });
}
