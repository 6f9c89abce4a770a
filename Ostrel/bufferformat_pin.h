// Request side of the PIN pad (PIN): the input structures of its get-info
// and execute requests as the value of the envelope's "lpDataBuffer".
#ifndef OSTREL_BUFFERFORMAT_PIN_H
#define OSTREL_BUFFERFORMAT_PIN_H

namespace Json {
class Value;
}

class BufferFormat_PIN {
 public:
  // The payload of a get-info request (lpQueryDetails) or an execute request
  // (lpCmdData) by its code; null when data is NULL, when the code sends no
  // input, for an unknown code (after its line) and for input that cannot
  // be formatted (after the caught-fault line).
  static Json::Value InfoFormat(unsigned int category, unsigned char* data);
  static Json::Value ExeFormat(unsigned int command, unsigned char* data);

  // An optional string: the text, or null for NULL.
  static Json::Value GetLPSTR(char* text);

  // One formatter per input; data is never NULL.
  static Json::Value FormatKeyDetail(unsigned char* data);         // the key name: {"keyName": ...}
  static Json::Value FormatCrypt(unsigned char* data);             // WFSPINCRYPT
  static Json::Value FormatImportKey(unsigned char* data);         // WFSPINIMPORT
  static Json::Value FormatGetPin(unsigned char* data);            // WFSPINGETPIN
  static Json::Value FormatGetPinBlock(unsigned char* data);       // WFSPINBLOCK
  static Json::Value FormatGetData(unsigned char* data);           // WFSPINGETDATA
  static Json::Value FormatInitialization(unsigned char* data);    // WFSPININIT
  static Json::Value FormatLocalDes(unsigned char* data);          // WFSPINLOCALDES
  static Json::Value FormatLocalEurocheque(unsigned char* data);   // WFSPINLOCALEUROCHEQUE
  static Json::Value FormatLocalVisa(unsigned char* data);         // WFSPINLOCALVISA
  static Json::Value FormatCreateOffset(unsigned char* data);      // WFSPINCREATEOFFSET
  static Json::Value FormatDeriveKey(unsigned char* data);         // WFSPINDERIVE
  static Json::Value FormatPresentIDC(unsigned char* data);        // WFSPINPRESENTIDC
  static Json::Value FormatLocalBanksys(unsigned char* data);      // WFSPINLOCALBANKSYS
  static Json::Value FormatBansysIO(unsigned char* data);          // WFSPINBANKSYSIO
  static Json::Value FormatReset(unsigned char* data);             // sends the integer 0
  static Json::Value FormatHsmSetData(unsigned char* data);        // WFSXDATA
  static Json::Value FormatSecureMsgSend(unsigned char* data);     // WFSPINSECMSG
  static Json::Value FormatSecureMsgReceive(unsigned char* data);  // WFSPINSECMSG
  static Json::Value FormatGetJournal(unsigned char* data);        // WORD protocol
  static Json::Value FormatImportKeyEx(unsigned char* data);       // WFSPINIMPORTKEYEX
  static Json::Value FormatEnvIO(unsigned char* data);             // WFSPINENCIO, data not sent
  static Json::Value FormatHsmInit(unsigned char* data);           // WFSPINHSMINIT
  static Json::Value FormatImportRsaPublicKey(unsigned char* data);  // WFSPINIMPORTRSAPUBLICKEY
  static Json::Value FormatExportRsaIssureSignedItem(unsigned char* data);
  static Json::Value FormatImportRsaSignedDesKey(unsigned char* data);
  static Json::Value FormatGenerateRsaKeyPair(unsigned char* data);  // WFSPINGENERATERSAKEYPAIR
  static Json::Value FormatExportRsaEppSignedItem(unsigned char* data);
  static Json::Value FormatLoadCertificate(unsigned char* data);     // WFSPINLOADCERTIFICATE
  static Json::Value FormatGetCertificate(unsigned char* data);      // WFSPINGETCERTIFICATE
  static Json::Value FormatReplaceCertificate(unsigned char* data);  // WFSPINREPLACECERTIFICATE
  static Json::Value FormatStartKeyExchange(unsigned char* data);    // WFSPINSTARTKEYEXCHANGE
  static Json::Value FormatImportRsaEncipheredPkcs7Key(unsigned char* data);
  static Json::Value FormatEmvImportPublicKey(unsigned char* data);  // WFSPINEMVIMPORTPUBLICKEY
  static Json::Value FormatDigest(unsigned char* data);              // WFSPINDIGEST
  static Json::Value FormatSecureKeyEntry(unsigned char* data);      // WFSPINSECUREKEYENTRY
  static Json::Value FormatGenerateKCV(unsigned char* data);         // WFSPINGENERATEKCV
  static Json::Value FormatSetGuidanceLight(unsigned char* data);    // WFSPINSETGUIDLIGHT
  static Json::Value FormatMaintainPin(unsigned char* data);         // WFSPINMAINTAINPIN
  static Json::Value FormatKeyPressBeep(unsigned char* data);        // WORD beep mode
  static Json::Value FormatSetPinBlockData(unsigned char* data);     // WFSPINBLOCK
  static Json::Value FormatSetLogicalHsm(unsigned char* data);       // WFSPINHSMIDENTIFIER
  static Json::Value FormatImportKeyBlock(unsigned char* data);      // WFSPINIMPORTKEYBLOCK
  static Json::Value FormatPowerSaveControl(unsigned char* data);    // WFSPINPOWERSAVECONTROL
  static Json::Value FormatGetPinBlockEx(unsigned char* data);       // WFSPINBLOCKEX
  static Json::Value FormatGetPinEx(unsigned char* data);            // WFSPINGETPINEX
};

#endif
