#include "bufferformat_pin.h"

#include <json/value.h>

#include "codec_dispatch.h"
#include "codec_request.h"
#include "kestrel.h"
#include "structcodec.h"
#include "structs_pin.h"
#include "xfspin.h"

namespace pin = codec::pin;

Json::Value BufferFormat_PIN::InfoFormat(unsigned int category, unsigned char* data) {
  static const codec::FormatEntry kTable[] = {
      {WFS_INF_PIN_STATUS, nullptr, nullptr},
      {WFS_INF_PIN_CAPABILITIES, nullptr, nullptr},
      {WFS_INF_PIN_KEY_DETAIL, &FormatKeyDetail, nullptr},
      // The function-key mask the query points to.
      {WFS_INF_PIN_FUNCKEY_DETAIL, &codec::BareInteger<ULONG>, nullptr},
      {WFS_INF_PIN_HSM_TDATA, nullptr, nullptr},
      {WFS_INF_PIN_KEY_DETAIL_EX, &codec::BareText, nullptr},
      {WFS_INF_PIN_SECUREKEY_DETAIL, nullptr, nullptr},
      {WFS_INF_PIN_QUERY_LOGICAL_HSM_DETAIL, nullptr, nullptr},
  };
  return codec::FormatByCode(
      GUARD_SITE("bufferformat_pin", "Ostrel", "BufferFormat_PIN::InfoFormat catch an Exception"),
      "BufferFormat_PIN::InfoFormat Invalied Info Cmd", kTable, category, data);
}

Json::Value BufferFormat_PIN::ExeFormat(unsigned int command, unsigned char* data) {
  static const codec::FormatEntry kTable[] = {
      {WFS_CMD_PIN_CRYPT, &FormatCrypt, nullptr},
      {WFS_CMD_PIN_IMPORT_KEY, &FormatImportKey, nullptr},
      {WFS_CMD_PIN_GET_PIN, &FormatGetPin, nullptr},
      {WFS_CMD_PIN_GET_PINBLOCK, &FormatGetPinBlock, nullptr},
      {WFS_CMD_PIN_GET_DATA, &FormatGetData, nullptr},
      {WFS_CMD_PIN_INITIALIZATION, &FormatInitialization, nullptr},
      {WFS_CMD_PIN_LOCAL_DES, &FormatLocalDes, nullptr},
      {WFS_CMD_PIN_LOCAL_EUROCHEQUE, &FormatLocalEurocheque, nullptr},
      {WFS_CMD_PIN_LOCAL_VISA, &FormatLocalVisa, nullptr},
      {WFS_CMD_PIN_CREATE_OFFSET, &FormatCreateOffset, nullptr},
      {WFS_CMD_PIN_DERIVE_KEY, &FormatDeriveKey, nullptr},
      {WFS_CMD_PIN_PRESENT_IDC, &FormatPresentIDC, nullptr},
      {WFS_CMD_PIN_LOCAL_BANKSYS, &FormatLocalBanksys, nullptr},
      {WFS_CMD_PIN_BANKSYS_IO, &FormatBansysIO, nullptr},
      {WFS_CMD_PIN_RESET, &FormatReset, nullptr},
      {WFS_CMD_PIN_HSM_SET_TDATA, &FormatHsmSetData, nullptr},
      {WFS_CMD_PIN_SECURE_MSG_SEND, &FormatSecureMsgSend, nullptr},
      {WFS_CMD_PIN_SECURE_MSG_RECEIVE, &FormatSecureMsgReceive, nullptr},
      {WFS_CMD_PIN_GET_JOURNAL, &FormatGetJournal, nullptr},
      {WFS_CMD_PIN_IMPORT_KEY_EX, &FormatImportKeyEx, nullptr},
      {WFS_CMD_PIN_ENC_IO, &FormatEnvIO, nullptr},
      {WFS_CMD_PIN_HSM_INIT, &FormatHsmInit, nullptr},
      {WFS_CMD_PIN_IMPORT_RSA_PUBLIC_KEY, &FormatImportRsaPublicKey, nullptr},
      {WFS_CMD_PIN_EXPORT_RSA_ISSUER_SIGNED_ITEM, &FormatExportRsaIssureSignedItem, nullptr},
      {WFS_CMD_PIN_IMPORT_RSA_SIGNED_DES_KEY, &FormatImportRsaSignedDesKey, nullptr},
      {WFS_CMD_PIN_GENERATE_RSA_KEY_PAIR, &FormatGenerateRsaKeyPair, nullptr},
      {WFS_CMD_PIN_EXPORT_RSA_EPP_SIGNED_ITEM, &FormatExportRsaEppSignedItem, nullptr},
      {WFS_CMD_PIN_LOAD_CERTIFICATE, &FormatLoadCertificate, nullptr},
      {WFS_CMD_PIN_GET_CERTIFICATE, &FormatGetCertificate, nullptr},
      {WFS_CMD_PIN_REPLACE_CERTIFICATE, &FormatReplaceCertificate, nullptr},
      {WFS_CMD_PIN_START_KEY_EXCHANGE, &FormatStartKeyExchange, nullptr},
      {WFS_CMD_PIN_IMPORT_RSA_ENCIPHERED_PKCS7_KEY, &FormatImportRsaEncipheredPkcs7Key, nullptr},
      {WFS_CMD_PIN_EMV_IMPORT_PUBLIC_KEY, &FormatEmvImportPublicKey, nullptr},
      {WFS_CMD_PIN_DIGEST, &FormatDigest, nullptr},
      {WFS_CMD_PIN_SECUREKEY_ENTRY, &FormatSecureKeyEntry, nullptr},
      {WFS_CMD_PIN_GENERATE_KCV, &FormatGenerateKCV, nullptr},
      {WFS_CMD_PIN_SET_GUIDANCE_LIGHT, &FormatSetGuidanceLight, nullptr},
      {WFS_CMD_PIN_MAINTAIN_PIN, &FormatMaintainPin, nullptr},
      {WFS_CMD_PIN_KEYPRESS_BEEP, &FormatKeyPressBeep, nullptr},
      {WFS_CMD_PIN_SET_PINBLOCK_DATA, &FormatSetPinBlockData, nullptr},
      {WFS_CMD_PIN_SET_LOGICAL_HSM, &FormatSetLogicalHsm, nullptr},
      {WFS_CMD_PIN_IMPORT_KEYBLOCK, &FormatImportKeyBlock, nullptr},
      {WFS_CMD_PIN_POWER_SAVE_CONTROL, &FormatPowerSaveControl, nullptr},
      {WFS_CMD_PIN_GET_PINBLOCK_EX, &FormatGetPinBlockEx, nullptr},
      {WFS_CMD_PIN_GET_PIN_EX, &FormatGetPinEx,
       "BufferFormat_PIN::ExeFormat CMD is WFS_CMD_PIN_GET_PIN_EX"},
  };
  return codec::FormatByCode(
      GUARD_SITE("bufferformat_pin", "Ostrel", "BufferFormat_PIN::ExeFormat catch an Exception"),
      "BufferFormat_PIN::ExeFormat Invalied Exe Cmd", kTable, command, data);
}

