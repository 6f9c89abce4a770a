#include "codec_request.h"

#include <limits>
#include <string>

#include "BASE64_API.h"

namespace codec {

Json::Value OptionalString(const char* text) {
  return text != nullptr ? Json::Value(text) : Json::Value();
}

bool SetRequiredString(Json::Value& object, const char* name, const char* text) {
  if (text == nullptr) return false;
  object[name] = text;
  return true;
}

void CannotFormat(const char* member) {
  throw Unformattable(std::string(member != nullptr ? member : "input") + " is NULL");
}

Json::Value RequiredString(const char* member, const char* text) {
  if (text == nullptr) CannotFormat(member);
  return Json::Value(text);
}

bool SetBinary(Json::Value& object, const char* name, const BYTE* data, size_t length,
               BinaryMember presence) {
  if (length == 0) {
    if (presence == BinaryMember::kAlways) object[name] = "";
    return true;
  }
  if (data == nullptr || length > std::numeric_limits<unsigned int>::max()) return false;
  object[name] = base64_encode(data, static_cast<unsigned int>(length));
  return true;
}

}  // namespace codec
