#include "INICfgFile.h"

#include <QSettings>

#include <cstring>
#include <mutex>

#include "kestrel.h"

namespace {

const char kModule[] = "WFPX";

// Guards g_pCfg and everything reached through it, so that two opens at the
// same moment cannot corrupt the shared settings object or its value buffer.
std::mutex s_cfgLock;

QString Text(const char* text) { return QString::fromLocal8Bit(text ? text : ""); }

void TraceSetIntPosition(bool enabled, int position) {
  if (enabled) tracelog(1, kModule, "CINICfgFile::SetPrivateProfileInt pos %d", position);
}

}  // namespace

CINICfgFile* g_pCfg = nullptr;

CINICfgFile::CINICfgFile() { std::memset(m_szValue, 0, sizeof(m_szValue)); }

CINICfgFile::~CINICfgFile() { delete m_pSettings; }

QSettings* CINICfgFile::SettingsFor(const char* file, bool tracePositions) {
  if (file == nullptr) {
    // NULL until a file was named
    if (m_pSettings != nullptr) TraceSetIntPosition(tracePositions, 2);
    return m_pSettings;
  }
  TraceSetIntPosition(tracePositions, 2);
  const QString name = QString::fromLocal8Bit(file);
  if (m_pSettings == nullptr) {
    TraceSetIntPosition(tracePositions, 3);
    m_strFileName = name;
    m_pSettings = new QSettings(name, QSettings::IniFormat);
    TraceSetIntPosition(tracePositions, 4);
  } else if (name != m_strFileName) {
    TraceSetIntPosition(tracePositions, 5);
    m_strFileName = name;
    delete m_pSettings;
    m_pSettings = nullptr;
    m_pSettings = new QSettings(name, QSettings::IniFormat);
    TraceSetIntPosition(tracePositions, 6);
  }
  return m_pSettings;
}

const char* CINICfgFile::GetPrivateProfileString(const char* section, const char* key,
                                                 const char* defaultValue, const char* file) {
  try {
    QSettings* settings = SettingsFor(file, false);
    if (settings == nullptr) return defaultValue;
    settings->sync();  // an edited file is read afresh
    settings->beginGroup(Text(section));
    const QString value = settings->value(Text(key), Text(defaultValue)).toString();
    settings->endGroup();
    const QByteArray bytes = value.toLocal8Bit();
    if (value.length() > INICFG_VALUE_BUFFER_SIZE - 1 ||
        bytes.size() > INICFG_VALUE_BUFFER_SIZE - 1)
      return defaultValue;
    std::memset(m_szValue, 0, sizeof(m_szValue));
    std::memcpy(m_szValue, bytes.constData(), static_cast<std::size_t>(bytes.size()));
    return m_szValue;
  } catch (...) {
    return defaultValue;
  }
}

int CINICfgFile::GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                                      const char* file) {
  try {
    QSettings* settings = SettingsFor(file, false);
    if (settings == nullptr) return defaultValue;
    settings->sync();
    settings->beginGroup(Text(section));
    const int value = settings->value(Text(key), defaultValue).toInt();
    settings->endGroup();
    return value;
  } catch (...) {
    return defaultValue;
  }
}

int CINICfgFile::SetPrivateProfileString(const char* section, const char* key,
                                         const char* value, const char* file) {
  try {
    QSettings* settings = SettingsFor(file, false);
    if (settings == nullptr) return 0;
    settings->beginGroup(Text(section));
    settings->setValue(Text(key), Text(value));
    settings->endGroup();
    if (m_bDumpImmediately) DumpImmediately();
    return settings->status() == QSettings::NoError ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

int CINICfgFile::SetPrivateProfileInt(const char* section, const char* key, int value,
                                      const char* file) {
  try {
    TraceSetIntPosition(true, 1);
    QSettings* settings = SettingsFor(file, true);
    if (settings == nullptr) return 0;
    TraceSetIntPosition(true, 7);
    settings->beginGroup(Text(section));
    TraceSetIntPosition(true, 8);
    settings->setValue(Text(key), value);
    TraceSetIntPosition(true, 9);
    settings->endGroup();
    TraceSetIntPosition(true, 10);
    if (m_bDumpImmediately) DumpImmediately();
    TraceSetIntPosition(true, 11);
    return settings->status() == QSettings::NoError ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

void CINICfgFile::SetDumpImmediately(bool dump) { m_bDumpImmediately = dump; }

void CINICfgFile::DumpImmediately() {
  if (m_pSettings != nullptr) m_pSettings->sync();
}

int CINICfgFile::SetPrivateProfileFileName(const char* file) {
  try {
    return file != nullptr && SettingsFor(file, false) != nullptr ? 1 : 0;
  } catch (...) {
    return 0;
  }
}

namespace {

// g_pCfg, made on first use; call with s_cfgLock held.
CINICfgFile& SharedConfig() {
  if (g_pCfg == nullptr) g_pCfg = new CINICfgFile;
  return *g_pCfg;
}

}  // namespace

int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                            char* out, int outSize, const char* file) {
  if (out == nullptr || outSize <= 0) return 0;
  try {
    std::lock_guard<std::mutex> guard(s_cfgLock);
    const char* value = SharedConfig().GetPrivateProfileString(section, key, defaultValue, file);
    const std::size_t size = static_cast<std::size_t>(outSize);
    if (value != nullptr && std::strlen(value) < size) {
      std::memset(out, 0, size);
      std::strcpy(out, value);
      return 1;
    }
    if (defaultValue != nullptr && std::strlen(defaultValue) < size) {
      std::memset(out, 0, size);
      std::strcpy(out, defaultValue);
    }
    return 0;
  } catch (...) {
    return 0;
  }
}

int GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                         const char* file) {
  try {
    std::lock_guard<std::mutex> guard(s_cfgLock);
    return SharedConfig().GetPrivateProfileInt(section, key, defaultValue, file);
  } catch (...) {
    return defaultValue;
  }
}

int SetPrivateProfileString(const char* section, const char* key, const char* value,
                            const char* file) {
  try {
    std::lock_guard<std::mutex> guard(s_cfgLock);
    return SharedConfig().SetPrivateProfileString(section, key, value, file);
  } catch (...) {
    return 0;
  }
}

int SetPrivateProfileInt(const char* section, const char* key, int value, const char* file) {
  try {
    std::lock_guard<std::mutex> guard(s_cfgLock);
    return SharedConfig().SetPrivateProfileInt(section, key, value, file);
  } catch (...) {
    return 0;
  }
}

void SetDumpImmediately(bool dump) {
  try {
    std::lock_guard<std::mutex> guard(s_cfgLock);
    SharedConfig().SetDumpImmediately(dump);
  } catch (...) {
  }
}

void DumpImmediately() {
  try {
    std::lock_guard<std::mutex> guard(s_cfgLock);
    SharedConfig().DumpImmediately();
  } catch (...) {
  }
}

void InitializeINI() {
  std::lock_guard<std::mutex> guard(s_cfgLock);
  delete g_pCfg;  // nothing else holds it: every use runs under the lock
  g_pCfg = nullptr;
}