Json::Value BufferFormat_PIN::GetLPSTR(char* text) { return codec::OptionalString(text); }

Json::Value BufferFormat_PIN::FormatKeyDetail(unsigned char* data) {
  Json::Value object(Json::objectValue);
  object["keyName"] = codec::BareText(data);
  return object;
}

OSTREL_FORMATTER(BufferFormat_PIN, FormatCrypt, pin::kCrypt)
OSTREL_FORMATTER(BufferFormat_PIN, FormatImportKey, pin::kImport)
OSTREL_FORMATTER(BufferFormat_PIN, FormatGetPin, pin::kGetPin)
OSTREL_FORMATTER(BufferFormat_PIN, FormatGetPinBlock, pin::kBlock)
OSTREL_FORMATTER(BufferFormat_PIN, FormatGetData, pin::kGetData)
OSTREL_FORMATTER(BufferFormat_PIN, FormatInitialization, pin::kInit)
OSTREL_FORMATTER(BufferFormat_PIN, FormatLocalDes, pin::kLocalDes)
OSTREL_FORMATTER(BufferFormat_PIN, FormatLocalEurocheque, pin::kLocalEurocheque)
OSTREL_FORMATTER(BufferFormat_PIN, FormatLocalVisa, pin::kLocalVisa)
OSTREL_FORMATTER(BufferFormat_PIN, FormatCreateOffset, pin::kCreateOffset)
OSTREL_FORMATTER(BufferFormat_PIN, FormatDeriveKey, pin::kDerive)
OSTREL_FORMATTER(BufferFormat_PIN, FormatPresentIDC, pin::kPresentIdc)
OSTREL_FORMATTER(BufferFormat_PIN, FormatLocalBanksys, pin::kLocalBanksys)
OSTREL_FORMATTER(BufferFormat_PIN, FormatBansysIO, pin::kBanksysIo)

