#include "jsonunformatevent_execute_idc.h"

#include "codec_dispatch.h"
#include "codec_reply.h"
#include "xfsidc.h"

int JsonUnformatEvent_Execute_IDC::UnformatExecute(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_EXEE_IDC_INVALIDTRACKDATA, &UnformatInvalidTrackData},
      {WFS_EXEE_IDC_MEDIAINSERTED, nullptr},
      {WFS_EXEE_IDC_INVALIDMEDIA, nullptr},
      {WFS_EXEE_IDC_MEDIARETAINED, nullptr},
      {WFS_EXEE_IDC_INSERTCARD, nullptr},
  };
  return codec::UnformatByCode(
      GUARD_SITE("jsonunformatevent_execute_idc", "Ostrel",
                 "JsonUnformatEvent_Execute_IDC::UnformatExecute catch an exception!"),
      "JsonUnformatEvent_Execute_IDC::UnformatExecute invalid ExecuteEvent ID", kTable, result,
      value);
}

int JsonUnformatEvent_Execute_IDC::UnformatInvalidTrackData(LPWFSRESULT result,
                                                            Json::Value* value) {
  codec::Decoder decoder("JsonUnformatEvent_Execute_IDC::UnformatInvalidTrackData", result);
  codec::Object in = decoder.InputObject(value);
  if (!in) return 0;
  WFSIDCTRACKEVENT* track = decoder.Output<WFSIDCTRACKEVENT>();
  if (track == nullptr) return 0;
  track->fwStatus = static_cast<WORD>(in.Int("fwStatus"));
  track->lpstrTrack = in.String("lpstrTrack", 1);
  track->lpstrData = in.String("lpstrData", 2);
  return decoder.Result();
}
