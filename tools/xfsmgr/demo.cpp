#include "demo.h"

#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <memory>
#include <stdexcept>
#include <vector>

#include "command_inputs.h"
#include "devsim/simulator.h"
#include "process_threads.h"
#include "provider_lifetime.h"
#include "result_printer.h"
#include "spi_library.h"
#include "xfs_session.h"
#include "xfsidc.h"

namespace xfsmgr {

namespace {

constexpr HSERVICE kServiceHandle = 1;
constexpr int kCompletionGraceMs = 5000;
constexpr int kUnloadPatienceMs = 5000;
constexpr WORD kReadAllTracksAndChip =
    WFS_IDC_TRACK1 | WFS_IDC_TRACK2 | WFS_IDC_TRACK3 | WFS_IDC_CHIP;
const char kProbeName[] = "xfsmgr-configuration-probe";

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

bool isCardReaderClass(const std::string& deviceClass) {
  for (const char* name : {"IDC", "IDC_ID", "FPI", "CRD_R", "IDC_TRIP", "IDC_PICC"}) {
    if (deviceClass == name) return true;
  }
  return false;
}

// The section of class IDC, or else the first of another card-reader class.
bool findCardReader(const std::vector<devsim::ServiceSpec>& services, devsim::ServiceSpec* out) {
  const devsim::ServiceSpec* found = nullptr;
  for (const devsim::ServiceSpec& service : services) {
    if (service.deviceClass == "IDC") {
      found = &service;
      break;
    }
    if (found == nullptr && isCardReaderClass(service.deviceClass)) found = &service;
  }
  if (found == nullptr) return false;
  *out = *found;
  return true;
}

// The demo's run, step by step; each step prints what happened.
class Demo {
 public:
  Demo(const Options& options, Console& console) : m_options(options), m_console(console) {}

  int Run() {
    int threadsBefore = CountThreads();
    ConfigDirectory config;
    m_console.Print("WFP_CONFIG_DIR=" + config.Path() + "/ (a fresh directory for this run)");
    copyNameFile(config);
    SpiLibrary spi;
    std::string error;
    if (!LoadProvider(spi, m_options.library, m_console, &error)) return fail(error);
    int status = runWithProvider(spi, config);
    UnloadProvider(spi, threadsBefore, m_console);
    if (status == 0) m_console.Print("xfsmgr: the demo completed every step");
    return status;
  }

 private:
  int fail(const std::string& why) {
    m_console.Print("xfsmgr: demo failed: " + why);
    return 1;
  }

  // A step's outcome: true when it completed with WFS_SUCCESS.
  bool succeeded(const std::string& step, const StepOutcome& outcome) {
    if (!outcome.completed) {
      m_failure = step + ": " + outcome.failure;
      return false;
    }
    if (outcome.hResult != WFS_SUCCESS) {
      m_failure = step + " completed with hResult " + ResultText(outcome.hResult);
      return false;
    }
    return true;
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
    m_console.Print("== configuration: a WFPOpen for no service makes the service provider copy "
                    "its packaged wfp.ini");
    std::vector<char> probe(std::begin(kProbeName), std::end(kProbeName));
    WFSVERSION spiVersion{};
    WFSVERSION serviceVersion{};
    HRESULT result = spi.Open(kServiceHandle, probe.data(), nullptr, nullptr, 0, 0, 1, 1, nullptr,
                              0, &spiVersion, 0, &serviceVersion);
    m_console.Print("-> " + DescribeCall(std::string("WFPOpen(\"") + kProbeName + "\")", result));
    if (result == WFS_SUCCESS) {
      m_failure = std::string("the service provider opened the probe name ") + kProbeName;
      return false;
    }
    if (!std::filesystem::exists(config.IniFile())) {
      m_failure = "the service provider did not copy its packaged wfp.ini to " + config.IniFile();
      return false;
    }
    return true;
  }

