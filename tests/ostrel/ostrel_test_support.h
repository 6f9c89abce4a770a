// Helpers of the bridge tests: a stand-in device service that takes one
// request, and decoded replies that release themselves.
#ifndef TESTS_OSTREL_OSTREL_TEST_SUPPORT_H
#define TESTS_OSTREL_OSTREL_TEST_SUPPORT_H

#include <json/value.h>

#include <memory>
#include <string>

#include "ostrel.h"

namespace ostreltest {

// Listens on 127.0.0.1 at a free port, as the device service does.
class RequestListener {
 public:
  RequestListener();
  ~RequestListener();
  RequestListener(const RequestListener&) = delete;
  RequestListener& operator=(const RequestListener&) = delete;

  int port() const { return m_port; }
  // Accepts one connection and reads it to the end of the stream. False
  // when no connection arrives within timeoutMs.
  bool Receive(std::string* text, int timeoutMs = 5000);

 private:
  int m_socket = -1;
  int m_port = 0;
};

// A copy of a field of a packed record: the checks bind references to their
// arguments, and a reference to a misaligned field is not allowed.
template <typename T>
T Field(T value) {
  return value;
}

// A decoded reply, released with FreeBuffer(msg, 1) when it goes.
struct FreeReply {
  void operator()(_connect_msg* msg) const { Ostrel::FreeBuffer(msg, 1); }
};
using Reply = std::unique_ptr<_connect_msg, FreeReply>;

// A zero-filled result as FormatResData allocates it; released with
// WFMFreeBuffer when it goes.
struct FreeResult {
  void operator()(LPWFSRESULT result) const;
};
using Result = std::unique_ptr<WFSRESULT, FreeResult>;
Result NewResult();

// FormatResData over a copy of text.
Reply Decode(const std::string& text);

// The text of value as FastWriter writes it.
std::string Write(const Json::Value& value);

// A reply envelope of msgType whose "lpWfsResult" is result.
Json::Value Envelope(int msgType, const Json::Value& result, int hService = 1);

// A system event (1047) with dwEventID id and lpBuffer payload.
std::string SystemEvent(int id, const Json::Value& payload);

// Parses text; fails the test when it is not JSON.
Json::Value Parse(const std::string& text);

}  // namespace ostreltest

#endif
