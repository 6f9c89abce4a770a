#include "demo.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <vector>

#include "devsim/simulator.h"
#include "name_file.h"
#include "process_threads.h"
#include "provider_lifetime.h"
#include "result_printer.h"
#include "session_stats.h"
#include "spi_library.h"
#include "transaction.h"
#include "xfs_session.h"

namespace xfsmgr {

namespace {

constexpr int kCompletionGraceMs = 5000;
constexpr int kUnloadPatienceMs = 5000;
const char kProbeName[] = "xfsmgr-configuration-probe";
const DWORD kAllEvents = SERVICE_EVENTS | USER_EVENTS | SYSTEM_EVENTS | EXECUTE_EVENTS;

// A fresh directory that WFP_CONFIG_DIR names while the demo runs; removed
// with its contents at the end.
class ConfigDirectory {
 public:
  ConfigDirectory() {
    const char* base = std::getenv("TMPDIR");
    std::string pattern =
        std::string(base != nullptr && *base != '\0' ? base : "/tmp") + "/xfsmgr-XXXXXX";
    std::vector<char> name(pattern.begin(), pattern.end());
    name.push_back('\0');
    if (::mkdtemp(name.data()) == nullptr) {
      throw std::runtime_error("cannot create a configuration directory from " + pattern);
    }
    m_path = name.data();
    ::setenv("WFP_CONFIG_DIR", (m_path + "/").c_str(), 1);
  }
  ~ConfigDirectory() {
    std::error_code ignored;
    std::filesystem::remove_all(m_path, ignored);
  }
  ConfigDirectory(const ConfigDirectory&) = delete;
  ConfigDirectory& operator=(const ConfigDirectory&) = delete;
  std::string IniFile() const { return m_path + "/wfp.ini"; }
  std::string NameFile() const { return m_path + "/WFSConfig.xml"; }
  const std::string& Path() const { return m_path; }

 private:
  std::string m_path;
};

// A device of the terminal: which service of wfp.ini plays it, and the
// session that opens it (service handles 1 to 4 in this order).
struct Device {
  const char* role;
  int serviceClass;
  devsim::ServiceSpec spec;
  std::unique_ptr<XfsSession> session;
};

// The demo's run, step by step; each step prints what happened.
class Demo {
 public:
  Demo(const Options& options, Console& console) : m_options(options), m_console(console) {
    m_devices.push_back({"card reader", WFS_SERVICE_CLASS_IDC, {}, nullptr});
    m_devices.push_back({"PIN pad", WFS_SERVICE_CLASS_PIN, {}, nullptr});
    m_devices.push_back({"receipt printer", WFS_SERVICE_CLASS_PTR, {}, nullptr});
    m_devices.push_back({"card dispenser", WFS_SERVICE_CLASS_CRD, {}, nullptr});
  }

  int Run() {
    int threadsBefore = CountThreads();
    ConfigDirectory config;
    m_console.Print("WFP_CONFIG_DIR=" + config.Path() + "/ (a fresh directory for this run)");
    copyNameFile(config);
    m_console.Print(UseNameFile());
    SpiLibrary spi;
    bool done = step("load the service provider", [&] {
      return LoadProvider(spi, m_options.library, m_console, &m_why);
    });
    done = done && runWithProvider(spi, config);
    UnloadProvider(spi, threadsBefore, m_console);
    if (!m_stats.empty()) m_console.Print("\n" + StatsTable(m_stats));
    if (!done) return 1;
    m_console.Print("xfsmgr: the transaction completed every step");
    return 0;
  }

 private:
  // Runs one numbered step; on failure prints which and why.
  bool step(const std::string& name, const std::function<bool()>& run) {
    ++m_step;
    m_console.Print("\n== step " + std::to_string(m_step) + ": " + name);
    m_why.clear();
    if (run()) return true;
    m_console.Print("xfsmgr: demo failed at step " + std::to_string(m_step) + " (" + name +
                    "): " + m_why);
    return false;
  }

  // The trace formatter names commands, events and errors from WFSConfig.xml
  // in the configuration directory; the build leaves a copy beside this
  // program. Without it the trace shows numbers only.
  void copyNameFile(const ConfigDirectory& config) {
    std::string source = ProgramDirectory() + "/WFSConfig.xml";
    std::error_code error;
    if (std::filesystem::copy_file(source, config.NameFile(), error)) {
      m_console.Print("name file for the trace: copied " + source);
    } else {
      m_console.Print("no name file for the trace (" + source + ": " + error.message() +
                      "): the trace shows numbers only");
    }
  }

  // The packaged wfp.ini is copied on the first open; a WFPOpen of a name
  // that no section has makes the service provider copy it without opening
  // anything.
  bool copyPackagedIni(SpiLibrary& spi, const ConfigDirectory& config) {
    if (std::filesystem::exists(config.IniFile())) return true;
    std::vector<char> probe(std::begin(kProbeName), std::end(kProbeName));
    WFSVERSION spiVersion{};
    WFSVERSION serviceVersion{};
    HRESULT result = spi.Open(1, probe.data(), nullptr, nullptr, 0, 0, 1, 1, nullptr, 0,
                              &spiVersion, 0, &serviceVersion);
    m_console.Print("-> " + DescribeCall(std::string("WFPOpen(\"") + kProbeName + "\")", result) +
                    ": no such service, so the service provider copies its packaged wfp.ini");
    if (result == WFS_SUCCESS) {
      m_why = std::string("the service provider opened the probe name ") + kProbeName;
      return false;
    }
    if (!std::filesystem::exists(config.IniFile())) {
      m_why = "the service provider did not copy its packaged wfp.ini to " + config.IniFile();
      return false;
    }
    return true;
  }

