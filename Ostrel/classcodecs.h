// The four device classes as the envelope reaches their codecs: the code of
// a request or reply chooses the class by range, and the class's dispatchers
// format the request payload and decode the reply payload.
#ifndef OSTREL_CLASSCODECS_H
#define OSTREL_CLASSCODECS_H

#include "codec_dispatch.h"
#include "xfsapi.h"

namespace classcodecs {

typedef Json::Value (*PayloadFormatter)(unsigned int code, unsigned char* data);

// One class's dispatchers. A NULL entry means the class has no dispatcher
// for that kind (yet, or at all): its requests go out with "lpDataBuffer"
// null and its replies keep lpBuffer NULL.
struct ClassCodec {
  LONG serviceClass;
  DWORD first;  // code range, both ends included
  DWORD last;
  PayloadFormatter InfoFormat;
  PayloadFormatter ExeFormat;
  codec::Unformatter UnformatInfo;
  codec::Unformatter UnformatExecute;
  codec::Unformatter UnformatExecuteEvent;
  codec::Unformatter UnformatServiceEvent;
  codec::Unformatter UnformatUserEvent;
};

// The class whose range holds code, tested in the order PIN, IDC, PTR, CRD;
// NULL outside all four ranges.
const ClassCodec* ForCode(DWORD code);

}  // namespace classcodecs

#endif
