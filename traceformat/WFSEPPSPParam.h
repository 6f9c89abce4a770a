// CWFSEPPSPParam, the PIN pad's renderer (service class 4): its structures
// by the type names of the name file.
#ifndef TRACEFORMAT_WFSEPPSPPARAM_H
#define TRACEFORMAT_WFSEPPSPPARAM_H

#include "XFSSPParam.h"
#include "xfspin.h"

class CWFSEPPSPParam : public CXFSSPParam {
 public:
  CWFSEPPSPParam();

  using CXFSSPParam::GetParamString;
  const scrivel::TypeTable& OwnTypes() const override;

  QString GetParamString(const WFSPINCAPS* p, const QString& name, int indent);
  QString GetParamString(const WFSPINSTATUS* p, const QString& name, int indent);
  // A NULL-terminated array.
  QString GetParamString(const WFSPINKEYDETAIL* const* pp, const QString& name, int indent);
  QString GetParamString(const WFSPINFDK* p, const QString& name, int indent);
  QString GetParamString(const WFSPINFDK* const* pp, int count, const QString& name, int indent);
  QString GetParamString(const WFSPINFUNCKEYDETAIL* p, const QString& name, int indent);
  QString GetParamString(const WFSPINKEYDETAILEX* p, const QString& name, int indent);
  // hide non-zero: the data shows as the bytes of "***".
  QString GetParamString(const WFSXDATA* p, const QString& name, int indent, int hide);
  QString GetParamString(const WFSPINCRYPT* p, const QString& name, int indent);
  QString GetParamString(const WFSPINIMPORT* p, const QString& name, int indent);
  QString GetParamString(const WFSPINDERIVE* p, const QString& name, int indent);
  QString GetParamString(const WFSPINGETPIN* p, const QString& name, int indent);
  QString GetParamString(const WFSPINENTRY* p, const QString& name, int indent);
  QString GetParamString(const WFSPINLOCALDES* p, const QString& name, int indent);
  QString GetParamString(const WFSPINCREATEOFFSET* p, const QString& name, int indent);
  QString GetParamString(const WFSPINLOCALEUROCHEQUE* p, const QString& name, int indent);
  QString GetParamString(const WFSPINLOCALVISA* p, const QString& name, int indent);
  QString GetParamString(const WFSPINPRESENTIDC* p, const QString& name, int indent);
  QString GetParamString(const WFSPINPRESENTRESULT* p, const QString& name, int indent);
  QString GetParamString(const WFSPINPRESENTCLEAR* p, const QString& name, int indent);
  QString GetParamString(const WFSPINBLOCK* p, const QString& name, int indent);
  QString GetParamString(const WFSPINBLOCKEX* p, const QString& name, int indent);
  QString GetParamString(const WFSPINGETPINEX* p, const QString& name, int indent);
  QString GetParamString(const WFSPINGETPINEXOUT* p, const QString& name, int indent);
  QString GetParamString(const WFSPINGETDATA* p, const QString& name, int indent);
  QString GetParamString(const WFSPINKEY* const* pp, int count, const QString& name, int indent);
  QString GetParamString(const WFSPINKEY* p, const QString& name, int indent);
  QString GetParamString(const WFSPINDATA* p, const QString& name, int indent);
  QString GetParamString(const WFSPININIT* p, const QString& name, int indent);
  QString GetParamString(const WFSPINLOCALBANKSYS* p, const QString& name, int indent);
  QString GetParamString(const WFSPINBANKSYSIO* p, const QString& name, int indent);
  QString GetParamString(const WFSPINSECMSG* p, const QString& name, int indent);
  QString GetParamString(const WFSPINIMPORTKEYEX* p, const QString& name, int indent);
  // lpvData by its length: one of the SM2 key import blocks, else bytes.
  QString GetParamString(const WFSPINENCIO* p, const QString& name, int indent);
  QString GetParamString(const WFSPINACCESS* p, const QString& name, int indent);
  QString GetParamString(const WFSPINSTARTKEYEXCHANGE* p, const QString& name, int indent);
  QString GetParamString(const WFSPINIMPORTRSAPUBLICKEY* p, const QString& name, int indent);
  QString GetParamString(const WFSPINIMPORTRSAPUBLICKEYOUTPUT* p, const QString& name,
                         int indent);
  QString GetParamString(const WFSPINEXPORTRSAISSUERSIGNEDITEM* p, const QString& name,
                         int indent);
  QString GetParamString(const WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT* p, const QString& name,
                         int indent);
  QString GetParamString(const WFSPINIMPORTRSASIGNEDDESKEY* p, const QString& name, int indent);
  QString GetParamString(const WFSPINIMPORTRSASIGNEDDESKEYOUTPUT* p, const QString& name,
                         int indent);

 protected:
  // A PIN offset.
  bool HidesTextResults() const override { return true; }
};

#endif
