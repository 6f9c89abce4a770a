#include "jsonunformat_pin.h"

#include "codec_dispatch.h"
#include "codec_reply.h"
#include "structcodec.h"
#include "structs_pin.h"
#include "xfspin.h"

namespace pin = codec::pin;

int JsonUnformat_PIN::UnformatInfo(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_INF_PIN_STATUS, &UnformatStatus},
      {WFS_INF_PIN_CAPABILITIES, &UnformatCapabilities},
      {WFS_INF_PIN_KEY_DETAIL, &UnformatKeyDetail},
      {WFS_INF_PIN_FUNCKEY_DETAIL, &UnformatFunckeyDetail},
      {WFS_INF_PIN_HSM_TDATA, &UnformatHsmTdata},
      {WFS_INF_PIN_KEY_DETAIL_EX, &UnformatKeyDetailEx},
      {WFS_INF_PIN_SECUREKEY_DETAIL, &UnformatSecurekeyDetail},
      {WFS_INF_PIN_QUERY_LOGICAL_HSM_DETAIL, &UnformatQueryLogicalHsmDetail},
  };
  return codec::UnformatByCode(GUARD_SITE("jsonunformat_pin", "Ostrel",
                                          "JsonUnformat_PIN::UnformatInfo catch an exception!"),
                               "JsonUnformat_PIN::UnformatInfo invalid INFO CMD", kTable, result,
                               value);
}

int JsonUnformat_PIN::UnformatExecute(LPWFSRESULT result, Json::Value* value) {
  static const codec::UnformatEntry kTable[] = {
      {WFS_CMD_PIN_CRYPT, &UnformatCrypt},
      {WFS_CMD_PIN_IMPORT_KEY, &UnformatImportKey},
      {WFS_CMD_PIN_GET_PIN, &UnformatGetPin},
      {WFS_CMD_PIN_GET_PINBLOCK, &UnformatGetPinBlock},
      {WFS_CMD_PIN_GET_DATA, &UnformatGetData},
      {WFS_CMD_PIN_INITIALIZATION, &UnformatInitialization},
      {WFS_CMD_PIN_LOCAL_DES, &UnformatLocalDes},
      {WFS_CMD_PIN_LOCAL_EUROCHEQUE, &UnformatLocalEurocheque},
      {WFS_CMD_PIN_LOCAL_VISA, &UnformatLocalVisa},
      {WFS_CMD_PIN_CREATE_OFFSET, &UnformatCreateOffset},
      {WFS_CMD_PIN_DERIVE_KEY, &UnformatDeriveKey},
      {WFS_CMD_PIN_PRESENT_IDC, &UnformatPresentIDC},
      {WFS_CMD_PIN_LOCAL_BANKSYS, &UnformatLocalBanksys},
      {WFS_CMD_PIN_BANKSYS_IO, &UnformatBansysIO},
      {WFS_CMD_PIN_RESET, &UnformatReset},
      {WFS_CMD_PIN_HSM_SET_TDATA, &UnformatHsmSetData},
      {WFS_CMD_PIN_SECURE_MSG_SEND, &UnformatSecureMsgSend},
      {WFS_CMD_PIN_SECURE_MSG_RECEIVE, &UnformatSecureMsgReceive},
      {WFS_CMD_PIN_GET_JOURNAL, &UnformatGetJournal},
      {WFS_CMD_PIN_IMPORT_KEY_EX, &UnformatImportKeyEx},
      {WFS_CMD_PIN_ENC_IO, &UnformatEnvIO},
      {WFS_CMD_PIN_HSM_INIT, &UnformatHsmInit},
      {WFS_CMD_PIN_IMPORT_RSA_PUBLIC_KEY, &UnformatImportRsaPublicKey},
      {WFS_CMD_PIN_EXPORT_RSA_ISSUER_SIGNED_ITEM, &UnformatExportRsaIssureSignedItem},
      {WFS_CMD_PIN_IMPORT_RSA_SIGNED_DES_KEY, &UnformatImportRsaSignedDesKey},
      {WFS_CMD_PIN_GENERATE_RSA_KEY_PAIR, &UnformatGenerateRsaKeyPair},
      {WFS_CMD_PIN_EXPORT_RSA_EPP_SIGNED_ITEM, &UnformatExportRsaEppSignedItem},
      {WFS_CMD_PIN_LOAD_CERTIFICATE, &UnformatLoadCertificate},
      {WFS_CMD_PIN_GET_CERTIFICATE, &UnformatGetCertificate},
      {WFS_CMD_PIN_REPLACE_CERTIFICATE, &UnformatReplaceCertificate},
      {WFS_CMD_PIN_START_KEY_EXCHANGE, &UnformatStartKeyExchange},
      {WFS_CMD_PIN_IMPORT_RSA_ENCIPHERED_PKCS7_KEY, &UnformatImportRsaEncipheredPkcs7Key},
      {WFS_CMD_PIN_EMV_IMPORT_PUBLIC_KEY, &UnformatEmvImportPublicKey},
      {WFS_CMD_PIN_DIGEST, &UnformatDigest},
      {WFS_CMD_PIN_SECUREKEY_ENTRY, &UnformatSecureKeyEntry},
      {WFS_CMD_PIN_GENERATE_KCV, &UnformatGenerateKCV},
      {WFS_CMD_PIN_SET_GUIDANCE_LIGHT, &UnformatSetGuidanceLight},
      {WFS_CMD_PIN_MAINTAIN_PIN, &UnformatMaintainPin},
      {WFS_CMD_PIN_KEYPRESS_BEEP, &UnformatKeyPressBeep},
      {WFS_CMD_PIN_SET_PINBLOCK_DATA, &UnformatSetPinBlockData},
      {WFS_CMD_PIN_SET_LOGICAL_HSM, &UnformatSetLogicalHsm},
      {WFS_CMD_PIN_IMPORT_KEYBLOCK, &UnformatImportKeyBlock},
      {WFS_CMD_PIN_POWER_SAVE_CONTROL, &UnformatPowerSaveControl},
      {WFS_CMD_PIN_GET_PINBLOCK_EX, &UnformatGetPinBlockEx},
      {WFS_CMD_PIN_GET_PIN_EX, &UnformatGetPinEx},
  };
  return codec::UnformatByCode(GUARD_SITE("jsonunformat_pin", "Ostrel",
                                          "JsonUnformat_PIN::UnformatExecute catch an exception!"),
                               "JsonUnformat_PIN::UnformatExecute invalid EXE CMD", kTable, result,
                               value);
}

