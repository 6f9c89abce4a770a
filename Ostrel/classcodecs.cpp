#include "classcodecs.h"

#include "bufferformat_idc.h"
#include "bufferformat_pin.h"
#include "jsonunformat_idc.h"
#include "jsonunformat_pin.h"
#include "jsonunformatevent_execute_idc.h"
#include "jsonunformatevent_execute_pin.h"
#include "jsonunformatevent_server_idc.h"
#include "jsonunformatevent_server_pin.h"

namespace classcodecs {

namespace {

// The printer has no execute events, the card reader and the PIN pad no
// user events.
constexpr ClassCodec kClasses[] = {
    ClassCodec(WFS_SERVICE_CLASS_PIN, 400, 499)
        .Info(&BufferFormat_PIN::InfoFormat, &JsonUnformat_PIN::UnformatInfo)
        .Execute(&BufferFormat_PIN::ExeFormat, &JsonUnformat_PIN::UnformatExecute)
        .ExecuteEvents(&JsonUnformatEvent_Execute_PIN::UnformatExecute)
        .ServiceEvents(&JsonUnformatEvent_Server_PIN::UnformatServer),
    ClassCodec(WFS_SERVICE_CLASS_IDC, 200, 299)
        .Info(&BufferFormat_IDC::InfoFormat, &JsonUnformat_IDC::UnformatInfo)
        .Execute(&BufferFormat_IDC::ExeFormat, &JsonUnformat_IDC::UnformatExecute)
        .ExecuteEvents(&JsonUnformatEvent_Execute_IDC::UnformatExecute)
        .ServiceEvents(&JsonUnformatEvent_Server_IDC::UnformatServer),
    ClassCodec(WFS_SERVICE_CLASS_PTR, 100, 199),
    ClassCodec(WFS_SERVICE_CLASS_CRD, 1400, 1499),
};

}  // namespace

const ClassCodec* ForCode(DWORD code) {
  for (const ClassCodec& codec : kClasses) {
    if (code >= codec.first && code <= codec.last) return &codec;
  }
  return nullptr;
}

}  // namespace classcodecs
