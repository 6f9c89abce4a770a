// INI profile access through Qt's QSettings, and the free profile functions
// over the one shared profile object g_pCfg.
#ifndef PAVANE_INICFGFILE_H
#define PAVANE_INICFGFILE_H

#include <QString>

class QSettings;

#define INICFG_VALUE_BUFFER_SIZE 256

// One settings object at a time, re-created whenever a call names another
// file (a NULL file name means the current one). Not safe for concurrent
// use by itself: the free functions below serialise access to g_pCfg.
class CINICfgFile {
 public:
  CINICfgFile();
  virtual ~CINICfgFile();
  CINICfgFile(const CINICfgFile&) = delete;
  CINICfgFile& operator=(const CINICfgFile&) = delete;

  // The value, or defaultValue (also for a text of more than 255
  // characters). The returned text stays valid until the next call.
  const char* GetPrivateProfileString(const char* section, const char* key,
                                      const char* defaultValue, const char* file);
  int GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                           const char* file);
  // 1 written, 0 failed.
  int SetPrivateProfileString(const char* section, const char* key, const char* value,
                              const char* file);
  int SetPrivateProfileInt(const char* section, const char* key, int value, const char* file);

  void SetDumpImmediately(bool dump);
  void DumpImmediately();
  // Selects the file; 1, or 0 on failure.
  int SetPrivateProfileFileName(const char* file);

 private:
  // The settings object for `file`, made or replaced as needed; NULL when
  // no file was ever named. tracePositions: the progress lines of
  // SetPrivateProfileInt.
  QSettings* SettingsFor(const char* file, bool tracePositions);

  QString m_strFileName;
  QSettings* m_pSettings = nullptr;  // owned
  char m_szValue[INICFG_VALUE_BUFFER_SIZE];
  bool m_bDumpImmediately = true;
};

// The shared profile object, made by the first free function that needs it.
extern CINICfgFile* g_pCfg;

// 1 when the value (or the default) fits `out`, 0 otherwise (then `out`
// holds the default when that fits, and is untouched when it does not).
int GetPrivateProfileString(const char* section, const char* key, const char* defaultValue,
                            char* out, int outSize, const char* file);
int GetPrivateProfileInt(const char* section, const char* key, int defaultValue,
                         const char* file);
int SetPrivateProfileString(const char* section, const char* key, const char* value,
                            const char* file);
int SetPrivateProfileInt(const char* section, const char* key, int value, const char* file);
void SetDumpImmediately(bool dump);
void DumpImmediately();
// Forgets g_pCfg so that the next call makes a new one.
void InitializeINI();

#endif
