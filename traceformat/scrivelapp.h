// CScrivelApp, the trace formatter's application object: the common
// renderer itself, owning one renderer per device class.
#ifndef TRACEFORMAT_SCRIVELAPP_H
#define TRACEFORMAT_SCRIVELAPP_H

#include "WFSCRDSPParam.h"
#include "WFSEPPSPParam.h"
#include "WFSIDCSPParam.h"
#include "WFSPTRSPParam.h"
#include "XFSCommonSPParam.h"

class CScrivelApp : public CXFSCommonSPParam {
 public:
  CScrivelApp();

  // The renderer of a service class; the common renderer (this object)
  // for a class without one.
  CXFSSPParam* GetSPModule(int iClass);

 private:
  CWFSIDCSPParam m_idc;
  CWFSEPPSPParam m_epp;
  CWFSPTRSPParam m_ptr;
  CWFSCRDSPParam m_crd;
};

// The one application object, built when the library is loaded.
extern CScrivelApp theApp;

#endif
