#include "pavane_test_support.h"

#include <gtest/gtest.h>
#include <json/writer.h>

#include <cstdlib>
#include <fstream>
#include <sstream>
#include <sys/stat.h>

#include <QThread>

#include "CommonSocketClient.h"
#include "WFPThread.h"
#include "LockGuard.h"
#include "corvid.h"
#include "dllmain.h"
#include "xfsspi.h"

namespace pavanetest {

namespace {

bool SaveVariable(const char* name, std::string* value) {
  const char* old = std::getenv(name);
  if (old != nullptr) *value = old;
  return old != nullptr;
}

void RestoreVariable(const char* name, bool had, const std::string& value) {
  if (had)
    setenv(name, value.c_str(), 1);
  else
    unsetenv(name);
}

}  // namespace

ConfigHome::ConfigHome()
    : m_hadConfigDir(SaveVariable("WFP_CONFIG_DIR", &m_oldConfigDir)),
      m_hadManager(SaveVariable("WFP_MANAGER_CONFIG", &m_oldManager)) {
  setenv("WFP_CONFIG_DIR", dir().c_str(), 1);
  setenv("WFP_MANAGER_CONFIG", managerIni().c_str(), 1);
}

ConfigHome::~ConfigHome() {
  RestoreVariable("WFP_CONFIG_DIR", m_hadConfigDir, m_oldConfigDir);
  RestoreVariable("WFP_MANAGER_CONFIG", m_hadManager, m_oldManager);
}

void ConfigHome::WriteWfpIni(const std::string& text) const {
  ::mkdir(dir().c_str(), 0700);
  WriteFile(wfpIni(), text);
}

void ConfigHome::AddService(const std::string& name, const std::string& deviceClass,
                            int port) const {
  std::string text;
  struct stat info;
  if (::stat(wfpIni().c_str(), &info) == 0) text = ReadFile(wfpIni());
  text += "[" + name + "]\nclass=" + deviceClass + "\nport=" + std::to_string(port) + "\n";
  WriteWfpIni(text);
}

void WriteFile(const std::string& path, const std::string& text) {
  std::ofstream out(path, std::ios::binary | std::ios::trunc);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + path);
}

std::string ReadFile(const std::string& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

AppWindow::AppWindow() : m_hWnd(CorvidCreateWindow()) {}

AppWindow::~AppWindow() { CorvidDestroyWindow(m_hWnd); }

bool AppWindow::Take(Message* message, int timeoutMs) {
  WPARAM wParam = 0;
  LPARAM lParam = 0;
  UINT msg = 0;
  if (CorvidGetMessage(m_hWnd, &msg, &wParam, &lParam, static_cast<DWORD>(timeoutMs)) != 0)
    return false;
  message->msg = msg;
  message->result.reset(reinterpret_cast<LPWFSRESULT>(lParam));
  return true;
}

Json::Value ReceiveRequest(ostreltest::RequestListener& listener, int timeoutMs) {
  std::string text;
  if (!listener.Receive(&text, timeoutMs)) return Json::Value();
  return ostreltest::Parse(text);
}

bool SendReply(long port, const Json::Value& reply) {
  const std::string text = ostreltest::Write(reply);
  CommonSocketClient client;
  return client.PostTextMessage(port, text.c_str(), static_cast<int>(text.size())) == 1;
}

Json::Value Completion(int msgType, int hService, int requestID, int hResult) {
  Json::Value result(Json::objectValue);
  result["hResult"] = hResult;
  result["hService"] = hService;
  result["requestID"] = requestID;
  return ostreltest::Envelope(msgType, result, hService);
}

OpenedService::OpenedService(const ConfigHome& home, HSERVICE hService, HWND hWnd,
                             const char* deviceClass, const char* appID, DWORD timeOut,
                             const std::string& name)
    : m_hService(hService), m_hWnd(hWnd) {
  home.AddService(name, deviceClass, m_listener.port());
  m_openResult = WFPOpen(hService, const_cast<char*>(name.c_str()), nullptr,
                         const_cast<char*>(appID), 0, timeOut, hWnd, 1, nullptr, 0, nullptr, 0,
                         nullptr);
  if (m_openResult == WFS_SUCCESS) m_openRequest = ReceiveRequest(m_listener);
}

OpenedService::~OpenedService() {
  if (m_openResult == WFS_SUCCESS && !m_closed) {
    EXPECT_TRUE(Close());
  }
}

CDevice* OpenedService::device() const {
  _stServiceItem item;
  CWFPCommonFunc::FindService(m_hService, item);
  return item.pDevice;
}

bool OpenedService::Close(REQUESTID reqID, testsupport::TraceCapture* capture) {
  m_closed = true;
  std::unique_ptr<testsupport::TraceCapture> own;
  if (capture == nullptr) own.reset(capture = new testsupport::TraceCapture);
  testsupport::TraceCapture& trace = *capture;
  static const char kDestroyed[] = "[CDevice::~CDevice] <=====";
  static const char kWorkerGone[] = "[CDeviceExecuteThread::~CDeviceExecuteThread] <=====";
  const std::size_t start = trace.lines().size();
  if (WFPClose(m_hService, m_hWnd, reqID) != WFS_SUCCESS) return false;
  // Time-out notices of earlier executes may come first.
  Json::Value request;
  do {
    request = ReceiveRequest(m_listener);
  } while (request["nCmdType"].asInt() == KvSP_CMD_TIMEOUT);
  if (request["nCmdType"].asInt() != KvSP_CMD_CLOSE || request["hService"].asInt() != m_hService ||
      request["requestID"].asUInt() != reqID || request["hWnd"].asInt() != windowPort())
    return false;
  if (!SendReply(windowPort(), Completion(KvSP_CLOSE_COMPLETE, m_hService,
                                          static_cast<int>(reqID))))
    return false;
  // The device is destroyed on the closing worker's thread, which then
  // disposes of itself; the test must not end before that thread does.
  // Workers cancelled by the stop go before the device; the closing one after it.
  auto closingWorkerGone = [&] {
    const std::vector<testsupport::TraceLine> lines = trace.lines();
    bool deviceGone = false;
    for (std::size_t i = start; i < lines.size(); ++i) {
      if (lines[i].text == kDestroyed) deviceGone = true;
      if (deviceGone && lines[i].text == kWorkerGone) return true;
    }
    return false;
  };
  const bool workerGone = testsupport::WaitUntil(closingWorkerGone, 10000);
  QThread::msleep(50);
  CWFPThread::JoinEndedThreads();
  return workerGone;
}

std::vector<_stRegHwndItem> Registrations(HSERVICE hService) {
  CLockGuard guard(g_csRegHwndLock);
  std::vector<_stRegHwndItem> found;
  for (const _stRegHwndItem& entry : g_listRegHwndItems)
    if (entry.hService == hService) found.push_back(entry);
  return found;
}

void ClearTables() {
  {
    CLockGuard guard(g_csServiceLock);
    g_listServiceItems.clear();
  }
  CLockGuard guard(g_csRegHwndLock);
  g_listRegHwndItems.clear();
}

}  // namespace pavanetest
