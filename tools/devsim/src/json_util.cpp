#include "json_util.h"

#include <memory>

namespace devsim {

bool ParseJson(const std::string& text, Json::Value* out, std::string* error) {
  Json::CharReaderBuilder builder;
  Json::CharReaderBuilder::strictMode(&builder.settings_);
  // An event payload given on the console may be a bare number or text.
  builder.settings_["strictRoot"] = false;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  Json::Value value;
  if (!reader->parse(text.data(), text.data() + text.size(), &value, &errors)) {
    while (!errors.empty() && (errors.back() == '\n' || errors.back() == ' ')) errors.pop_back();
    for (char& c : errors) {
      if (c == '\n') c = ' ';
    }
    if (error != nullptr) *error = errors.empty() ? "not JSON" : errors;
    return false;
  }
  *out = value;
  return true;
}

std::string RenderJson(const Json::Value& value) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  builder["emitUTF8"] = true;
  return Json::writeString(builder, value);
}

const char* JsonTypeName(const Json::Value& value) {
  switch (value.type()) {
    case Json::nullValue:
      return "null";
    case Json::intValue:
    case Json::uintValue:
      return "integer";
    case Json::realValue:
      return "number";
    case Json::stringValue:
      return "string";
    case Json::booleanValue:
      return "boolean";
    case Json::arrayValue:
      return "array";
    case Json::objectValue:
      return "object";
  }
  return "unknown";
}

bool IsJsonInteger(const Json::Value& value) {
  return value.type() == Json::intValue || value.type() == Json::uintValue;
}

long long IntegerMember(const Json::Value& value, const char* member, long long fallback) {
  if (!value.isObject()) return fallback;
  const Json::Value& found = value[member];
  return IsJsonInteger(found) && found.isInt64() ? found.asInt64() : fallback;
}

}  // namespace devsim
