// Reply side of the PIN pad (PIN): the output structures of its get-info
// and execute completions, built below the result from the reply's
// "lpBuffer".
#ifndef OSTREL_JSONUNFORMAT_PIN_H
#define OSTREL_JSONUNFORMAT_PIN_H

#include "xfsapi.h"

namespace Json {
class Value;
}

class JsonUnformat_PIN {
 public:
  // Choose the decoder by u.dwCommandCode. 1 for a code without output
  // (lpBuffer NULL) and for an unknown code (after its line); 0 after a
  // caught fault; else the decoder's result.
  static int UnformatInfo(LPWFSRESULT result, Json::Value* value);
  static int UnformatExecute(LPWFSRESULT result, Json::Value* value);

  // Each builds its output in result->lpBuffer; 1 on success, 0 after its
  // failure line (lpBuffer NULL or partly filled, released with the result).
  // Get-info.
  static int UnformatStatus(LPWFSRESULT result, Json::Value* value);        // WFSPINSTATUS
  static int UnformatCapabilities(LPWFSRESULT result, Json::Value* value);  // WFSPINCAPS
  // NULL-terminated arrays of WFSPINKEYDETAIL and WFSPINKEYDETAILEX pointers.
  static int UnformatKeyDetail(LPWFSRESULT result, Json::Value* value);
  static int UnformatKeyDetailEx(LPWFSRESULT result, Json::Value* value);
  static int UnformatFunckeyDetail(LPWFSRESULT result, Json::Value* value);  // WFSPINFUNCKEYDETAIL
  static int UnformatHsmTdata(LPWFSRESULT result, Json::Value* value);       // WFSXDATA
  static int UnformatSecurekeyDetail(LPWFSRESULT result, Json::Value* value);
  static int UnformatQueryLogicalHsmDetail(LPWFSRESULT result, Json::Value* value);

  // Execute, by command. WFSXDATA: crypt, import key, PIN block,
  // initialisation, journal, PIN block ex.
  static int UnformatCrypt(LPWFSRESULT result, Json::Value* value);
  static int UnformatImportKey(LPWFSRESULT result, Json::Value* value);
  static int UnformatGetPin(LPWFSRESULT result, Json::Value* value);  // WFSPINENTRY
  static int UnformatGetPinBlock(LPWFSRESULT result, Json::Value* value);
  static int UnformatGetData(LPWFSRESULT result, Json::Value* value);  // WFSPINDATA
  static int UnformatInitialization(LPWFSRESULT result, Json::Value* value);
  // BOOL: the reply's value itself.
  static int UnformatLocalDes(LPWFSRESULT result, Json::Value* value);
  static int UnformatLocalEurocheque(LPWFSRESULT result, Json::Value* value);
  static int UnformatLocalVisa(LPWFSRESULT result, Json::Value* value);
  static int UnformatLocalBanksys(LPWFSRESULT result, Json::Value* value);
  // The offset text: the reply's value itself.
  static int UnformatCreateOffset(LPWFSRESULT result, Json::Value* value);
  static int UnformatPresentIDC(LPWFSRESULT result, Json::Value* value);     // WFSPINPRESENTRESULT
  static int UnformatBansysIO(LPWFSRESULT result, Json::Value* value);       // WFSPINBANKSYSIO
  static int UnformatSecureMsgSend(LPWFSRESULT result, Json::Value* value);  // WFSPINSECUREMESSAGE
  static int UnformatGetJournal(LPWFSRESULT result, Json::Value* value);
  static int UnformatEnvIO(LPWFSRESULT result, Json::Value* value);  // WFSPINENCIO, no data
  static int UnformatImportRsaPublicKey(LPWFSRESULT result, Json::Value* value);
  static int UnformatExportRsaIssureSignedItem(LPWFSRESULT result, Json::Value* value);
  static int UnformatImportRsaSignedDesKey(LPWFSRESULT result, Json::Value* value);
  static int UnformatExportRsaEppSignedItem(LPWFSRESULT result, Json::Value* value);
  static int UnformatLoadCertificate(LPWFSRESULT result, Json::Value* value);
  static int UnformatGetCertificate(LPWFSRESULT result, Json::Value* value);
  static int UnformatReplaceCertificate(LPWFSRESULT result, Json::Value* value);
  static int UnformatStartKeyExchange(LPWFSRESULT result, Json::Value* value);
  static int UnformatImportRsaEncipheredPkcs7Key(LPWFSRESULT result, Json::Value* value);
  static int UnformatEmvImportPublicKey(LPWFSRESULT result, Json::Value* value);
  static int UnformatDigest(LPWFSRESULT result, Json::Value* value);
  static int UnformatSecureKeyEntry(LPWFSRESULT result, Json::Value* value);
  static int UnformatGenerateKCV(LPWFSRESULT result, Json::Value* value);  // WFSPINKCV
  static int UnformatGetPinBlockEx(LPWFSRESULT result, Json::Value* value);
  static int UnformatGetPinEx(LPWFSRESULT result, Json::Value* value);  // WFSPINGETPINEXOUT

  // The commands without output structure: lpBuffer stays NULL; 1.
  static int UnformatDeriveKey(LPWFSRESULT result, Json::Value* value);
  static int UnformatReset(LPWFSRESULT result, Json::Value* value);
  static int UnformatHsmSetData(LPWFSRESULT result, Json::Value* value);
  static int UnformatSecureMsgReceive(LPWFSRESULT result, Json::Value* value);
  static int UnformatImportKeyEx(LPWFSRESULT result, Json::Value* value);
  static int UnformatHsmInit(LPWFSRESULT result, Json::Value* value);
  static int UnformatGenerateRsaKeyPair(LPWFSRESULT result, Json::Value* value);
  static int UnformatSetGuidanceLight(LPWFSRESULT result, Json::Value* value);
  static int UnformatMaintainPin(LPWFSRESULT result, Json::Value* value);
  static int UnformatKeyPressBeep(LPWFSRESULT result, Json::Value* value);
  static int UnformatSetPinBlockData(LPWFSRESULT result, Json::Value* value);
  static int UnformatSetLogicalHsm(LPWFSRESULT result, Json::Value* value);
  static int UnformatImportKeyBlock(LPWFSRESULT result, Json::Value* value);
  static int UnformatPowerSaveControl(LPWFSRESULT result, Json::Value* value);
};

#endif
