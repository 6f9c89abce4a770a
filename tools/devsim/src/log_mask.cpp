#include "log_mask.h"

#include <set>

#include "device_class.h"
#include "json_util.h"
#include "ostrel_records.h"
#include "xfsapi.h"

namespace devsim {

namespace {

// Members that carry what a card or a cardholder must not leave in a log.
const std::set<std::string> kSecretMembers = {
    "lpstrTrackData", "lpstrData",       "lpbData",      "lpbChipData",
    "lpbKeyValue",    "lpbPinBlockData", "lpxCryptData", "lpxKeyEncKey",
};

Json::Value Mask(const Json::Value& value) {
  if (value.isString()) {
    return "<masked " + std::to_string(value.asString().size()) + " chars>";
  }
  return "<masked>";
}

// Every leaf below value.
void MaskAll(Json::Value* value) {
  if (value->isObject() || value->isArray()) {
    for (Json::Value& child : *value) MaskAll(&child);
  } else if (!value->isNull()) {
    *value = Mask(*value);
  }
}

// The secret members anywhere below value.
void MaskSecrets(Json::Value* value) {
  if (value->isObject()) {
    for (const std::string& name : value->getMemberNames()) {
      Json::Value& child = (*value)[name];
      if (kSecretMembers.count(name) != 0 && !child.isNull()) {
        child = Mask(child);
      } else {
        MaskSecrets(&child);
      }
    }
  } else if (value->isArray()) {
    for (Json::Value& child : *value) MaskSecrets(&child);
  }
}

// The payload of an execute (request, completion or event) of code: PIN
// data is masked whole, the bare text of a card-reader reply (track data)
// too.
void MaskPayload(Json::Value* payload, long code, bool execute, bool reply) {
  Family family = FamilyOfCode(code);
  if (execute && family == Family::PIN) {
    MaskAll(payload);
  } else if (execute && reply && family == Family::IDC && payload->isString()) {
    *payload = Mask(*payload);
  } else {
    MaskSecrets(payload);
  }
}

long CodeOf(const Json::Value& value) {
  return IsJsonInteger(value) && value.isInt64() ? static_cast<long>(value.asInt64()) : 0;
}

}  // namespace

std::string MaskedText(const Json::Value& json) {
  Json::Value copy = json;
  if (copy.isObject() && copy.isMember("lpWfsResult") && copy["lpWfsResult"].isObject()) {
    Json::Value& result = copy["lpWfsResult"];
    int type = IsJsonInteger(copy["dwMsgType"]) ? copy["dwMsgType"].asInt() : 0;
    bool execute = type == KvSP_EXECUTE_COMPLETE || type == WFS_EXECUTE_EVENT;
    long code =
        CodeOf(result.isMember("dwEventID") ? result["dwEventID"] : result["dwCommandCode"]);
    if (result.isMember("lpBuffer")) MaskPayload(&result["lpBuffer"], code, execute, true);
  } else if (copy.isObject() && copy.isMember("lpDataBuffer")) {
    bool execute = CodeOf(copy["nCmdType"]) == KvSP_CMD_EXECUTE;
    long code = CodeOf(execute ? copy["dwCommand"] : copy["dwCategory"]);
    MaskPayload(&copy["lpDataBuffer"], code, execute, false);
  } else {
    MaskSecrets(&copy);
  }
  return RenderJson(copy);
}

}  // namespace devsim
