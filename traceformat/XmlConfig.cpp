// Stand-in: no name file is read, so every lookup finds nothing.
#include "XmlConfig.h"

XmlConfig* XmlConfig::GetInstance() { return nullptr; }

void XmlConfig::Destroy() {}

void XmlConfig::InitConfigFileName(const char*) {}

QString XmlConfig::GetNameByValue(int, Map, const char*) { return QString(); }

QString XmlConfig::GetNameByValue(int, Map, unsigned long) { return QString(); }

QString XmlConfig::GetValueByName(int, Map, const char*) { return QString(); }

QString XmlConfig::GetInputParamByValue(int, Map, unsigned int) { return QString(); }

QString XmlConfig::GetOutputParamByValue(int, Map, unsigned int) { return QString(); }
