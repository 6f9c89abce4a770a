// The device service's library and executable names, found through the XFS
// manager's configuration: SPCfg.ini names the directory trees of the
// logical service files and of the service provider files.
#include <QDir>
#include <QDirIterator>
#include <QFileInfo>

#include <cstring>

#include "Device.h"
#include "INICfgFile.h"
#include "WFPCommonFunc.h"
#include "WFPPaths.h"
#include "kestrel.h"

namespace {

const char kModule[] = "WFPX";
const char kDefaultSection[] = "default";

// One text value of a profile file; empty when it is missing or too long.
QByteArray ReadProfileText(const char* section, const char* key, const char* defaultValue,
                           const QString& file) {
  char value[WFP_NAME_LEN + 1] = {0};
  GetPrivateProfileString(section, key, defaultValue, value, sizeof(value),
                          file.toLocal8Bit().constData());
  return QByteArray(value);
}

// The "<name in lower case>.ini" file below directory; empty when none.
QString FindIniFile(const QByteArray& directory, const QByteArray& name) {
  return CDevice::GetFilePath(QString::fromLocal8Bit(directory),
                              QString::fromLocal8Bit(name).toLower() + ".ini");
}

// Stores a value of 1 to WFP_NAME_LEN characters; false when it is empty or longer.
bool StoreName(const QByteArray& value, char (&field)[WFP_NAME_LEN]) {
  if (value.isEmpty() || value.size() > WFP_NAME_LEN) return false;
  std::memset(field, 0, sizeof(field));
  std::strncpy(field, value.constData(), sizeof(field) - 1);
  return true;
}

}  // namespace

int CDevice::GetSPWindowName(long /*unused*/) {
  CFunctionTraceScope trace("GetSPWindowName", "CDevice");
  const QString managerConfig = WFPManagerConfigFilePath();
  const QByteArray logicalDir = ReadProfileText("Manager", "ManagerLogicalServicePath",
                                                "/etc/xfs/logical_hServices", managerConfig);
  const QByteArray providerDir = ReadProfileText("Manager", "ManagerServiceProviderPath",
                                                 "/etc/xfs/hService_providers", managerConfig);
  tracelog(2, kModule, "CDevice::GetSPWindowName ManagerLogicalServicePath = [%s]",
           logicalDir.constData());
  tracelog(2, kModule, "CDevice::GetSPWindowName ManagerServiceProviderPath = [%s]",
           providerDir.constData());

  const QString logicalFile = FindIniFile(logicalDir, m_szLogicalName);
  if (logicalFile.isEmpty()) {
    tracelog(3, kModule, "CDevice::GetSPWindowName can't find logical name =%s!",
             logicalDir.constData());
    return 0;
  }
  if (ReadProfileText(kDefaultSection, "class", "", logicalFile).isEmpty()) {
    tracelog(3, kModule, "CDevice::GetSPWindowName can't find class!");
    return 0;
  }
  const QByteArray provider = ReadProfileText(kDefaultSection, "provider", "", logicalFile);
  if (provider.isEmpty()) {
    tracelog(3, kModule, "CDevice::GetSPWindowName can't find provider!");
    return 0;
  }
  const QString providerFile = FindIniFile(providerDir, provider);
  if (providerFile.isEmpty()) {
    tracelog(3, kModule, "CDevice::GetSPWindowName can't find Service name =%s!",
             providerDir.constData());
    return 0;
  }
  if (!StoreName(ReadProfileText(kDefaultSection, "lib_name", "", providerFile), m_szLibName)) {
    tracelog(3, kModule, "CDevice::GetSPWindowName can't find lib name!");
    return 0;
  }
  if (!StoreName(ReadProfileText(kDefaultSection, "executable", "", providerFile),
                 m_szExecutable)) {
    tracelog(3, kModule, "CDevice::GetSPWindowName can't find executable!");
    return 0;
  }
  return 0;
}

QString CDevice::GetFilePath(QString directory, QString fileName) {
  if (directory.isEmpty() || fileName.isEmpty()) {
    tracelog(4, kModule, "CDevice::GetFilePath filepath or filename is NULL!");
    return QString();
  }
  tracelog(2, kModule, "CDevice::GetFilePath filePath=%s, fileName=%s",
           directory.toLocal8Bit().constData(), fileName.toLocal8Bit().constData());
  QDirIterator it(directory, QStringList{fileName}, QDir::Files | QDir::Hidden,
                  QDirIterator::Subdirectories);
  while (it.hasNext()) {
    it.next();
    if (it.fileInfo().isFile()) return it.fileInfo().absoluteFilePath();
  }
  return QString();
}
