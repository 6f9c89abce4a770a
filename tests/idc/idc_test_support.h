// Helpers of the card reader codec tests: requests rendered as they go out,
// replies as the device service sends them, and raw reads of the decoded
// structures at the offsets of the 32-bit target.
#ifndef TESTS_IDC_IDC_TEST_SUPPORT_H
#define TESTS_IDC_IDC_TEST_SUPPORT_H

#include <json/value.h>

#include <cstddef>
#include <cstring>
#include <initializer_list>
#include <string>
#include <utility>
#include <vector>

#include "ostrel_records.h"

namespace idctest {

// A card-reader request of kind (KvSP_CMD_EXECUTE or KvSP_CMD_GETINFO) for
// code with data as its input; every envelope member set.
_tagDataOption Request(DWORD kind, DWORD code, void* data, int port = 0);

// The request text as FormatStructData renders it for the device service,
// and the value of its "lpDataBuffer" member (the test fails when the text
// is not rendered or has no such member).
std::string RequestText(DWORD kind, DWORD code, void* data);
Json::Value Payload(DWORD kind, DWORD code, void* data);

// The reply text of msgType (6, 7, 1044 to 1047) for code with "lpBuffer"
// payload; hasPayload false leaves "lpBuffer" out.
std::string Reply(int msgType, DWORD code, const Json::Value& payload, bool hasPayload = true);

std::string Base64Of(const std::string& bytes);

// An object from name/value pairs.
Json::Value Members(std::initializer_list<std::pair<const char*, Json::Value>> members);

// One decoder, a reply that reaches every one of its allocation points, and
// the lines of those points in the order the decoder takes its blocks.
struct DecoderCase {
  const char* decoder;
  int msgType;
  DWORD code;
  Json::Value payload;
  std::vector<std::string> points;
};

// The line ends of the first block and of the numbered ones.
extern const char kFirst[];
std::string Numbered(int n);

// Fails each point of the decoder in turn: the point's own line and no
// other, the reply still delivered with what was taken before, nothing
// left behind once it is released; a run with no failure takes them all.
void ExpectEveryPointFails(const DecoderCase& item);

// Where a field lies on this target: off32 on the 32-bit target, with
// pointersBefore pointers ahead of it.
inline size_t Offset(size_t off32, size_t pointersBefore) {
  return off32 + pointersBefore * (sizeof(void*) - 4);
}

// The value of type T at that place in block.
template <typename T>
T At(const void* block, size_t off32, size_t pointersBefore = 0) {
  T value;
  std::memcpy(&value, static_cast<const unsigned char*>(block) + Offset(off32, pointersBefore),
              sizeof value);
  return value;
}

// The pointer at that place; the text it points to ("<NULL>" for NULL).
inline const void* PointerAt(const void* block, size_t off32, size_t pointersBefore) {
  return At<const void*>(block, off32, pointersBefore);
}
std::string TextAt(const void* block, size_t off32, size_t pointersBefore);
// count bytes at the pointer found there ("<NULL>" for NULL).
std::string BytesAt(const void* block, size_t off32, size_t pointersBefore, size_t count);

}  // namespace idctest

#endif
