#include "ostrel_test_support.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <json/reader.h>
#include <json/writer.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstring>
#include <stdexcept>
#include <vector>

#include "corvid.h"
#include "test_support.h"

namespace ostreltest {

RequestListener::RequestListener() {
  for (int attempt = 0; attempt < 20 && m_socket < 0; ++attempt) {
    int port = testsupport::FreePort();
    int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) throw std::runtime_error("socket failed");
    sockaddr_in address;
    std::memset(&address, 0, sizeof address);
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(static_cast<uint16_t>(port));
    if (::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
        ::listen(fd, 16) == 0) {
      m_socket = fd;
      m_port = port;
    } else {
      ::close(fd);
    }
  }
  if (m_socket < 0) throw std::runtime_error("no port to listen on");
}

RequestListener::~RequestListener() {
  if (m_socket >= 0) ::close(m_socket);
}

bool RequestListener::Receive(std::string* text, int timeoutMs) {
  pollfd waiting{m_socket, POLLIN, 0};
  if (::poll(&waiting, 1, timeoutMs) != 1) return false;
  int connection = ::accept(m_socket, nullptr, nullptr);
  if (connection < 0) return false;
  text->clear();
  char chunk[4096];
  for (;;) {
    ssize_t got = ::read(connection, chunk, sizeof chunk);
    if (got <= 0) break;
    text->append(chunk, static_cast<size_t>(got));
  }
  ::close(connection);
  return true;
}

void FreeResult::operator()(LPWFSRESULT result) const { WFMFreeBuffer(result); }

Result NewResult() {
  LPVOID block = nullptr;
  EXPECT_EQ(WFMAllocateBuffer(sizeof(WFSRESULT), WFS_MEM_ZEROINIT, &block), WFS_SUCCESS);
  return Result(static_cast<LPWFSRESULT>(block));
}

Reply Decode(const std::string& text) {
  std::vector<char> copy(text.begin(), text.end());
  copy.push_back('\0');
  return Reply(Ostrel::FormatResData(copy.data()));
}

std::string Write(const Json::Value& value) {
  Json::FastWriter writer;
  return writer.write(value);
}

Json::Value Envelope(int msgType, const Json::Value& result, int hService) {
  Json::Value root(Json::objectValue);
  root["dwMsgType"] = msgType;
  root["hService"] = hService;
  root["lpWfsResult"] = result;
  return root;
}

std::string SystemEvent(int id, const Json::Value& payload) {
  Json::Value result(Json::objectValue);
  result["hResult"] = 0;
  result["hService"] = 1;
  result["requestID"] = 0;
  result["dwEventID"] = id;
  result["lpBuffer"] = payload;
  return Write(Envelope(1047, result));
}

Json::Value Parse(const std::string& text) {
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  Json::Value root;
  std::string errors;
  EXPECT_TRUE(reader->parse(text.data(), text.data() + text.size(), &root, &errors)) << errors;
  return root;
}

}  // namespace ostreltest
