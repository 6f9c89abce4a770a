#include "WFPPaths.h"

#include <QByteArray>

namespace {

const char kDefaultConfigDir[] = "/storage/emulated/0/Ventora/Calyx/";
const char kDefaultManagerConfig[] = "/opt/Norvik_SP/cfg/SPCfg.ini";

// The variable's value, or `fallback` when it is unset or empty.
QString FromEnvironment(const char* variable, const char* fallback) {
  const QByteArray value = qgetenv(variable);
  return value.isEmpty() ? QString::fromLocal8Bit(fallback) : QString::fromLocal8Bit(value);
}

}  // namespace

QString WFPConfigDir() {
  QString dir = FromEnvironment("WFP_CONFIG_DIR", kDefaultConfigDir);
  if (!dir.endsWith('/')) dir += '/';
  return dir;
}

QString WFPConfigFilePath() { return WFPConfigDir() + "wfp.ini"; }

QString WFPPackagedConfigFilePath() {
#ifdef Q_OS_ANDROID
  return QStringLiteral("assets:/cfg/wfp.ini");
#else
  return QStringLiteral(":/cfg/wfp.ini");
#endif
}

QString WFPManagerConfigFilePath() {
  return FromEnvironment("WFP_MANAGER_CONFIG", kDefaultManagerConfig);
}
