#include "envelope.h"

#include <chrono>
#include <ctime>

namespace devsim {

namespace {

Json::Value Envelope(int msgType, Json::Int64 hService, const Json::Value& result) {
  Json::Value envelope(Json::objectValue);
  envelope["dwMsgType"] = msgType;
  envelope["hService"] = hService;
  envelope["lpWfsResult"] = result;
  return envelope;
}

Json::Value ResultHeader(Json::Int64 hService, Json::Int64 requestID, int hResult) {
  Json::Value result(Json::objectValue);
  result["hService"] = hService;
  result["requestID"] = requestID;
  result["hResult"] = hResult;
  result["tsTimestamp"] = TimestampNow();
  return result;
}

}  // namespace

Json::Value TimestampNow() {
  using Clock = std::chrono::system_clock;
  Clock::time_point now = Clock::now();
  std::time_t seconds = Clock::to_time_t(now);
  long millis = static_cast<long>(
      std::chrono::duration_cast<std::chrono::milliseconds>(now.time_since_epoch()).count() % 1000);
  std::tm local{};
  localtime_r(&seconds, &local);
  Json::Value stamp(Json::objectValue);
  stamp["year"] = local.tm_year + 1900;
  stamp["month"] = local.tm_mon + 1;
  stamp["day_of_week"] = local.tm_wday;
  stamp["day"] = local.tm_mday;
  stamp["hour"] = local.tm_hour;
  stamp["minute"] = local.tm_min;
  stamp["second"] = local.tm_sec;
  stamp["milli_seconds"] = static_cast<int>(millis);
  return stamp;
}

Json::Value CompletionEnvelope(const Request& request, int hResult, const Json::Value& lpBuffer) {
  Json::Value result = ResultHeader(request.hService, request.requestID, hResult);
  if (CompletionCarriesCode(request.kind)) {
    result["dwCommandCode"] = static_cast<Json::Int64>(request.code);
  }
  result["lpBuffer"] = lpBuffer;
  return Envelope(CompletionTypeOf(request.kind), request.hService, result);
}

Json::Value EventEnvelope(int msgType, Json::Int64 hService, Json::Int64 requestID,
                          unsigned long eventId, const Json::Value& lpBuffer) {
  Json::Value result = ResultHeader(hService, requestID, 0);
  result["dwEventID"] = static_cast<Json::UInt64>(eventId);
  result["lpBuffer"] = lpBuffer;
  return Envelope(msgType, hService, result);
}

}  // namespace devsim
