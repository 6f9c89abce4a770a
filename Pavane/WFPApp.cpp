#include "WFPApp.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QMetaType>
#include <QSysInfo>

#include <cstring>

#include "INICfgFile.h"
#include "KvSPCRDDevice.h"
#include "KvSPIDCDevice.h"
#include "KvSPPINDevice.h"
#include "KvSPPTRDevice.h"
#include "WFPCommonFunc.h"
#include "WFPPaths.h"
#include "kestrel.h"

namespace {

const char kModule[] = "WFPX";
const int kGetDeviceFaultLine = 215;
const int kDefaultDevicePort = 10;
const int kClassBufferSize = 64;

template <class Device>
CDevice* MakeDevice(const char* logicalName) {
  return new Device(logicalName);
}

// The "class" values served, compared exactly and in this order.
struct DeviceClassChoice {
  const char* value;
  CDevice* (*make)(const char* logicalName);
};

const DeviceClassChoice kDeviceClasses[] = {
    {"IDC", MakeDevice<CKvSPIDCDevice>},      {"PIN", MakeDevice<CKvSPPINDevice>},
    {"IDC_ID", MakeDevice<CKvSPIDCDevice>},   {"FPI", MakeDevice<CKvSPIDCDevice>},
    {"PTR", MakeDevice<CKvSPPTRDevice>},      {"CRD_S", MakeDevice<CKvSPCRDDevice>},
    {"CRD_R", MakeDevice<CKvSPIDCDevice>},    {"IDC_TRIP", MakeDevice<CKvSPIDCDevice>},
    {"IDC_PICC", MakeDevice<CKvSPIDCDevice>},
};

}  // namespace

CWFPApp::CWFPApp() {
  qRegisterMetaType<unsigned long>("ULONG");
  std::memset(m_szWorkstationName, 0, sizeof(m_szWorkstationName));
  const QByteArray host = QSysInfo::machineHostName().toLocal8Bit();
  std::strncpy(m_szWorkstationName, host.constData(), sizeof(m_szWorkstationName) - 1);
  mkdirs(WFPConfigDir());
}

CWFPApp::~CWFPApp() = default;

void CWFPApp::copyIniFile() {
  const QString source = WFPPackagedConfigFilePath();
  if (!QFileInfo(source).isFile()) {
    tracelog(4, kModule, "CWFPApp::copyIniFile ini file not found!");
    return;
  }
  const QString target = WFPConfigFilePath();
  if (QFileInfo(target).isFile()) return;  // an existing file is never overwritten
  if (QFile::copy(source, target)) {
    // A copy of a built-in resource is read-only; the profile functions write to it.
    QFile::setPermissions(target, QFile::permissions(target) | QFileDevice::WriteOwner);
    tracelog(2, kModule, "CWFPApp::copyIniFile copy success!");
  } else {
    tracelog(4, kModule, "CWFPApp::copyIniFile copy failed!");
  }
}

QString CWFPApp::mkdirs(QString path) {
  if (path.isEmpty() || QDir(path).exists()) return path;
  const int slash = path.lastIndexOf('/');
  if (slash < 0) {
    QDir().mkpath(path);
    return path;
  }
  const QString parent = path.left(slash);
  const QString leaf = path.mid(slash + 1);
  // An empty parent is the root of an absolute path: nothing is made above it.
  const QString result = parent.isEmpty() ? parent : mkdirs(parent);
  const QString made = result + "/" + leaf;
  if (!leaf.isEmpty()) QDir().mkpath(made);
  return made;
}

CDevice* CWFPApp::GetDevice(const char* lpszLogicalName) {
  CFunctionTraceScope trace("GetDevice", "CWFPApp");
  try {
    const QByteArray path = WFPConfigFilePath().toLocal8Bit();
    copyIniFile();
    const int port = GetPrivateProfileInt(lpszLogicalName, "port", kDefaultDevicePort,
                                          path.constData());
    char deviceClass[kClassBufferSize] = {0};
    GetPrivateProfileString(lpszLogicalName, "class", "", deviceClass, sizeof(deviceClass),
                            path.constData());
    tracelog(2, kModule,
             "CWFPApp::GetDevice GetSPWindowName logical_name=[%s] port=[%d] class=[%s]",
             TraceText(lpszLogicalName), port, deviceClass);
    if (lpszLogicalName == nullptr || deviceClass[0] == '\0') return nullptr;
    for (const DeviceClassChoice& choice : kDeviceClasses) {
      if (std::strcmp(choice.value, deviceClass) != 0) continue;
      CDevice* device = choice.make(lpszLogicalName);
      tracelog(2, kModule, "CWFPApp::GetDevice [%s] Success", lpszLogicalName);
      device->SetSPWnd(port);
      return device;
    }
    tracelog(2, kModule, "CWFPApp::GetDevice [%s] Failed", lpszLogicalName);
  } catch (...) {
    tracelogException("WFPApp", kGetDeviceFaultLine, kModule,
                      "CWFPApp::GetDevice catch an exception!");
  }
  return nullptr;
}
