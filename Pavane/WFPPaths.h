// Where the service provider finds its configuration. The fixed paths are
// the defaults; WFP_CONFIG_DIR (the configuration directory, ending in "/")
// and WFP_MANAGER_CONFIG (the manager's configuration file) replace them
// when set. Read on every call, so a change takes effect at the next open.
#ifndef PAVANE_WFPPATHS_H
#define PAVANE_WFPPATHS_H

#include <QString>

// The configuration directory, always ending in "/".
QString WFPConfigDir();
// The service provider's configuration file wfp.ini in that directory.
QString WFPConfigFilePath();
// The packaged default wfp.ini: the application's asset on Android, a
// resource built into the library elsewhere.
QString WFPPackagedConfigFilePath();
// The XFS manager's configuration file (SPCfg.ini).
QString WFPManagerConfigFilePath();

#endif
