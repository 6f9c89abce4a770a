#include "devsim/services.h"

#include <QFileInfo>
#include <QSettings>
#include <QString>
#include <QStringList>

#include "device_class.h"

namespace devsim {

namespace {

constexpr int kDefaultPort = 10;
constexpr long kHighestPort = 65535;

// A port number 0 to 65535 in decimal; false for anything else.
bool ReadPort(const std::string& text, int* port) {
  if (text.empty() || text.size() > 5) return false;
  long value = 0;
  for (char c : text) {
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  if (value > kHighestPort) return false;
  *port = static_cast<int>(value);
  return true;
}

}  // namespace

std::vector<ServiceSpec> LoadServicesFromIni(const std::string& path, std::string* error) {
  std::vector<ServiceSpec> services;
  QString file = QString::fromLocal8Bit(path.c_str());
  QFileInfo info(file);
  if (!info.exists()) {
    *error = path + ": no such file";
    return services;
  }
  if (!info.isFile() || !info.isReadable()) {
    *error = path + ": cannot be read";
    return services;
  }
  QSettings settings(file, QSettings::IniFormat);
  if (settings.status() != QSettings::NoError) {
    *error = path + ": not a readable INI file";
    return services;
  }
  for (const QString& group : settings.childGroups()) {
    settings.beginGroup(group);
    ServiceSpec spec;
    spec.name = group.toStdString();
    spec.deviceClass = settings.value("class").toString().toStdString();
    std::string portText = settings.value("port", kDefaultPort).toString().trimmed().toStdString();
    settings.endGroup();
    if (spec.deviceClass.empty()) continue;
    if (!ReadPort(portText, &spec.port)) {
      *error =
          path + ": section [" + spec.name + "] has port \"" + portText + "\", not a port number";
      return std::vector<ServiceSpec>();
    }
    services.push_back(spec);
  }
  if (services.empty()) *error = path + ": no section with a \"class\" key";
  return services;
}

bool ParseServiceSpec(const std::string& text, ServiceSpec* out, std::string* error) {
  size_t first = text.find(':');
  size_t last = text.rfind(':');
  if (first == std::string::npos || first == last) {
    *error = "\"" + text + "\" is not NAME:CLASS:PORT";
    return false;
  }
  ServiceSpec spec;
  spec.name = text.substr(0, first);
  spec.deviceClass = text.substr(first + 1, last - first - 1);
  if (spec.name.empty() || spec.deviceClass.empty()) {
    *error = "\"" + text + "\" is not NAME:CLASS:PORT";
    return false;
  }
  if (!ReadPort(text.substr(last + 1), &spec.port)) {
    *error = "\"" + text.substr(last + 1) + "\" in \"" + text + "\" is not a port number";
    return false;
  }
  *out = spec;
  return true;
}

int XfsServiceClass(const std::string& deviceClass) {
  return ServiceClassOf(FamilyOfClassText(deviceClass));
}

}  // namespace devsim
