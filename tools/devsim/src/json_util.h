// Small JSON helpers shared by the request reader, the scenario reader and
// the reply writer.
#ifndef DEVSIM_JSON_UTIL_H
#define DEVSIM_JSON_UTIL_H

#include <json/json.h>

#include <string>

namespace devsim {

// Parses text strictly as one JSON document; *error says on one line what
// is wrong.
bool ParseJson(const std::string& text, Json::Value* out, std::string* error);
// One line of JSON text without spaces.
std::string RenderJson(const Json::Value& value);
// "null", "integer", "number", "string", "boolean", "array" or "object".
const char* JsonTypeName(const Json::Value& value);
// An integer member (not a real, not a boolean).
bool IsJsonInteger(const Json::Value& value);
// The integer member of an object; fallback when value is no object, the
// member is missing or is no integer a long long holds.
long long IntegerMember(const Json::Value& value, const char* member, long long fallback);

}  // namespace devsim

#endif