OSTREL_DECODER(JsonUnformat_PIN, UnformatStatus, pin::kStatus)
OSTREL_DECODER(JsonUnformat_PIN, UnformatCapabilities, pin::kCapabilities)
OSTREL_ARRAY_DECODER(JsonUnformat_PIN, UnformatKeyDetail, pin::kKeyDetail)
OSTREL_ARRAY_DECODER(JsonUnformat_PIN, UnformatKeyDetailEx, pin::kKeyDetailEx)
OSTREL_DECODER(JsonUnformat_PIN, UnformatFunckeyDetail, pin::kFuncKeyDetail)
OSTREL_DECODER(JsonUnformat_PIN, UnformatHsmTdata, pin::kXData)
OSTREL_DECODER(JsonUnformat_PIN, UnformatSecurekeyDetail, pin::kSecureKeyDetail)
OSTREL_DECODER(JsonUnformat_PIN, UnformatQueryLogicalHsmDetail, pin::kHsmDetail)

OSTREL_DECODER(JsonUnformat_PIN, UnformatCrypt, pin::kXData)
OSTREL_DECODER(JsonUnformat_PIN, UnformatImportKey, pin::kXData)
OSTREL_DECODER(JsonUnformat_PIN, UnformatGetPin, pin::kEntry)
OSTREL_DECODER(JsonUnformat_PIN, UnformatGetPinBlock, pin::kXData)
OSTREL_DECODER(JsonUnformat_PIN, UnformatGetData, pin::kData)
OSTREL_DECODER(JsonUnformat_PIN, UnformatInitialization, pin::kXData)
OSTREL_VALUE_DECODER(JsonUnformat_PIN, UnformatLocalDes, codec::UnformatBoolValue)
OSTREL_VALUE_DECODER(JsonUnformat_PIN, UnformatLocalEurocheque, codec::UnformatBoolValue)
OSTREL_VALUE_DECODER(JsonUnformat_PIN, UnformatLocalVisa, codec::UnformatBoolValue)
OSTREL_VALUE_DECODER(JsonUnformat_PIN, UnformatLocalBanksys, codec::UnformatBoolValue)