  int runWithProvider(SpiLibrary& spi, const ConfigDirectory& config) {
    if (!copyPackagedIni(spi, config)) return fail(m_failure);
    std::string error;
    std::vector<devsim::ServiceSpec> services =
        devsim::LoadServicesFromIni(config.IniFile(), &error);
    if (services.empty()) return fail("cannot read " + config.IniFile() + ": " + error);
    devsim::ServiceSpec cardReader;
    if (!findCardReader(services, &cardReader)) {
      return fail(config.IniFile() + " has no card-reader section");
    }
    m_console.Print("card reader in wfp.ini: [" + cardReader.name + "] class=" +
                    cardReader.deviceClass + " port=" + std::to_string(cardReader.port));

    devsim::SimulatorOptions simOptions;
    simOptions.services.push_back(cardReader);
    simOptions.log = [this](const std::string& line) { m_console.Print("   simulator: " + line); };
    devsim::Simulator simulator(simOptions);
    if (!simulator.Start(&error)) return fail("the simulator did not start: " + error);
    m_console.Print("simulator serving " + cardReader.name + " on 127.0.0.1:" +
                    std::to_string(simulator.Port(cardReader.name)));

    bool done;
    {
      XfsSession session(spi, m_console, kServiceHandle,
                         m_options.timeoutMs + kCompletionGraceMs, m_options.showCardData);
      done = script(session, simulator, cardReader.name);
      simulator.SetAnswering(true);
      session.CloseIfOpen();
      if (done) {
        m_console.Print("== unload");
        HRESULT unloaded = session.Unload(kUnloadPatienceMs);
        if (unloaded != WFS_SUCCESS) {
          m_failure = "WFPUnloadService returned " + ResultText(unloaded);
          done = false;
        }
      }
    }
    simulator.Stop();
    return done ? 0 : fail(m_failure);
  }

  bool script(XfsSession& session, devsim::Simulator& simulator, const std::string& name) {
    DWORD timeOut = static_cast<DWORD>(m_options.timeoutMs);
    m_console.Print("== open");
    if (!succeeded("open", session.Finish(session.StartOpen(name, timeOut)))) return false;
    m_console.Print("== register for all event classes");
    DWORD all = SERVICE_EVENTS | USER_EVENTS | SYSTEM_EVENTS | EXECUTE_EVENTS;
    if (!succeeded("register", session.Finish(session.StartRegister(all)))) return false;
    m_console.Print("== status");
    if (!succeeded("status", session.Finish(session.StartGetInfo(WFS_INF_IDC_STATUS, nullptr)))) {
      return false;
    }
    m_console.Print("== capabilities");
    if (!succeeded("capabilities",
                   session.Finish(session.StartGetInfo(WFS_INF_IDC_CAPABILITIES, nullptr)))) {
      return false;
    }
    if (!readCard(session, simulator, name, timeOut)) return false;
    m_console.Print("== eject");
    if (!succeeded("eject", session.Finish(session.StartExecute(
                                WFS_CMD_IDC_EJECT_CARD,
                                BuildExecuteInput(WFS_CMD_IDC_EJECT_CARD, {WFS_IDC_EXITPOSITION}),
                                timeOut)))) {
      return false;
    }
    m_console.Print("== close");
    return succeeded("close", session.Finish(session.StartClose()));
  }

  // READ_RAW_DATA: the simulator holds the request, reports the card's
  // insertion, and answers once the event has reached the application.
  bool readCard(XfsSession& session, devsim::Simulator& simulator, const std::string& name,
                DWORD timeOut) {
    m_console.Print("== read the card (READ_RAW_DATA); the simulator first reports a card insertion");
    simulator.SetAnswering(false);
    size_t seen = simulator.Requests().size();
    PendingRequest read = session.StartExecute(
        WFS_CMD_IDC_READ_RAW_DATA,
        BuildExecuteInput(WFS_CMD_IDC_READ_RAW_DATA, {kReadAllTracksAndChip}), timeOut);
    if (read.callResult != WFS_SUCCESS) return succeeded("read card", session.Finish(read));
    int waitMs = m_options.timeoutMs + kCompletionGraceMs;
    if (!simulator.WaitForRequests(seen + 1, waitMs)) {
      m_failure = "read card: the simulator received no READ_RAW_DATA request";
      return false;
    }
    devsim::EventOrder insertion;
    insertion.service = name;
    insertion.kind = WFS_EXECUTE_EVENT;
    insertion.id = WFS_EXEE_IDC_MEDIAINSERTED;
    insertion.requestID = static_cast<long>(read.id);
    std::string error;
    if (!simulator.SendEvent(insertion, &error)) {
      m_failure = "read card: the simulator could not send the card insertion: " + error;
      return false;
    }
    if (!succeeded("card insertion event",
                   session.WaitEvent(waitMs, WFS_EXEE_IDC_MEDIAINSERTED))) {
      return false;
    }
    simulator.SetAnswering(true);
    return succeeded("read card", session.Finish(read));
  }

  const Options& m_options;
  Console& m_console;
  std::string m_failure;
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
