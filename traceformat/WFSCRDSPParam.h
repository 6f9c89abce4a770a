// CWFSCRDSPParam, the card dispenser's renderer (service class 14): its
// structures by the type names of the name file.
#ifndef TRACEFORMAT_WFSCRDSPPARAM_H
#define TRACEFORMAT_WFSCRDSPPARAM_H

#include "XFSSPParam.h"
#include "xfscrd.h"

class CWFSCRDSPParam : public CXFSSPParam {
 public:
  CWFSCRDSPParam();

  using CXFSSPParam::GetParamString;
  const scrivel::TypeTable& OwnTypes() const override;

  QString GetParamString(const WFSCRDSTATUS* p, const QString& name, int indent);
  QString GetParamString(const WFSCRDCAPS* p, const QString& name, int indent);
  QString GetParamString(const WFSCRDCUINFO* p, const QString& name, int indent);
  QString GetParamString(const WFSCRDDISPENSE* p, const QString& name, int indent);
  QString GetParamString(const WFSCRDRETAINCARD* p, const QString& name, int indent);
  QString GetParamString(const WFSCRDRESET* p, const QString& name, int indent);
  QString GetParamString(const WFSCRDSETGUIDLIGHT* p, const QString& name, int indent);
  QString GetParamString(const WFSCRDPOWERSAVECONTROL* p, const QString& name, int indent);
  QString GetParamString(const WFSCRDMEDIADETECTED* p, const QString& name, int indent);
  QString GetParamString(const WFSCRDCARDUNIT* p, const QString& name, int indent);
  QString GetParamString(const WFSCRDCUERROR* p, const QString& name, int indent);
  QString GetParamString(const WFSCRDDEVICEPOSITION* p, const QString& name, int indent);
  QString GetParamString(const WFSCRDPOWERSAVECHANGE* p, const QString& name, int indent);
};

#endif
