#include "idc_test_support.h"

#include <gtest/gtest.h>

#include <vector>

#include "BASE64_API.h"
#include "corvid.h"
#include "formatstructdata.h"
#include "ostrel.h"
#include "ostrel_test_support.h"
#include "test_support.h"

namespace idctest {

_tagDataOption Request(DWORD kind, DWORD code, void* data, int port) {
  _tagDataOption option;
  std::memset(&option, 0, sizeof option);
  option.hService = 4;
  option.requestID = 77;
  option.hWnd = 36001;
  option.devHwnd = static_cast<DWORD>(port);
  option.nCmdType = kind;
  option.dwTimeout = 30000;
  option.lType = WFS_SERVICE_CLASS_IDC;
  option.lpAppId = const_cast<char*>("APP1");
  if (kind == KvSP_CMD_GETINFO) {
    option.dwCategory = code;
  } else {
    option.dwCommand = code;
  }
  option.lpDataBuffer = data;
  return option;
}

std::string RequestText(DWORD kind, DWORD code, void* data) {
  _tagDataOption option = Request(kind, code, data);
  std::vector<char> buffer(FormatStructData::kRequestBufferSize, '\0');
  int length = 0;
  int rendered = kind == KvSP_CMD_GETINFO
                     ? FormatStructData::FormatGetInfoData(&option, buffer.data(), length)
                     : FormatStructData::FormatExecuteData(&option, buffer.data(), length);
  EXPECT_EQ(rendered, 1);
  if (rendered != 1) return "";
  return std::string(buffer.data(), static_cast<size_t>(length));
}

Json::Value Payload(DWORD kind, DWORD code, void* data) {
  std::string text = RequestText(kind, code, data);
  Json::Value root = ostreltest::Parse(text);
  EXPECT_TRUE(root.isMember("lpDataBuffer")) << text;
  return root["lpDataBuffer"];
}

std::string Reply(int msgType, DWORD code, const Json::Value& payload, bool hasPayload) {
  Json::Value result(Json::objectValue);
  result["hResult"] = 0;
  result["hService"] = 4;
  result["requestID"] = 77;
  result[msgType >= WFS_EXECUTE_EVENT ? "dwEventID" : "dwCommandCode"] = code;
  if (hasPayload) result["lpBuffer"] = payload;
  return ostreltest::Write(ostreltest::Envelope(msgType, result, 4));
}

std::string Base64Of(const std::string& bytes) {
  return base64_encode(reinterpret_cast<const unsigned char*>(bytes.data()),
                       static_cast<unsigned int>(bytes.size()));
}

Json::Value Members(std::initializer_list<std::pair<const char*, Json::Value>> members) {
  Json::Value object(Json::objectValue);
  for (const auto& member : members) object[member.first] = member.second;
  return object;
}

const char kFirst[] = " allocate buffer failed!";

std::string Numbered(int n) { return " allocate buffer failed " + std::to_string(n) + "!"; }

void ExpectEveryPointFails(const DecoderCase& item) {
  using ostreltest::Field;
  std::string text = Reply(item.msgType, item.code, item.payload);
  // The result is the allocation before the first point.
  for (size_t point = 0; point <= item.points.size(); ++point) {
    SCOPED_TRACE(std::string(item.decoder) + " point " + std::to_string(point));
    testsupport::TraceCapture trace;
    long before = CorvidLiveBlocks();
    CorvidFailAllocations(static_cast<long>(1 + point));
    LPCONNECTMSG msg = ostreltest::Decode(text).release();
    CorvidFailAllocations(-1);
    ASSERT_NE(msg, nullptr) << "the reply is delivered";
    EXPECT_EQ(Field(msg->lpWfsResult->u.dwCommandCode), item.code);
    if (point < item.points.size()) {
      EXPECT_EQ(trace.countExact(item.decoder + item.points[point], 4), 1);
      EXPECT_EQ(trace.count("allocate buffer failed", 4), 1);
      // Blocks taken before the failure stay below the result.
      EXPECT_EQ(Field(msg->lpWfsResult->lpBuffer) != nullptr, point > 0);
    } else {
      EXPECT_EQ(trace.count("", 4), 0) << "every point was counted";
      EXPECT_NE(Field(msg->lpWfsResult->lpBuffer), nullptr);
    }
    EXPECT_EQ(Ostrel::FreeBuffer(msg, 1), 0);
    EXPECT_EQ(CorvidLiveBlocks(), before);
  }
}

std::string TextAt(const void* block, size_t off32, size_t pointersBefore) {
  const char* text = static_cast<const char*>(PointerAt(block, off32, pointersBefore));
  return text != nullptr ? std::string(text) : "<NULL>";
}

std::string BytesAt(const void* block, size_t off32, size_t pointersBefore, size_t count) {
  const char* bytes = static_cast<const char*>(PointerAt(block, off32, pointersBefore));
  return bytes != nullptr ? std::string(bytes, count) : "<NULL>";
}

}  // namespace idctest
