// Stand-in for the name maps of WFSConfig.xml while the XML reader is built
// elsewhere: the interface the renderers call, with every lookup empty.
#ifndef TRACEFORMAT_XMLCONFIG_H
#define TRACEFORMAT_XMLCONFIG_H

#include <QString>

class XmlConfig {
 public:
  // The eight map selectors.
  enum Map {
    MAP_MESSAGE_NO,
    MAP_INFCMD,
    MAP_EXECMD,
    MAP_MESSAGE,
    MAP_FWDEVICE,
    MAP_XFSERRORS,
    MAP_FWMEDIA,
    MAP_FWCONTROL,
  };

  static XmlConfig* GetInstance();
  static void Destroy();
  static void InitConfigFileName(const char* szFileName);

  static QString GetNameByValue(int iClass, Map map, const char* value);
  static QString GetNameByValue(int iClass, Map map, unsigned long value);
  static QString GetValueByName(int iClass, Map map, const char* name);
  static QString GetInputParamByValue(int iClass, Map map, unsigned int value);
  static QString GetOutputParamByValue(int iClass, Map map, unsigned int value);
};

#endif
