#include "classcodecs.h"

#include "bufferformat_idc.h"
#include "jsonunformat_idc.h"
#include "jsonunformatevent_execute_idc.h"
#include "jsonunformatevent_server_idc.h"

// A class's codec plugs in here: include its dispatcher headers and name
// its dispatchers in its row, e.g. for the card reader
//   {WFS_SERVICE_CLASS_IDC, 200, 299, &BufferFormat_IDC::InfoFormat,
//    &BufferFormat_IDC::ExeFormat, &JsonUnformat_IDC::UnformatInfo,
//    &JsonUnformat_IDC::UnformatExecute, &JsonUnformatEvent_Execute_IDC::UnformatExecute,
//    &JsonUnformatEvent_Server_IDC::UnformatServer, nullptr},
// Kinds a class never has stay NULL: the printer has no execute events, the
// card reader and the PIN pad no user events.

namespace classcodecs {

namespace {

const ClassCodec kClasses[] = {
    {WFS_SERVICE_CLASS_PIN, 400, 499, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr},
    {WFS_SERVICE_CLASS_IDC, 200, 299, &BufferFormat_IDC::InfoFormat, &BufferFormat_IDC::ExeFormat,
     &JsonUnformat_IDC::UnformatInfo, &JsonUnformat_IDC::UnformatExecute,
     &JsonUnformatEvent_Execute_IDC::UnformatExecute, &JsonUnformatEvent_Server_IDC::UnformatServer,
     nullptr},
    {WFS_SERVICE_CLASS_PTR, 100, 199, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr},
    {WFS_SERVICE_CLASS_CRD, 1400, 1499, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
     nullptr},
};

}  // namespace

const ClassCodec* ForCode(DWORD code) {
  for (const ClassCodec& codec : kClasses) {
    if (code >= codec.first && code <= codec.last) return &codec;
  }
  return nullptr;
}

}  // namespace classcodecs
