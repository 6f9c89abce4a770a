#include "XmlConfig.h"

#include <QByteArray>
#include <QFile>
#include <cstdint>
#include <cstdlib>
#include <cstring>

#include "XmlPackage.h"
#include "kestrel.h"

namespace {

const char kModule[] = "KvFMAT";
const char kDefaultConfigDir[] = "/storage/emulated/0/Ventora/Calyx/";
const char kNameFile[] = "WFSConfig.xml";

// The name file in the configuration directory: WFP_CONFIG_DIR when set,
// as for wfp.ini, otherwise the terminal's fixed directory.
QString DefaultFileName() {
  const QByteArray variable = qgetenv("WFP_CONFIG_DIR");
  QString dir = variable.isEmpty() ? QString::fromLatin1(kDefaultConfigDir)
                                   : QString::fromLocal8Bit(variable);
  if (!dir.endsWith(QLatin1Char('/'))) dir += QLatin1Char('/');
  return dir + QLatin1String(kNameFile);
}

// The leading decimal number of a text (an optional sign, then digits);
// anything else reads as 0.
qint64 LeadingDecimal(const QString& text) {
  return std::strtoll(text.toLatin1().constData(), nullptr, 10);
}

// A number as the name file writes it: signed for names, unsigned for types.
QString SignedKey(unsigned long value) {
  return QString::number(static_cast<int32_t>(static_cast<uint32_t>(value)));
}

}  // namespace

std::atomic<XmlConfig*> XmlConfig::m_Instance{nullptr};
QString XmlConfig::m_strFileName;
std::mutex XmlConfig::m_Lock;

XmlConfig* XmlConfig::GetInstance() {
  XmlConfig* instance = m_Instance.load(std::memory_order_acquire);
  if (instance != nullptr) return instance;
  std::lock_guard<std::mutex> guard(m_Lock);
  instance = m_Instance.load(std::memory_order_relaxed);
  if (instance == nullptr) {
    instance = new XmlConfig();
    instance->InitConfig();
    m_Instance.store(instance, std::memory_order_release);
  }
  return instance;
}

void XmlConfig::Destroy() {
  std::lock_guard<std::mutex> guard(m_Lock);
  delete m_Instance.exchange(nullptr, std::memory_order_acq_rel);
}

void XmlConfig::InitConfigFileName(const char* szFileName) {
  std::lock_guard<std::mutex> guard(m_Lock);
  m_strFileName = szFileName != nullptr ? QString::fromLocal8Bit(szFileName) : QString();
}

QString XmlConfig::ConfigFileName() {
  return m_strFileName.isEmpty() ? DefaultFileName() : m_strFileName;
}

bool XmlConfig::InitConfig() {
  QFile file(ConfigFileName());
  if (!file.open(QIODevice::ReadOnly)) {
    file.setFileName(QLatin1String(kNameFile));
    if (!file.open(QIODevice::ReadOnly)) return false;
  }
  const QString text = QString::fromUtf8(file.readAll());
  file.close();

  XmlPackage package;
  package.ResetXmlPackage();
  package.SetXmlData(text.toLocal8Bit().constData());
  if (!package.ParseXmlData()) return false;
  package.GetXmlAttribute("MESSAGE_NO", m_MessageNo);
  package.GetXmlAttribute("COMMON_ERRORCODE", m_CommonErrorCode);
  package.GetXmlAttributeByPath("root/COMMON_MESSAGE", m_CommonMessage);
  for (const char* className : {"WFS_SERVICE_CLASS_IDC", "WFS_SERVICE_CLASS_PIN",
                                "WFS_SERVICE_CLASS_PTR", "WFS_SERVICE_CLASS_CRD"}) {
    SetModuleConfig(package, className);
  }
  return true;
}

void XmlConfig::SetModuleConfig(XmlPackage& package, const char* className) {
  _tagModuleConfig& module = GetModule(className);
  auto path = [className](const char* list) {
    return QStringLiteral("root/%1/%2").arg(QLatin1String(className), QLatin1String(list))
        .toLatin1();
  };
  package.GetXmlAttributeByPath(path("INFO_COMMAND").constData(), module.infoCommands);
  package.GetXmlAttributeByPath(path("EXECUTE_COMMAND").constData(), module.executeCommands);
  package.GetXmlAttributeByPath(path("MESSAGES").constData(), module.messages);
  package.GetXmlAttributeByPath(path("fwDevice").constData(), module.fwDevice);
  package.GetXmlAttributeByPath(path("WFS_ERROR").constData(), module.errors);
  package.GetXmlAttributeByPath(path("fwMedia").constData(), module.fwMedia);
  package.GetXmlAttributeByPath(path("fwControl").constData(), module.fwControl);
  module.fwControlFlags.clear();
  for (int i = 0; i < module.fwControl.GetLength(); ++i) {
    module.fwControlFlags.append(LeadingDecimal(module.fwControl.GetValueAt(i)));
  }
}

