#include "request.h"

#include "device_class.h"
#include "json_util.h"
#include "ostrel_records.h"

namespace devsim {

namespace {

constexpr Json::Int64 kHighestPort = 65535;

struct KindInfo {
  int kind;
  const char* name;
  int completionType;  // 0: not answered
  bool carriesCode;
  const char* scenarioName;
};

const KindInfo kKinds[] = {
    {KvSP_CMD_CANCEL, "cancel", 0, false, nullptr},
    {KvSP_CMD_CLOSE, "close", KvSP_CLOSE_COMPLETE, false, "close"},
    {KvSP_CMD_EXECUTE, "execute", KvSP_EXECUTE_COMPLETE, true, "execute"},
    {KvSP_CMD_GETINFO, "get-info", KvSP_GETINFO_COMPLETE, true, "getinfo"},
    {KvSP_CMD_LOCK, "lock", KvSP_LOCK_COMPLETE, true, "lock"},
    {KvSP_CMD_OPEN, "open", KvSP_OPEN_COMPLETE, false, "open"},
    {KvSP_CMD_UNLOAD_SERVICE, "unload service", 0, false, nullptr},
    {KvSP_CMD_UNLOCK, "unlock", KvSP_UNLOCK_COMPLETE, true, "unlock"},
    {KvSP_CMD_TIMEOUT, "time-out notice", 0, false, nullptr},
};

const KindInfo* FindKind(int kind) {
  for (const KindInfo& info : kKinds) {
    if (info.kind == kind) return &info;
  }
  return nullptr;
}

// What is wrong with an integer member, without its value: a refused or odd
// member may carry anything, card data included.
std::string Fault(const Json::Value& json, const char* name) {
  const Json::Value& member = json[name];
  if (!json.isMember(name)) return std::string("\"") + name + "\" is missing";
  return std::string("\"") + name + "\" is a JSON " + JsonTypeName(member) + ", not an integer";
}

// Reads an integer member into *out; the fault text when it is not one.
bool ReadInteger(const Json::Value& json, const char* name, Json::Int64* out, std::string* fault) {
  const Json::Value& member = json.isMember(name) ? json[name] : Json::Value::nullSingleton();
  if (IsJsonInteger(member) && (member.isInt64() || member.isUInt64())) {
    *out = member.isInt64() ? member.asInt64() : static_cast<Json::Int64>(member.asUInt64());
    return true;
  }
  *fault = Fault(json, name);
  return false;
}

}  // namespace

RequestReading ReadRequest(const Json::Value& json, int serviceClass) {
  RequestReading reading;
  if (!json.isObject()) {
    reading.refusal =
        std::string("the request is a JSON ") + JsonTypeName(json) + ", not an object";
    return reading;
  }
  Request& request = reading.request;
  std::string fault;
  Json::Int64 number = 0;
  if (!ReadInteger(json, "nCmdType", &number, &fault)) {
    reading.refusal = fault;
    return reading;
  }
  const KindInfo* kind = FindKind(number >= 0 && number <= 0xFFFF ? static_cast<int>(number) : -1);
  if (kind == nullptr) {
    reading.refusal = "unknown request kind " + std::to_string(number);
    return reading;
  }
  request.kind = kind->kind;

  if (KindIsAnswered(request.kind)) {
    if (!ReadInteger(json, "hWnd", &number, &fault)) {
      reading.refusal = fault + ": no port to answer on";
      return reading;
    }
    if (number < 1 || number > kHighestPort) {
      reading.refusal = "\"hWnd\" " + std::to_string(number) + " is not a port";
      return reading;
    }
    request.hWnd = static_cast<int>(number);
  }

  if (!ReadInteger(json, "hService", &request.hService, &fault)) reading.problems.push_back(fault);
  if (!ReadInteger(json, "requestID", &request.requestID, &fault)) {
    reading.problems.push_back(fault);
  }
  // The time-out notice carries only the service handle and the request.
  if (request.kind != KvSP_CMD_TIMEOUT && serviceClass != 0) {
    if (!ReadInteger(json, "lType", &number, &fault)) {
      reading.problems.push_back(fault);
    } else if (number != serviceClass) {
      reading.problems.push_back("\"lType\" " + std::to_string(number) +
                                 " is not this service's class " + std::to_string(serviceClass));
    }
  }
  const char* codeMember = request.kind == KvSP_CMD_EXECUTE   ? "dwCommand"
                           : request.kind == KvSP_CMD_GETINFO ? "dwCategory"
                                                              : nullptr;
  if (codeMember != nullptr) {
    if (ReadInteger(json, codeMember, &number, &fault)) {
      request.code = static_cast<long>(number);
    } else {
      reading.problems.push_back(fault);
    }
  }
  const Json::Value& appId = json["lpAppId"];
  if (appId.isString()) {
    request.appId = appId.asString();
  } else if (!appId.isNull()) {
    reading.problems.push_back(std::string("\"lpAppId\" is a JSON ") + JsonTypeName(appId) +
                               ", not a string");
  }
  if (json.isMember("lpDataBuffer")) request.payload = json["lpDataBuffer"];
  // Executes and get-infos of the four classes carry their payload member
  // (null when there is no data); other codes carry none.
  if (codeMember != nullptr) {
    bool classCode = FamilyOfCode(request.code) != Family::Unknown;
    if (classCode && !json.isMember("lpDataBuffer")) {
      reading.problems.push_back("\"lpDataBuffer\" is missing");
    } else if (!classCode && json.isMember("lpDataBuffer")) {
      reading.problems.push_back("\"lpDataBuffer\" comes with code " +
                                 std::to_string(request.code) + ", which no class has");
    }
  }
  reading.accepted = true;
  return reading;
}

bool KindIsAnswered(int kind) { return CompletionTypeOf(kind) != 0; }

int CompletionTypeOf(int kind) {
  const KindInfo* info = FindKind(kind);
  return info != nullptr ? info->completionType : 0;
}

bool CompletionCarriesCode(int kind) {
  const KindInfo* info = FindKind(kind);
  return info != nullptr && info->carriesCode;
}

std::string KindName(int kind) {
  const KindInfo* info = FindKind(kind);
  return info != nullptr ? info->name : "kind " + std::to_string(kind);
}

int AnsweredKindFromName(const std::string& name) {
  for (const KindInfo& info : kKinds) {
    if (info.scenarioName != nullptr && name == info.scenarioName) return info.kind;
  }
  return 0;
}

}  // namespace devsim
