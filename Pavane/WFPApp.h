// The application object: configuration directory, default configuration
// file and the device made for a logical service name.
#ifndef PAVANE_WFPAPP_H
#define PAVANE_WFPAPP_H

#include <QString>

class CDevice;

// Length of the workstation name carried by events of the provider's own making.
#define WFP_WORKSTATION_NAME_LEN 256

class CWFPApp {
 public:
  // Registers the "ULONG" meta-type and creates the configuration directory.
  CWFPApp();
  virtual ~CWFPApp();
  CWFPApp(const CWFPApp&) = delete;
  CWFPApp& operator=(const CWFPApp&) = delete;

  // Copies the packaged default wfp.ini into the configuration directory
  // unless a wfp.ini is already there.
  static void copyIniFile();
  // Creates the directory and its missing parents; returns the path.
  QString mkdirs(QString path);
  // A new device for the logical name, chosen by the "class" and "port" keys
  // of its section in wfp.ini; NULL when there is none. The caller owns it.
  CDevice* GetDevice(const char* lpszLogicalName);

  // This host's name, at most WFP_WORKSTATION_NAME_LEN characters.
  const char* GetWorkstationName() const { return m_szWorkstationName; }

 private:
  char m_szWorkstationName[WFP_WORKSTATION_NAME_LEN + 1];  // set at construction
};

#endif
