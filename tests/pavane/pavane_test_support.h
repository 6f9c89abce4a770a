// Helpers of the service provider tests: configuration homes, a device
// service stand-in, application windows and devices that record or fail.
#ifndef TESTS_PAVANE_PAVANE_TEST_SUPPORT_H
#define TESTS_PAVANE_PAVANE_TEST_SUPPORT_H

#include <json/value.h>

#include <memory>
#include <stdexcept>
#include <string>
#include <vector>

#include "../ostrel/ostrel_test_support.h"
#include "KvSPIDCDevice.h"
#include "WFPCommonFunc.h"
#include "test_support.h"

namespace pavanetest {

// A temporary configuration directory and manager configuration file,
// named by WFP_CONFIG_DIR and WFP_MANAGER_CONFIG while the object lives.
class ConfigHome {
 public:
  ConfigHome();
  ~ConfigHome();
  ConfigHome(const ConfigHome&) = delete;
  ConfigHome& operator=(const ConfigHome&) = delete;

  std::string dir() const { return m_dir.path() + "/config/"; }
  std::string wfpIni() const { return dir() + "wfp.ini"; }
  std::string managerIni() const { return m_dir.file("SPCfg.ini"); }
  std::string root() const { return m_dir.path(); }

  // Writes wfp.ini (creating the directory).
  void WriteWfpIni(const std::string& text) const;
  // Adds a section with the given class and port to wfp.ini.
  void AddService(const std::string& name, const std::string& deviceClass, int port) const;

 private:
  testsupport::TempDir m_dir;
  std::string m_oldConfigDir, m_oldManager;
  bool m_hadConfigDir, m_hadManager;
};

void WriteFile(const std::string& path, const std::string& text);
std::string ReadFile(const std::string& path);

// An application window of Corvid, destroyed (with what it still holds)
// when the object goes.
class AppWindow {
 public:
  AppWindow();
  ~AppWindow();
  AppWindow(const AppWindow&) = delete;
  AppWindow& operator=(const AppWindow&) = delete;

  HWND handle() const { return m_hWnd; }
  // The next message, waiting up to timeoutMs; false when none came. The
  // result is owned by `result` (freed when it goes).
  struct Message {
    UINT msg = 0;
    ostreltest::Result result;
  };
  bool Take(Message* message, int timeoutMs = 5000);

 private:
  HWND m_hWnd;
};

// The request of the device service stand-in, parsed.
Json::Value ReceiveRequest(ostreltest::RequestListener& listener, int timeoutMs = 5000);

// Sends one framed reply text to port (a message window).
bool SendReply(long port, const Json::Value& reply);

// A completion envelope of message number msgType for (hService, requestID).
Json::Value Completion(int msgType, int hService, int requestID, int hResult = 0);

// An opened logical service with its device service stand-in.
class OpenedService {
 public:
  // Writes the section, calls WFPOpen and takes the open request. appID may
  // be NULL.
  OpenedService(const ConfigHome& home, HSERVICE hService, HWND hWnd,
                const char* deviceClass = "IDC", const char* appID = nullptr,
                DWORD timeOut = 0, const std::string& name = "CardReader");
  // Closes the service when the test has not done so.
  ~OpenedService();
  OpenedService(const OpenedService&) = delete;
  OpenedService& operator=(const OpenedService&) = delete;

  HRESULT openResult() const { return m_openResult; }
  const Json::Value& openRequest() const { return m_openRequest; }
  long windowPort() const { return m_openRequest["hWnd"].asInt(); }
  ostreltest::RequestListener& listener() { return m_listener; }
  CDevice* device() const;

  // WFPClose, the close request, its completion, and the device's end.
  // Returns false when a step did not happen. A test that captures the
  // trace passes its capture (only one can run at a time).
  bool Close(REQUESTID reqID = 9000, testsupport::TraceCapture* capture = nullptr);
  // The test has ended the service itself.
  void Forget() { m_closed = true; }

 private:
  ostreltest::RequestListener m_listener;
  HSERVICE m_hService;
  HWND m_hWnd;
  HRESULT m_openResult;
  Json::Value m_openRequest;
  bool m_closed = false;
};

// A card-reader device whose request operations record their request and
// return a fixed result, or throw.
class RecordingDevice : public CKvSPIDCDevice {
 public:
  explicit RecordingDevice(const char* name = "Recorder") : CKvSPIDCDevice(name) {}

  int result = 77;
  bool throws = false;
  std::vector<std::string> calls;
  std::vector<_stRequestData> requests;

  int ExecuteRequestProcess(_stRequestData* r) override { return Record("execute", r); }
  int CancelRequestProcess(_stRequestData* r) override { return Record("cancel", r); }
  int ImmediateOpen(_stRequestData* r) override { return Record("open", r); }
  int ImmediateGetInfo(_stRequestData* r) override { return Record("getinfo", r); }
  int ImmediateClose(_stRequestData* r) override { return Record("close", r); }
  int ImmediateLock(_stRequestData* r) override { return Record("lock", r); }
  int ImmediateUnLock(_stRequestData* r) override { return Record("unlock", r); }
  int ImmediateRegister(_stRequestData* r) override { return Record("register", r); }
  int ImmediateDeregister(_stRequestData* r) override { return Record("deregister", r); }

 private:
  int Record(const char* call, _stRequestData* r) {
    calls.push_back(call);
    requests.push_back(*r);
    if (throws) throw std::runtime_error(call);
    return result;
  }
};

// Enters a device in the service table under hService for the life of the
// object; the device is destroyed afterwards.
template <class Device>
class ServiceEntry {
 public:
  explicit ServiceEntry(HSERVICE hService, Device* device = new Device())
      : m_hService(hService), m_device(device) {
    _stServiceItem item;
    if (!CWFPCommonFunc::AppendService(hService, m_device->GetLogicalName(), m_device.get(),
                                       item))
      throw std::runtime_error("AppendService failed");
  }
  ~ServiceEntry() {
    _stServiceItem item;
    CWFPCommonFunc::DeleteService(m_hService, item);
  }
  ServiceEntry(const ServiceEntry&) = delete;
  ServiceEntry& operator=(const ServiceEntry&) = delete;
  Device& device() { return *m_device; }

 private:
  HSERVICE m_hService;
  std::unique_ptr<Device> m_device;
};

// Registrations of hService in the registration table, in table order.
std::vector<_stRegHwndItem> Registrations(HSERVICE hService);
// Empties both tables.
void ClearTables();

}  // namespace pavanetest

#endif
