// One request of the service provider as the device service reads it: the
// members of the envelope that decide the answer.
#ifndef DEVSIM_REQUEST_H
#define DEVSIM_REQUEST_H

#include <json/json.h>

#include <string>
#include <vector>

namespace devsim {

struct Request {
  int kind = 0;               // "nCmdType"
  Json::Int64 hService = 0;   // "hService"
  Json::Int64 requestID = 0;  // "requestID", as sent (may be negative)
  int hWnd = 0;               // "hWnd": the reply port; 0 when the kind needs none
  long code = 0;              // "dwCommand" of an execute, "dwCategory" of a get-info
  Json::Value payload;        // "lpDataBuffer"; null when absent
  std::string appId;          // "lpAppId"; empty when null
};

struct RequestReading {
  bool accepted = false;
  std::string refusal;                // why the request cannot be answered
  std::vector<std::string> problems;  // members that are missing or odd; answered anyway
  Request request;
};

// Reads a parsed request. serviceClass is the "lType" the service expects
// (0: do not check).
RequestReading ReadRequest(const Json::Value& json, int serviceClass);

// Open, close, lock, unlock, get-info and execute are answered with a completion.
bool KindIsAnswered(int kind);
// The completion message number (dwMsgType) of an answered kind.
int CompletionTypeOf(int kind);
// Completions that carry "dwCommandCode": get-info, execute, lock, unlock.
bool CompletionCarriesCode(int kind);
// "open", "execute", "time-out notice", ...; "kind N" for an unknown one.
std::string KindName(int kind);
// The kind of a scenario name ("open", "close", "lock", "unlock", "getinfo",
// "execute"); 0 when unknown.
int AnsweredKindFromName(const std::string& name);

}  // namespace devsim

#endif
