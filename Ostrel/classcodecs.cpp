#include "classcodecs.h"

#include "bufferformat_crd.h"
#include "bufferformat_idc.h"
#include "bufferformat_pin.h"
#include "bufferformat_ptr.h"
#include "jsonunformat_crd.h"
#include "jsonunformat_idc.h"
#include "jsonunformat_pin.h"
#include "jsonunformat_ptr.h"
#include "jsonunformatevent_execute_crd.h"
#include "jsonunformatevent_execute_idc.h"
#include "jsonunformatevent_execute_pin.h"
#include "jsonunformatevent_server_crd.h"
#include "jsonunformatevent_server_idc.h"
#include "jsonunformatevent_server_pin.h"
#include "jsonunformatevent_server_ptr.h"
#include "jsonunformatevent_user_crd.h"
#include "jsonunformatevent_user_ptr.h"

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
    ClassCodec(WFS_SERVICE_CLASS_PTR, 100, 199)
        .Info(&BufferFormat_PTR::InfoFormat, &JsonUnformat_PTR::UnformatInfo)
        .Execute(&BufferFormat_PTR::ExeFormat, &JsonUnformat_PTR::UnformatExecute)
        .ServiceEvents(&JsonUnformatEvent_Server_PTR::UnformatServer)
        .UserEvents(&JsonUnformatEvent_User_PTR::UnformatUser),
    ClassCodec(WFS_SERVICE_CLASS_CRD, 1400, 1499)
        .Info(&BufferFormat_CRD::InfoFormat, &JsonUnformat_CRD::UnformatInfo)
        .Execute(&BufferFormat_CRD::ExeFormat, &JsonUnformat_CRD::UnformatExecute)
        .ExecuteEvents(&JsonUnformatEvent_Execute_CRD::UnformatExecute)
        .ServiceEvents(&JsonUnformatEvent_Server_CRD::UnformatServer)
        .UserEvents(&JsonUnformatEvent_User_CRD::UnformatUser),
};

}  // namespace

const ClassCodec* ForCode(DWORD code) {
  for (const ClassCodec& codec : kClasses) {
    if (code >= codec.first && code <= codec.last) return &codec;
  }
  return nullptr;
}

}  // namespace classcodecs
