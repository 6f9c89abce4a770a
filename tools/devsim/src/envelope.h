// The reply and event envelopes the device service writes: "dwMsgType",
// "hService" and "lpWfsResult" with the result's members.
#ifndef DEVSIM_ENVELOPE_H
#define DEVSIM_ENVELOPE_H

#include <json/json.h>

#include "request.h"

namespace devsim {

// "tsTimestamp" of the current local time.
Json::Value TimestampNow();

// The completion of request with hResult; lpBuffer null means no data.
Json::Value CompletionEnvelope(const Request& request, int hResult, const Json::Value& lpBuffer);

// An event (msgType 1044 to 1047) with its identifier and payload.
Json::Value EventEnvelope(int msgType, Json::Int64 hService, Json::Int64 requestID,
                          unsigned long eventId, const Json::Value& lpBuffer);

}  // namespace devsim

#endif