const _tagModuleConfig& XmlConfig::GetModule(int iClass) const {
  switch (iClass) {
    case 1:
      return m_ModulePTR;
    case 2:
      return m_ModuleIDC;
    case 4:
      return m_ModulePIN;
    case 14:
      return m_ModuleCRD;
    default:
      tracelog(4, kModule, "XmlConfig GetModule excption iModule=[%d]", iClass);
      return m_ModuleSpare;
  }
}

_tagModuleConfig& XmlConfig::GetModule(const char* className) {
  const char* name = className != nullptr ? className : "";
  if (std::strcmp(name, "WFS_SERVICE_CLASS_IDC") == 0) return m_ModuleIDC;
  if (std::strcmp(name, "WFS_SERVICE_CLASS_PIN") == 0) return m_ModulePIN;
  if (std::strcmp(name, "WFS_SERVICE_CLASS_PTR") == 0) return m_ModulePTR;
  if (std::strcmp(name, "WFS_SERVICE_CLASS_CRD") == 0) return m_ModuleCRD;
  tracelog(4, kModule, "XmlDocument::GetModule szModuleName=[%s]", name);
  return m_ModuleSpare;
}

template <typename Ask>
QString XmlConfig::Consult(int iClass, Map map, Ask ask) const {
  QString found;
  switch (map) {
    case MAP_MESSAGE_NO:
      return ask(m_MessageNo);
    case MAP_INFCMD:
      return ask(GetModule(iClass).infoCommands);
    case MAP_EXECMD:
      return ask(GetModule(iClass).executeCommands);
    case MAP_MESSAGE:
      found = ask(m_CommonMessage);
      return found.isEmpty() ? ask(GetModule(iClass).messages) : found;
    case MAP_FWDEVICE:
      return ask(GetModule(iClass).fwDevice);
    case MAP_XFSERRORS:
      found = ask(m_CommonErrorCode);
      return found.isEmpty() ? ask(GetModule(iClass).errors) : found;
    case MAP_FWMEDIA:
      return ask(GetModule(iClass).fwMedia);
    case MAP_FWCONTROL:
      return ask(GetModule(iClass).fwControl);
  }
  return found;
}

QString XmlConfig::FlagNames(int iClass, unsigned long flags) const {
  const _tagModuleConfig& module = GetModule(iClass);
  const quint64 number = flags;
  QString names;
  for (int i = 0; i < module.fwControlFlags.size(); ++i) {
    const quint64 flag = static_cast<quint64>(module.fwControlFlags[i]);
    if ((number & flag) != flag) continue;
    names += module.fwControl.GetNameAt(i);
    names += QLatin1Char('|');
  }
  names.chop(1);
  return names;
}

QString XmlConfig::TypeByValue(int iClass, Map map, unsigned int value, bool input) const {
  const _tagModuleConfig& module = GetModule(iClass);
  const QString key = QString::number(value);
  auto type = [&](const CommandCollection& list) {
    return input ? list.GetInputParamByValue(key) : list.GetOutputParamByValue(key);
  };
  QString found;
  switch (map) {
    case MAP_INFCMD:
      return type(module.infoCommands);
    case MAP_EXECMD:
      return type(module.executeCommands);
    case MAP_MESSAGE:
      found = type(m_CommonMessage);
      return found.isEmpty() ? type(module.messages) : found;
    default:
      return found;
  }
}

QString XmlConfig::GetNameByValue(int iClass, Map map, const char* value) {
  const QString key = QString::fromLatin1(value != nullptr ? value : "");
  return GetInstance()->Consult(iClass, map, [&](const auto& list) { return list.GetName(key); });
}

QString XmlConfig::GetNameByValue(int iClass, Map map, unsigned long value) {
  XmlConfig* instance = GetInstance();
  if (map == MAP_FWCONTROL) return instance->FlagNames(iClass, value);
  const QString key = SignedKey(value);
  return instance->Consult(iClass, map, [&](const auto& list) { return list.GetName(key); });
}

QString XmlConfig::GetValueByName(int iClass, Map map, const char* name) {
  const QString key = QString::fromLatin1(name != nullptr ? name : "");
  return GetInstance()->Consult(iClass, map, [&](const auto& list) { return list.GetValue(key); });
}

QString XmlConfig::GetInputParamByValue(int iClass, Map map, unsigned int value) {
  return GetInstance()->TypeByValue(iClass, map, value, true);
}

QString XmlConfig::GetOutputParamByValue(int iClass, Map map, unsigned int value) {
  return GetInstance()->TypeByValue(iClass, map, value, false);
}
