// The four device classes as the envelope reaches their codecs: the code of
// a request or reply chooses the class by range, and the class's dispatchers
// format the request payload and decode the reply payload.
#ifndef OSTREL_CLASSCODECS_H
#define OSTREL_CLASSCODECS_H

#include "codec_dispatch.h"
#include "xfsapi.h"

namespace classcodecs {

typedef Json::Value (*PayloadFormatter)(unsigned int code, unsigned char* data);

// One class's dispatchers, each set by the name of what it serves:
//
//   ClassCodec(WFS_SERVICE_CLASS_IDC, 200, 299)
//       .Info(&BufferFormat_IDC::InfoFormat, &JsonUnformat_IDC::UnformatInfo)
//       .Execute(&BufferFormat_IDC::ExeFormat, &JsonUnformat_IDC::UnformatExecute)
//       .ExecuteEvents(&JsonUnformatEvent_Execute_IDC::UnformatExecute)
//       .ServiceEvents(&JsonUnformatEvent_Server_IDC::UnformatServer)
//
// A kind that a class does not have stays NULL: its requests go out with
// "lpDataBuffer" null and its replies keep lpBuffer NULL.
struct ClassCodec {
  LONG serviceClass;
  DWORD first;  // code range, both ends included
  DWORD last;
  PayloadFormatter InfoFormat = nullptr;
  PayloadFormatter ExeFormat = nullptr;
  codec::Unformatter UnformatInfo = nullptr;
  codec::Unformatter UnformatExecute = nullptr;
  codec::Unformatter UnformatExecuteEvent = nullptr;
  codec::Unformatter UnformatServiceEvent = nullptr;
  codec::Unformatter UnformatUserEvent = nullptr;

  constexpr ClassCodec(LONG service, DWORD firstCode, DWORD lastCode)
      : serviceClass(service), first(firstCode), last(lastCode) {}

  constexpr ClassCodec Info(PayloadFormatter format, codec::Unformatter unformat) const {
    ClassCodec row = *this;
    row.InfoFormat = format;
    row.UnformatInfo = unformat;
    return row;
  }
  constexpr ClassCodec Execute(PayloadFormatter format, codec::Unformatter unformat) const {
    ClassCodec row = *this;
    row.ExeFormat = format;
    row.UnformatExecute = unformat;
    return row;
  }
  constexpr ClassCodec ExecuteEvents(codec::Unformatter unformat) const {
    ClassCodec row = *this;
    row.UnformatExecuteEvent = unformat;
    return row;
  }
  constexpr ClassCodec ServiceEvents(codec::Unformatter unformat) const {
    ClassCodec row = *this;
    row.UnformatServiceEvent = unformat;
    return row;
  }
  constexpr ClassCodec UserEvents(codec::Unformatter unformat) const {
    ClassCodec row = *this;
    row.UnformatUserEvent = unformat;
    return row;
  }
};

// The class whose range holds code, tested in the order PIN, IDC, PTR, CRD;
// NULL outside all four ranges.
const ClassCodec* ForCode(DWORD code);

}  // namespace classcodecs

#endif
