// CXFSCommonSPParam, the renderer of calls and results of no device class
// (service class 0: system events, open and close completions, unknown
// classes). It adds nothing to the base.
#ifndef TRACEFORMAT_XFSCOMMONSPPARAM_H
#define TRACEFORMAT_XFSCOMMONSPPARAM_H

#include "XFSSPParam.h"

class CXFSCommonSPParam : public CXFSSPParam {
 public:
  CXFSCommonSPParam() : CXFSSPParam(0) {}
};

#endif
