// CWFSPTRSPParam, the printer's renderer (service class 1): its structures
// by the type names of the name file, and media-control words with their
// flag names.
#ifndef TRACEFORMAT_WFSPTRSPPARAM_H
#define TRACEFORMAT_WFSPTRSPPARAM_H

#include "XFSSPParam.h"
#include "xfsptr.h"

class CWFSPTRSPParam : public CXFSSPParam {
 public:
  CWFSPTRSPParam();

  using CXFSSPParam::GetParamString;
  using CXFSSPParam::GetParamString_LPDWORD;
  const scrivel::TypeTable& OwnTypes() const override;
  // The pointer, then the value with the names of its media-control flags.
  QString GetParamString_LPDWORD(const unsigned int* value, const QString& name,
                                 int indent) override;

  virtual QString GetParamString(const WFSPTRRETRACTBINS* p, const QString& name, int indent);
  // NULL-terminated arrays without braces.
  virtual QString GetParamString(const WFSPTRRETRACTBINS* const* pp, const QString& name,
                                 int indent);
  virtual QString GetParamString(const WFSPTRSTATUS* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRCAPS* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSFRMHEADER* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSFRMMEDIA* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRQUERYFIELD* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSFRMFIELD* p, const QString& name, int indent);
  // Elements named LPWFSFRMFIELD[i] whatever the array's name.
  virtual QString GetParamString(const WFSFRMFIELD* const* pp, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRPRINTFORM* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRREADFORM* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRREADFORMOUT* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRRAWDATA* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRRAWDATAIN* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRMEDIAUNIT* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRMEDIAEXT* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRIMAGEREQUEST* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRIMAGE* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRIMAGE* const* pp, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRRESET* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRFIELDFAIL* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRBINTHRESHOLD* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRPAPERTHRESHOLD* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSPTRMEDIADETECTED* p, const QString& name, int indent);
};

#endif
