#include "name_file.h"

#include "XmlConfig.h"
#include "scrivel.h"
#include "spi_library.h"

namespace xfsmgr {

namespace {

const char kNameFile[] = "WFSConfig.xml";

// The service class of a category, command or event: its hundreds.
int classOf(DWORD code) { return static_cast<int>(code / 100); }

std::string name(int serviceClass, XmlConfig::Map map, unsigned long value) {
  return XmlConfig::GetNameByValue(serviceClass, map, value).toStdString();
}

bool namesLoaded() { return !MessageName(WFS_OPEN_COMPLETE).empty(); }

}  // namespace

std::string UseNameFile() {
  if (namesLoaded()) return std::string("names from the name file ") + kNameFile;
  const std::string beside = ProgramDirectory() + "/" + kNameFile;
  InitConfigFileName(beside.c_str());
  XmlConfig::Destroy();  // the next lookup loads the file named
  if (namesLoaded()) return "names from the name file " + beside;
  return std::string("no name file ") + kNameFile +
         " found: names are not shown, and structures are not rendered";
}

std::string ResultName(HRESULT result, DWORD code) {
  return name(classOf(code), XmlConfig::MAP_XFSERRORS, static_cast<unsigned long>(result));
}

std::string MessageName(UINT message) { return name(0, XmlConfig::MAP_MESSAGE_NO, message); }

std::string CategoryName(DWORD category) {
  return name(classOf(category), XmlConfig::MAP_INFCMD, category);
}

// Below 100 the export answers with the number itself: no command has a name there.
std::string CommandName(DWORD command) {
  if (command < 100) return std::string();
  return GetCmdNameByCmdID(std::to_string(command).c_str()).toStdString();
}

std::string EventName(DWORD eventId) {
  return name(classOf(eventId), XmlConfig::MAP_MESSAGE, eventId);
}

}  // namespace xfsmgr