  // Each device's service: the first section of its class.
  bool findServices(const ConfigDirectory& config) {
    std::vector<devsim::ServiceSpec> services =
        devsim::LoadServicesFromIni(config.IniFile(), &m_why);
    if (services.empty()) return false;
    for (Device& device : m_devices) {
      for (const devsim::ServiceSpec& service : services) {
        if (device.spec.name.empty() &&
            devsim::XfsServiceClass(service.deviceClass) == device.serviceClass) {
          device.spec = service;
        }
      }
      if (device.spec.name.empty()) {
        m_why = config.IniFile() + " has no section for a " + device.role;
        return false;
      }
      m_console.Print(std::string(device.role) + ": [" + device.spec.name +
                      "] class=" + device.spec.deviceClass +
                      " port=" + std::to_string(device.spec.port));
    }
    return true;
  }

  bool openAndRegister(Device& device, DWORD timeOut) {
    XfsSession& session = *device.session;
    return Succeeded("open", session.Finish(session.StartOpen(device.spec.name, timeOut)),
                     &m_why) &&
           Succeeded("register", session.Finish(session.StartRegister(kAllEvents)), &m_why);
  }

  bool runWithProvider(SpiLibrary& spi, const ConfigDirectory& config) {
    if (!step("copy the packaged wfp.ini", [&] { return copyPackagedIni(spi, config); }) ||
        !step("find the four devices in wfp.ini", [&] { return findServices(config); })) {
      return false;
    }
    devsim::SimulatorOptions simOptions;
    for (const Device& device : m_devices) simOptions.services.push_back(device.spec);
    // The customer takes what is presented when the demo says so.
    simOptions.takenAfterMs = 0;
    // The simulator's lines without the wire texts they end in: the results
    // below show what those carried.
    simOptions.log = [this](const std::string& line) {
      m_console.Print("   simulator: " + line.substr(0, line.find(": {")));
    };
    devsim::Simulator simulator(simOptions);
    if (!step("start the simulated device services",
              [&] { return simulator.Start(&m_why); })) {
      return false;
    }
    bool done = runSessions(spi, simulator);
    simulator.Stop();
    return done;
  }

  bool runSessions(SpiLibrary& spi, devsim::Simulator& simulator) {
    const DWORD timeOut = static_cast<DWORD>(m_options.timeoutMs);
    const int waitMs = m_options.timeoutMs + kCompletionGraceMs;
    HSERVICE hService = 0;
    for (Device& device : m_devices) {
      device.session = std::make_unique<XfsSession>(spi, m_console, ++hService, waitMs,
                                                    m_options.showCardData);
    }
    bool done = true;
    for (Device& device : m_devices) {
      done = done && step("open the " + std::string(device.role) + " " + device.spec.name +
                              " and register for its events",
                          [&] { return openAndRegister(device, timeOut); });
    }
    Terminal terminal{{m_devices[0].spec.name, m_devices[0].session.get()},
                      {m_devices[1].spec.name, m_devices[1].session.get()},
                      {m_devices[2].spec.name, m_devices[2].session.get()},
                      {m_devices[3].spec.name, m_devices[3].session.get()},
                      &simulator};
    CustomerSession customer(terminal, m_console, timeOut, waitMs);
    using Action = bool (CustomerSession::*)(std::string*);
    const std::pair<const char*, Action> kSession[] = {
        {"a card is inserted and read", &CustomerSession::InsertAndReadCard},
        {"the customer enters the PIN", &CustomerSession::EnterPin},
        {"the PIN block is fetched", &CustomerSession::FetchPinBlock},
        {"a receipt is printed", &CustomerSession::PrintReceipt},
        {"the receipt is taken", &CustomerSession::TakeReceipt},
        {"a new card is dispensed", &CustomerSession::DispenseCard},
        {"the new card is taken", &CustomerSession::TakeNewCard},
        {"the card is ejected", &CustomerSession::EjectCard},
    };
    for (const auto& [name, action] : kSession) {
      done = done && step(name, [&] { return (customer.*action)(&m_why); });
    }
    // A failed step may have left requests held.
    simulator.SetAnswering(true);
    for (Device& device : m_devices) {
      if (!done) {
        device.session->CloseIfOpen();
        continue;
      }
      done = step("close " + device.spec.name, [&] {
        return Succeeded("close", device.session->Finish(device.session->StartClose()), &m_why);
      });
    }
    done = done && step("unload the service provider", [&] {
      HRESULT unloaded = m_devices[0].session->Unload(kUnloadPatienceMs);
      if (unloaded != WFS_SUCCESS) m_why = "WFPUnloadService returned " + ResultText(unloaded);
      return unloaded == WFS_SUCCESS;
    });
    for (Device& device : m_devices) {
      m_stats.emplace_back(device.spec.name, device.session->Stats());
      device.session.reset();
    }
    return done;
  }

  const Options& m_options;
  Console& m_console;
  std::vector<Device> m_devices;
  std::vector<std::pair<std::string, SessionStats>> m_stats;  // per service, once closed
  int m_step = 0;
  std::string m_why;  // why the running step failed
};

}  // namespace

int RunDemo(const Options& options, Console& console) {
  try {
    return Demo(options, console).Run();
  } catch (const std::exception& e) {
    console.Print(std::string("xfsmgr: demo failed: ") + e.what());
    return 1;
  }
}

}  // namespace xfsmgr
