#include "harness.h"

#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <stdexcept>

#include "test_support.h"

namespace devsimtest {

Catcher::Catcher() {
  m_fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  socklen_t length = sizeof address;
  if (m_fd < 0 || ::bind(m_fd, reinterpret_cast<sockaddr*>(&address), sizeof address) < 0 ||
      ::listen(m_fd, 64) < 0 ||
      ::getsockname(m_fd, reinterpret_cast<sockaddr*>(&address), &length) < 0) {
    throw std::runtime_error("catcher cannot listen");
  }
  m_port = ntohs(address.sin_port);
  m_thread = std::thread(&Catcher::Run, this);
}

Catcher::~Catcher() {
  ::shutdown(m_fd, SHUT_RDWR);
  m_thread.join();
  ::close(m_fd);
}

void Catcher::Run() {
  for (;;) {
    int fd = ::accept(m_fd, nullptr, nullptr);
    if (fd < 0) {
      if (errno == EINTR) continue;
      return;
    }
    std::string bytes;
    char buffer[4096];
    ssize_t n;
    while ((n = ::read(fd, buffer, sizeof buffer)) > 0)
      bytes.append(buffer, static_cast<size_t>(n));
    ::close(fd);
    {
      std::lock_guard<std::mutex> guard(m_lock);
      m_frames.push_back(bytes);
    }
    m_arrived.notify_all();
  }
}

bool Catcher::WaitFor(size_t count, int timeoutMs) const {
  std::unique_lock<std::mutex> guard(m_lock);
  return m_arrived.wait_for(guard, std::chrono::milliseconds(timeoutMs),
                            [&] { return m_frames.size() >= count; });
}

std::vector<std::string> Catcher::raw() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_frames;
}

size_t Catcher::count() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_frames.size();
}

Json::Value Catcher::json(size_t i) const {
  std::vector<std::string> frames = raw();
  if (i >= frames.size()) {
    ADD_FAILURE() << "no frame " << i;
    return Json::Value();
  }
  const std::string& frame = frames[i];
  if (frame.size() < 8) {
    ADD_FAILURE() << "frame " << i << " has no header";
    return Json::Value();
  }
  std::string header = frame.substr(0, 8);
  std::string digits = header.substr(0, header.find('\0'));
  EXPECT_EQ(std::to_string(frame.size() - 8), digits) << "header of frame " << i;
  EXPECT_EQ(header.find_first_not_of('\0', digits.size()), std::string::npos)
      << "header padding of frame " << i;
  Json::Value value;
  Json::CharReaderBuilder builder;
  std::unique_ptr<Json::CharReader> reader(builder.newCharReader());
  std::string errors;
  std::string payload = frame.substr(8);
  EXPECT_TRUE(reader->parse(payload.data(), payload.data() + payload.size(), &value, &errors))
      << payload;
  return value;
}

bool SendRaw(int port, const std::string& text) {
  int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address;
  std::memset(&address, 0, sizeof address);
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = htons(static_cast<uint16_t>(port));
  bool sent =
      fd >= 0 && ::connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
      ::send(fd, text.data(), text.size(), MSG_NOSIGNAL) == static_cast<ssize_t>(text.size());
  if (fd >= 0) ::close(fd);
  return sent;
}

Json::Value MakeRequest(int kind, int replyPort, long requestID, long code, int lType,
                        int hService) {
  Json::Value request(Json::objectValue);
  request["hService"] = hService;
  request["lpAppId"] = "APP1";
  request["requestID"] = static_cast<Json::Int64>(requestID);
  request["nCmdType"] = kind;
  request["dwTimeout"] = 5000;
  request["dwCategory"] = kind == 5 ? static_cast<Json::Int64>(code) : 0;
  request["dwCommand"] = kind == 4 ? static_cast<Json::Int64>(code) : 0;
  request["lType"] = lType;
  request["hWnd"] = replyPort;
  // The payload member comes with the codes of the four classes.
  long range = code / 100;
  if ((kind == 4 || kind == 5) && (range == 1 || range == 2 || range == 4 || range == 14)) {
    request["lpDataBuffer"] = Json::Value();
  }
  return request;
}

std::string Render(const Json::Value& json) {
  Json::StreamWriterBuilder builder;
  builder["indentation"] = "";
  return Json::writeString(builder, json) + "\n";
}

const Json::Value& Result(const Json::Value& envelope) { return envelope["lpWfsResult"]; }

devsim::EventOrder Order(const std::string& service, int kind, unsigned long id) {
  devsim::EventOrder order;
  order.service = service;
  order.kind = kind;
  order.id = id;
  return order;
}

Harness::Harness(bool rawLog) {
  devsim::SimulatorOptions options;
  options.services = {{"CardReader", "IDC", 0}, {"Pin", "PIN", 0}};
  options.rawLog = rawLog;
  options.log = [this](const std::string& line) {
    std::lock_guard<std::mutex> guard(m_lock);
    m_lines.push_back(line);
  };
  m_sim = std::make_unique<devsim::Simulator>(options);
  std::string error;
  if (!m_sim->Start(&error)) throw std::runtime_error("simulator did not start: " + error);
}

Harness::~Harness() { m_sim.reset(); }

void Harness::Send(const Json::Value& json, const std::string& service) {
  SendText(Render(json), service);
}

void Harness::SendText(const std::string& text, const std::string& service) {
  size_t before = m_sim->Requests().size();
  ASSERT_TRUE(SendRaw(port(service), text));
  ASSERT_TRUE(m_sim->WaitForRequests(before + 1, 5000));
}

std::vector<std::string> Harness::lines() const {
  std::lock_guard<std::mutex> guard(m_lock);
  return m_lines;
}

int Harness::LinesWith(const std::string& part) const {
  int found = 0;
  for (const std::string& line : lines()) {
    if (line.find(part) != std::string::npos) ++found;
  }
  return found;
}

bool Harness::WaitForLine(const std::string& part, int timeoutMs) const {
  return testsupport::WaitUntil([&] { return LinesWith(part) > 0; }, timeoutMs);
}

}  // namespace devsimtest
