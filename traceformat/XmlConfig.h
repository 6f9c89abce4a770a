// The name maps of the trace formatter, loaded once from the name file
// WFSConfig.xml: the names of window messages, commands, categories,
// events, error codes, device and media states and media-control flags,
// and the structure type names of each command's input and of each
// command's or event's output, per service class.
//
// The name file is searched at the path that InitConfigFileName set; when
// none was set, in the configuration directory (WFP_CONFIG_DIR when set,
// otherwise /storage/emulated/0/Ventora/Calyx/); when it cannot be opened
// there, as WFSConfig.xml in the current directory. A missing or broken
// file leaves every map empty: names render empty and no type is known.
//
// Concurrency: the instance is created, and the file loaded, by the first
// GetInstance (or lookup) under a lock, so any number of threads may look
// up at once from the start; after loading the maps are only read.
// InitConfigFileName may be called at any time and takes effect at the next
// load. Destroy must not run while another thread looks up a name.
#ifndef TRACEFORMAT_XMLCONFIG_H
#define TRACEFORMAT_XMLCONFIG_H

#include <QString>
#include <QVector>
#include <atomic>
#include <mutex>

#include "CommandCollection.h"
#include "ConfigNameValue.h"

class XmlPackage;

// The lists of one service class, as its section of the name file has them.
struct _tagModuleConfig {
  CommandCollection infoCommands;     // INFO_COMMAND: get-info categories
  CommandCollection executeCommands;  // EXECUTE_COMMAND: execute commands
  CommandCollection messages;         // MESSAGES: the class's events
  ConfigNameValue fwDevice;           // device states
  ConfigNameValue errors;             // WFS_ERROR: the class's own error codes
  ConfigNameValue fwMedia;            // media states
  ConfigNameValue fwControl;          // media-control flag bits
  // fwControl's values read as decimal numbers, in list order.
  QVector<qint64> fwControlFlags;
};

class XmlConfig {
 public:
  // The eight map selectors.
  enum Map {
    MAP_MESSAGE_NO,  // window messages
    MAP_INFCMD,      // the class's get-info categories
    MAP_EXECMD,      // the class's execute commands
    MAP_MESSAGE,     // the common (system) events, then the class's events
    MAP_FWDEVICE,    // the class's device states
    MAP_XFSERRORS,   // the common error codes, then the class's own
    MAP_FWMEDIA,     // the class's media states
    MAP_FWCONTROL,   // the class's media-control flags
  };

  static XmlConfig* GetInstance();  // loads the name file on first use
  static void Destroy();            // the next GetInstance loads the file again
  static void InitConfigFileName(const char* szFileName);  // NULL: the default path

  // Names: the number is looked up as its signed decimal text (fwControl:
  // the names of all flags whose bits are set, joined by "|"). Empty when
  // not found.
  static QString GetNameByValue(int iClass, Map map, const char* value);
  static QString GetNameByValue(int iClass, Map map, unsigned long value);
  static QString GetValueByName(int iClass, Map map, const char* name);
  // Structure type names of a command's input / a command's or event's
  // output (MAP_INFCMD, MAP_EXECMD, MAP_MESSAGE; the value as unsigned
  // decimal). Empty when not found.
  static QString GetInputParamByValue(int iClass, Map map, unsigned int value);
  static QString GetOutputParamByValue(int iClass, Map map, unsigned int value);

  // Loading: the whole file, and one class's seven lists from its section.
  // Both run inside the first GetInstance; they change the maps, so they
  // must not run while other threads look up.
  bool InitConfig();
  void SetModuleConfig(XmlPackage& package, const char* className);

  // The module of class 1, 2, 4 or 14, or of "WFS_SERVICE_CLASS_PTR",
  // "..._IDC", "..._PIN", "..._CRD"; anything else: a trace line and the
  // spare module, which no section fills.
  const _tagModuleConfig& GetModule(int iClass) const;
  _tagModuleConfig& GetModule(const char* className);

 private:
  XmlConfig() = default;
  XmlConfig(const XmlConfig&) = delete;
  XmlConfig& operator=(const XmlConfig&) = delete;

  // The path that a load tries first; read under m_Lock.
  static QString ConfigFileName();
  // Asks the lists that `map` consults, in order, until one answers.
  template <typename Ask>
  QString Consult(int iClass, Map map, Ask ask) const;
  QString FlagNames(int iClass, unsigned long flags) const;
  QString TypeByValue(int iClass, Map map, unsigned int value, bool input) const;

  ConfigNameValue m_MessageNo;
  ConfigNameValue m_CommonErrorCode;
  CommandCollection m_CommonMessage;
  _tagModuleConfig m_ModulePTR;
  _tagModuleConfig m_ModuleIDC;
  _tagModuleConfig m_ModulePIN;
  _tagModuleConfig m_ModuleCRD;
  _tagModuleConfig m_ModuleSpare;

  static std::atomic<XmlConfig*> m_Instance;  // written under m_Lock
  static QString m_strFileName;               // under m_Lock; empty: the default path
  static std::mutex m_Lock;
};

#endif
