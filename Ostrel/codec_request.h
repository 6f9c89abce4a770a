// Request side of the codec rules: how every class formatter turns an XFS
// input structure into the JSON value of the envelope's "lpDataBuffer".
// A formatter builds a Json::Value object, sets one member per structure
// field under the field's XFS name (the text is written with sorted names),
// and uses these helpers for every rule that is not a plain assignment:
//
//   Json::Value BufferFormat_XXX::FormatThing(unsigned char* data) {
//     const WFSXXXTHING* thing = reinterpret_cast<const WFSXXXTHING*>(data);
//     Json::Value object(Json::objectValue);
//     object["wMode"] = codec::Int(thing->wMode);
//     object["dwCommand"] = codec::Unsigned(thing->dwCommand);
//     object["lpstrFormName"] = codec::OptionalString(thing->lpstrFormName);
//     object["lpstrTrackData"] = codec::RequiredString("lpstrTrackData", thing->lpstrTrackData);
//     object["ulDataLength"] = codec::Int(thing->ulDataLength);
//     if (!codec::SetBinary(object, "lpbData", thing->lpbData, thing->ulDataLength))
//       codec::CannotFormat("lpbData");   // "lpDataBuffer" null
//     object["lppCardData"] = codec::ArrayOf(thing->lppCardData, FormatCardData);
//     return object;
//   }
//
// A formatter that cannot format its input returns a null value; the request
// still goes out, with "lpDataBuffer" null. Input that breaks its structure's
// own rules (a NULL pointer where the structure requires text or data) ends
// the formatter through CannotFormat instead, wherever it is found (nested
// elements included): the class dispatcher's guarded frame logs its
// caught-fault line and gives null.
#ifndef OSTREL_CODEC_REQUEST_H
#define OSTREL_CODEC_REQUEST_H

#include <json/value.h>

#include <cstddef>
#include <cstdint>
#include <cstring>
#include <stdexcept>
#include <string>
#include <type_traits>

#include "xfsapi.h"

namespace codec {

// An integer field as a signed 32-bit JSON integer; 16-bit and 8-bit fields
// are zero-extended first, 32-bit fields keep their bits (so 2147483648
// becomes -2147483648).
template <typename T>
Json::Value Int(T field) {
  static_assert(std::is_integral<T>::value && sizeof(T) <= 4, "an XFS integer field");
  using Unsigned = typename std::make_unsigned<T>::type;
  return Json::Value(static_cast<Json::Int>(static_cast<uint32_t>(static_cast<Unsigned>(field))));
}

// A DWORD mask or command word marked unsigned: a JSON integer 0 to 4294967295.
inline Json::Value Unsigned(DWORD field) { return Json::Value(static_cast<Json::UInt>(field)); }

// An input that is one integer itself (a WORD action, a ULONG mask) rather
// than a structure: the bare integer, as Int writes it. Both take the
// formatters' argument, so that a dispatch table may name them.
template <typename T>
Json::Value BareInteger(unsigned char* data) {
  T value;
  std::memcpy(&value, data, sizeof value);
  return Int(value);
}

// An input that is one text itself (a form or key name): the bare string.
inline Json::Value BareText(unsigned char* data) {
  return Json::Value(reinterpret_cast<const char*>(data));
}

// An optional LPSTR: the string, or null for a NULL pointer.
Json::Value OptionalString(const char* text);

// A required LPSTR: sets object[name] and returns true, or returns false
// (and sets nothing) for a NULL pointer; RequiredString does this and
// CannotFormat in one.
bool SetRequiredString(Json::Value& object, const char* name, const char* text);

// Input that no formatter can render: raised by CannotFormat and caught by
// the class dispatcher's guarded frame. what() names the member, never its
// content.
class Unformattable : public std::runtime_error {
 public:
  explicit Unformattable(const std::string& what) : std::runtime_error(what) {}
};

// Ends the running formatter: member (its XFS field name) cannot be formatted.
[[noreturn]] void CannotFormat(const char* member);

// A required LPSTR as a JSON string; CannotFormat(member) for a NULL pointer.
Json::Value RequiredString(const char* member, const char* text);

// When a binary member is present.
enum class BinaryMember {
  kWhenNotEmpty,  // only when the length is not 0 (the rule)
  kAlways,        // always; the empty text for length 0
};

// Binary data with its length field: the data as base64 text under `name`.
// False (nothing set) when data is NULL with a length that is not 0; the
// formatter then ends through CannotFormat.
bool SetBinary(Json::Value& object, const char* name, const BYTE* data, size_t length,
               BinaryMember presence = BinaryMember::kWhenNotEmpty);

// A NULL-terminated array of structure pointers as a JSON array, one value
// per element in order, each made by format(const T* element). A NULL list
// gives an empty array.
template <typename T, typename Format>
Json::Value ArrayOf(T* const* list, Format format) {
  Json::Value array(Json::arrayValue);
  for (size_t i = 0; list != nullptr && list[i] != nullptr; ++i) array.append(format(list[i]));
  return array;
}

// The first `count` entries of a pointer array, whatever they hold (a NULL
// entry is passed to format as it is).
template <typename T, typename Format>
Json::Value ArrayOf(T* const* list, size_t count, Format format) {
  Json::Value array(Json::arrayValue);
  for (size_t i = 0; list != nullptr && i < count; ++i) array.append(format(list[i]));
  return array;
}

}  // namespace codec

#endif
