// CWFSIDCSPParam, the card reader's renderer (service class 2): its
// structures by the type names of the name file.
#ifndef TRACEFORMAT_WFSIDCSPPARAM_H
#define TRACEFORMAT_WFSIDCSPPARAM_H

#include "XFSSPParam.h"
#include "xfsidc.h"

class CWFSIDCSPParam : public CXFSSPParam {
 public:
  CWFSIDCSPParam();

  using CXFSSPParam::GetParamString;
  const scrivel::TypeTable& OwnTypes() const override;

  virtual QString GetParamString(const WFSIDCRETAINCARD* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSIDCWRITETRACK* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSIDCSETKEY* p, const QString& name, int indent);
  // hide non-zero: the data shows as the bytes of "***".
  virtual QString GetParamString(const WFSIDCCARDDATA* p, const QString& name, int indent,
                                 int hide);
  // A NULL-terminated array.
  virtual QString GetParamString(const WFSIDCCARDDATA* const* pp, const QString& name,
                                 int indent, int hide);
  virtual QString GetParamString(const WFSIDCCHIPIO* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSIDCPARSEDATA* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSIDCTRACKEVENT* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSIDCCARDACT* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSIDCSTATUS* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSIDCCAPS* p, const QString& name, int indent);
  virtual QString GetParamString(const WFSIDCFORM* p, const QString& name, int indent);

 protected:
  // Track data and card data texts.
  bool HidesTextResults() const override { return true; }
};

#endif