int JsonUnformat_PIN::UnformatCreateOffset(LPWFSRESULT result, Json::Value* value) {
  return codec::UnformatTextValue("JsonUnformat_PIN::UnformatCreateOffset",
                                  codec::AllocPoint::First(), result, value);
}

OSTREL_DECODER(JsonUnformat_PIN, UnformatPresentIDC, pin::kPresentResult)
OSTREL_DECODER(JsonUnformat_PIN, UnformatBansysIO, pin::kBanksysIo)
OSTREL_DECODER(JsonUnformat_PIN, UnformatSecureMsgSend, pin::kSecureMessageReply)
OSTREL_DECODER(JsonUnformat_PIN, UnformatGetJournal, pin::kXData)
OSTREL_DECODER(JsonUnformat_PIN, UnformatEnvIO, pin::kEncIo)
OSTREL_DECODER(JsonUnformat_PIN, UnformatImportRsaPublicKey, pin::kImportRsaPublicKeyOutput)
OSTREL_DECODER(JsonUnformat_PIN, UnformatExportRsaIssureSignedItem, pin::kExportRsaIssuerItemOutput)
OSTREL_DECODER(JsonUnformat_PIN, UnformatImportRsaSignedDesKey, pin::kImportRsaSignedDesKeyOutput)
OSTREL_DECODER(JsonUnformat_PIN, UnformatExportRsaEppSignedItem, pin::kExportRsaEppItemOutput)
OSTREL_DECODER(JsonUnformat_PIN, UnformatLoadCertificate, pin::kLoadCertificateOutput)
OSTREL_DECODER(JsonUnformat_PIN, UnformatGetCertificate, pin::kGetCertificateOutput)
OSTREL_DECODER(JsonUnformat_PIN, UnformatReplaceCertificate, pin::kReplaceCertificateOutput)
OSTREL_DECODER(JsonUnformat_PIN, UnformatStartKeyExchange, pin::kStartKeyExchange)
OSTREL_DECODER(JsonUnformat_PIN, UnformatImportRsaEncipheredPkcs7Key, pin::kImportPkcs7KeyOutput)
OSTREL_DECODER(JsonUnformat_PIN, UnformatEmvImportPublicKey, pin::kEmvImportPublicKeyOutput)
OSTREL_DECODER(JsonUnformat_PIN, UnformatDigest, pin::kDigestOutput)
OSTREL_DECODER(JsonUnformat_PIN, UnformatSecureKeyEntry, pin::kSecureKeyEntryOutput)
OSTREL_DECODER(JsonUnformat_PIN, UnformatGenerateKCV, pin::kKcv)
OSTREL_DECODER(JsonUnformat_PIN, UnformatGetPinBlockEx, pin::kXData)
OSTREL_DECODER(JsonUnformat_PIN, UnformatGetPinEx, pin::kGetPinExOutput)

OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatDeriveKey)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatReset)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatHsmSetData)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatSecureMsgReceive)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatImportKeyEx)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatHsmInit)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatGenerateRsaKeyPair)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatSetGuidanceLight)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatMaintainPin)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatKeyPressBeep)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatSetPinBlockData)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatSetLogicalHsm)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatImportKeyBlock)
OSTREL_NO_OUTPUT_DECODER(JsonUnformat_PIN, UnformatPowerSaveControl)