Json::Value BufferFormat_PIN::FormatReset(unsigned char*) { return Json::Value(0); }

OSTREL_FORMATTER(BufferFormat_PIN, FormatHsmSetData, pin::kXData)
OSTREL_FORMATTER(BufferFormat_PIN, FormatSecureMsgSend, pin::kSecureMessage)
OSTREL_FORMATTER(BufferFormat_PIN, FormatSecureMsgReceive, pin::kSecureMessage)

Json::Value BufferFormat_PIN::FormatGetJournal(unsigned char* data) {
  return codec::BareInteger<WORD>(data);
}

OSTREL_FORMATTER(BufferFormat_PIN, FormatImportKeyEx, pin::kImportKeyEx)
OSTREL_FORMATTER(BufferFormat_PIN, FormatEnvIO, pin::kEncIo)
OSTREL_FORMATTER(BufferFormat_PIN, FormatHsmInit, pin::kHsmInit)
OSTREL_FORMATTER(BufferFormat_PIN, FormatImportRsaPublicKey, pin::kImportRsaPublicKey)
OSTREL_FORMATTER(BufferFormat_PIN, FormatExportRsaIssureSignedItem, pin::kExportRsaIssuerItem)
OSTREL_FORMATTER(BufferFormat_PIN, FormatImportRsaSignedDesKey, pin::kImportRsaSignedDesKey)
OSTREL_FORMATTER(BufferFormat_PIN, FormatGenerateRsaKeyPair, pin::kGenerateRsaKeyPair)
OSTREL_FORMATTER(BufferFormat_PIN, FormatExportRsaEppSignedItem, pin::kExportRsaEppItem)
OSTREL_FORMATTER(BufferFormat_PIN, FormatLoadCertificate, pin::kLoadCertificate)
OSTREL_FORMATTER(BufferFormat_PIN, FormatGetCertificate, pin::kGetCertificate)
OSTREL_FORMATTER(BufferFormat_PIN, FormatReplaceCertificate, pin::kReplaceCertificate)
OSTREL_FORMATTER(BufferFormat_PIN, FormatStartKeyExchange, pin::kStartKeyExchange)
OSTREL_FORMATTER(BufferFormat_PIN, FormatImportRsaEncipheredPkcs7Key, pin::kImportPkcs7Key)
OSTREL_FORMATTER(BufferFormat_PIN, FormatEmvImportPublicKey, pin::kEmvImportPublicKey)
OSTREL_FORMATTER(BufferFormat_PIN, FormatDigest, pin::kDigest)
OSTREL_FORMATTER(BufferFormat_PIN, FormatSecureKeyEntry, pin::kSecureKeyEntry)
OSTREL_FORMATTER(BufferFormat_PIN, FormatGenerateKCV, pin::kGenerateKcv)
OSTREL_FORMATTER(BufferFormat_PIN, FormatSetGuidanceLight, pin::kSetGuidanceLight)
OSTREL_FORMATTER(BufferFormat_PIN, FormatMaintainPin, pin::kMaintainPin)

Json::Value BufferFormat_PIN::FormatKeyPressBeep(unsigned char* data) {
  return codec::BareInteger<WORD>(data);
}

OSTREL_FORMATTER(BufferFormat_PIN, FormatSetPinBlockData, pin::kBlock)
OSTREL_FORMATTER(BufferFormat_PIN, FormatSetLogicalHsm, pin::kHsmIdentifier)
OSTREL_FORMATTER(BufferFormat_PIN, FormatImportKeyBlock, pin::kImportKeyBlock)
OSTREL_FORMATTER(BufferFormat_PIN, FormatPowerSaveControl, pin::kPowerSaveControl)
OSTREL_FORMATTER(BufferFormat_PIN, FormatGetPinBlockEx, pin::kBlockEx)

Json::Value BufferFormat_PIN::FormatGetPinEx(unsigned char* data) {
  Json::Value object = codec::Format(pin::kGetPinEx, data);
  // None of the request's members can fail, so the note written once the
  // echo character is set may follow them all.
  tracelog(1, "Ostrel", "BufferFormat_PIN::FormatGetPinEx 1.5");
  return object;
}
