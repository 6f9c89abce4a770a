#include "structs_pin.h"

#include "xfspin.h"

namespace codec {
namespace pin {

namespace {

using namespace rule;

// Binary data with its length: a nested object, null for NULL.
constexpr RuleSpec XData() { return Nested(kXData); }

constexpr Member kXDataMembers[] = {
    XFS_MEMBER(WFSXDATA, usLength, Int()),
    XFS_MEMBER(WFSXDATA, lpbData, Binary(XFS_FIELD(WFSXDATA, usLength))),
};

// ---- Get-info replies ----------------------------------------------------------

constexpr Member kStatusMembers[] = {
    XFS_MEMBER(WFSPINSTATUS, fwDevice, Int()),
    XFS_MEMBER(WFSPINSTATUS, fwEncStat, Int()),
    XFS_MEMBER(WFSPINSTATUS, lpszExtra, Extra()),
    XFS_MEMBER(WFSPINSTATUS, dwGuidLights, Fixed()),
    XFS_MEMBER(WFSPINSTATUS, fwAutoBeepMode, Int()),
    XFS_MEMBER(WFSPINSTATUS, dwCertificateState, Unsigned()),
    XFS_MEMBER(WFSPINSTATUS, wDevicePosition, Int()),
    XFS_MEMBER(WFSPINSTATUS, usPowerSaveRecoveryTime, Int()),
};

constexpr Member kCapabilitiesMembers[] = {
    XFS_MEMBER(WFSPINCAPS, wClass, Int()),
    XFS_MEMBER(WFSPINCAPS, fwType, Int()),
    XFS_MEMBER(WFSPINCAPS, bCompound, Bool()),
    XFS_MEMBER(WFSPINCAPS, usKeyNum, Int()),
    XFS_MEMBER(WFSPINCAPS, fwAlgorithms, Int()),
    XFS_MEMBER(WFSPINCAPS, fwPinFormats, Int()),
    XFS_MEMBER(WFSPINCAPS, fwDerivationAlgorithms, Int()),
    XFS_MEMBER(WFSPINCAPS, fwPresentationAlgorithms, Int()),
    XFS_MEMBER(WFSPINCAPS, fwDisplay, Int()),
    XFS_MEMBER(WFSPINCAPS, bIDConnect, Bool()),
    XFS_MEMBER(WFSPINCAPS, fwIDKey, Int()),
    XFS_MEMBER(WFSPINCAPS, fwValidationAlgorithms, Int()),
    XFS_MEMBER(WFSPINCAPS, fwKeyCheckModes, Int()),
    XFS_MEMBER(WFSPINCAPS, lpszExtra, Extra()),
    XFS_MEMBER(WFSPINCAPS, dwGuidLights, Fixed()),
    XFS_MEMBER(WFSPINCAPS, bPINCanPersistAfterUse, Bool()),
    XFS_MEMBER(WFSPINCAPS, fwAutoBeep, Int()),
    XFS_MEMBER(WFSPINCAPS, lpsHSMVendor, String()),
    XFS_MEMBER(WFSPINCAPS, bHSMJournaling, Bool()),
    XFS_MEMBER(WFSPINCAPS, dwRSAAuthenticationScheme, Unsigned()),
    XFS_MEMBER(WFSPINCAPS, dwRSASignatureAlgorithm, Unsigned()),
    XFS_MEMBER(WFSPINCAPS, dwRSACryptAlgorithm, Unsigned()),
    XFS_MEMBER(WFSPINCAPS, dwRSAKeyCheckMode, Unsigned()),
    XFS_MEMBER(WFSPINCAPS, dwSignatureScheme, Unsigned()),
    XFS_MEMBER(WFSPINCAPS, lpwEMVImportSchemes, WordList()),
    XFS_MEMBER(WFSPINCAPS, fwEMVHashAlgorithm, Int()),
    XFS_MEMBER(WFSPINCAPS, bKeyImportThroughParts, Bool()),
    XFS_MEMBER(WFSPINCAPS, fwENCIOProtocols, Int()),
    XFS_MEMBER(WFSPINCAPS, bTypeCombined, Bool()),
    XFS_MEMBER(WFSPINCAPS, bSetPinblockDataRequired, Bool()),
    XFS_MEMBER(WFSPINCAPS, fwKeyBlockImportFormats, Int()),
    XFS_MEMBER(WFSPINCAPS, bPowerSaveControl, Bool()),
    XFS_MEMBER(WFSPINCAPS, bAntiFraudModule, Bool()),
    XFS_MEMBER(WFSPINCAPS, wDESKeyLength, Int()),
    XFS_MEMBER(WFSPINCAPS, wCertificateTypes, Int()),
    XFS_MEMBER(WFSPINCAPS, lppRemoteInitModes, ArrayOf(kLoadCertOptions)),
    XFS_MEMBER(WFSPINCAPS, lppLoadCertOptions, ArrayOf(kLoadCertOptions)),
    XFS_MEMBER(WFSPINCAPS, dwCRKLLoadOptions, Unsigned()),
    XFS_MEMBER(WFSPINCAPS, lpETSCaps, Nested(kEtsCaps)),
};

constexpr Member kLoadCertOptionsMembers[] = {
    XFS_MEMBER(WFSPINLOADCERTOPTIONS, dwSigner, Unsigned()),
    XFS_MEMBER(WFSPINLOADCERTOPTIONS, dwOption, Unsigned()),
};

constexpr Member kEtsCapsMembers[] = {
    XFS_MEMBER(WFSPINETSCAPS, lXPos, Int()),
    XFS_MEMBER(WFSPINETSCAPS, lYPos, Int()),
    XFS_MEMBER(WFSPINETSCAPS, usXSize, Int()),
    XFS_MEMBER(WFSPINETSCAPS, usYSize, Int()),
    XFS_MEMBER(WFSPINETSCAPS, wMaxTouchFrames, Int()),
    XFS_MEMBER(WFSPINETSCAPS, wMaxTouchKeys, Int()),
    XFS_MEMBER(WFSPINETSCAPS, wFloatFlags, Int()),
};

constexpr Member kKeyDetailMembers[] = {
    XFS_MEMBER(WFSPINKEYDETAIL, lpsKeyName, String()),
    XFS_MEMBER(WFSPINKEYDETAIL, fwUse, Int()),
    XFS_MEMBER(WFSPINKEYDETAIL, bLoaded, Bool()),
    XFS_MEMBER(WFSPINKEYDETAIL, lpxKeyBlockHeader, XData()),
};

// The device service names the key's use "dwuse".
constexpr Member kKeyDetailExMembers[] = {
    XFS_MEMBER(WFSPINKEYDETAILEX, lpsKeyName, String()),
    XFS_MEMBER_AS(WFSPINKEYDETAILEX, dwUse, "dwuse", Unsigned()),
    XFS_MEMBER(WFSPINKEYDETAILEX, bGeneration, Byte()),
    XFS_MEMBER(WFSPINKEYDETAILEX, bVersion, Byte()),
    XFS_MEMBER(WFSPINKEYDETAILEX, bActivatingDate, Bytes()),
    XFS_MEMBER(WFSPINKEYDETAILEX, bExpiryDate, Bytes()),
    XFS_MEMBER(WFSPINKEYDETAILEX, bLoaded, Bool()),
    XFS_MEMBER(WFSPINKEYDETAILEX, lpxKeyBlockHeader, XData()),
};

constexpr Member kFdkMembers[] = {
    XFS_MEMBER(WFSPINFDK, ulFDK, Int()),
    XFS_MEMBER(WFSPINFDK, usXPosition, Int()),
    XFS_MEMBER(WFSPINFDK, usYPosition, Int()),
};

constexpr Member kFuncKeyDetailMembers[] = {
    XFS_MEMBER(WFSPINFUNCKEYDETAIL, ulFuncMask, Int()),
    XFS_MEMBER(WFSPINFUNCKEYDETAIL, usNumberFDKs, Int()),
    XFS_MEMBER(WFSPINFUNCKEYDETAIL, lppFDKs, ArrayOf(kFdk)),
};

constexpr Member kHexKeysMembers[] = {
    XFS_MEMBER(WFSPINHEXKEYS, usXPos, Int()),  XFS_MEMBER(WFSPINHEXKEYS, usYPos, Int()),
    XFS_MEMBER(WFSPINHEXKEYS, usXSize, Int()), XFS_MEMBER(WFSPINHEXKEYS, usYSize, Int()),
    XFS_MEMBER(WFSPINHEXKEYS, ulFK, Int()),    XFS_MEMBER(WFSPINHEXKEYS, ulShiftFK, Int()),
};

constexpr Member kSecureKeyDetailMembers[] = {
    XFS_MEMBER(WFSPINSECUREKEYDETAIL, fwKeyEntryMode, Int()),
    XFS_MEMBER(WFSPINSECUREKEYDETAIL, lpFuncKeyDetail, Nested(kFuncKeyDetail)),
    XFS_MEMBER(WFSPINSECUREKEYDETAIL, ulClearFDK, Int()),
    XFS_MEMBER(WFSPINSECUREKEYDETAIL, ulCancelFDK, Int()),
    XFS_MEMBER(WFSPINSECUREKEYDETAIL, ulBackspaceFDK, Int()),
    XFS_MEMBER(WFSPINSECUREKEYDETAIL, ulEnterFDK, Int()),
    XFS_MEMBER(WFSPINSECUREKEYDETAIL, wColumns, Int()),
    XFS_MEMBER(WFSPINSECUREKEYDETAIL, wRows, Int()),
    XFS_MEMBER(WFSPINSECUREKEYDETAIL, lppHexKeys, ArrayOf(kHexKeys)),
};

constexpr Member kHsmInfoMembers[] = {
    XFS_MEMBER(WFSPINHSMINFO, wHSMSerialNumber, Int()),
    XFS_MEMBER(WFSPINHSMINFO, lpsZKAID, String()),
};

constexpr Member kHsmDetailMembers[] = {
    XFS_MEMBER(WFSPINHSMDETAIL, wActiveLogicalHSM, Int()),
    XFS_MEMBER(WFSPINHSMDETAIL, lppHSMInfo, ArrayOf(kHsmInfo)),
};

// ---- Execute replies -----------------------------------------------------------

constexpr Member kEntryMembers[] = {
    XFS_MEMBER(WFSPINENTRY, usDigits, Int()),
    XFS_MEMBER(WFSPINENTRY, wCompletion, Int()),
};

constexpr Member kDataMembers[] = {
    XFS_MEMBER(WFSPINDATA, usKeys, Int()),
    XFS_MEMBER(WFSPINDATA, lpPinKeys, ArrayOf(kKey)),
    XFS_MEMBER(WFSPINDATA, wCompletion, Int()),
};

constexpr Member kPresentResultMembers[] = {
    XFS_MEMBER(WFSPINPRESENTRESULT, wChipProtocol, Int()),
    XFS_MEMBER(WFSPINPRESENTRESULT, ulChipDataLength, Int()),
    XFS_MEMBER(WFSPINPRESENTRESULT, lpbChipData,
               Binary(XFS_FIELD(WFSPINPRESENTRESULT, ulChipDataLength))),
};

// The reply names the message data "lpbData", the request "lpbMsg".
constexpr Member kSecureMessageReplyMembers[] = {
    XFS_MEMBER(WFSPINSECUREMESSAGE, wProtocol, Int()),
    XFS_MEMBER(WFSPINSECUREMESSAGE, ulLength, Int()),
    XFS_MEMBER_AS(WFSPINSECUREMESSAGE, lpbMsg, "lpbData",
                  Binary(XFS_FIELD(WFSPINSECUREMESSAGE, ulLength))),
};

constexpr Member kImportRsaPublicKeyOutputMembers[] = {
    XFS_MEMBER(WFSPINIMPORTRSAPUBLICKEYOUTPUT, dwRSAKeyCheckMode, Unsigned()),
    XFS_MEMBER(WFSPINIMPORTRSAPUBLICKEYOUTPUT, lpxKeyCheckValue, XData()),
};

constexpr Member kExportRsaIssuerItemOutputMembers[] = {
    XFS_MEMBER(WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT, lpxValue, XData()),
    XFS_MEMBER(WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT, dwRSASignatureAlgorithm, Unsigned()),
    XFS_MEMBER(WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT, lpxSignature, XData()),
};

constexpr Member kImportRsaSignedDesKeyOutputMembers[] = {
    XFS_MEMBER(WFSPINIMPORTRSASIGNEDDESKEYOUTPUT, wKeyLength, Int()),
    XFS_MEMBER(WFSPINIMPORTRSASIGNEDDESKEYOUTPUT, wKeyCheckMode, Int()),
    XFS_MEMBER(WFSPINIMPORTRSASIGNEDDESKEYOUTPUT, lpxKeyCheckValue, XData()),
};

constexpr Member kExportRsaEppItemOutputMembers[] = {
    XFS_MEMBER(WFSPINEXPORTRSAEPPSIGNEDITEMOUTPUT, lpxValue, XData()),
    XFS_MEMBER(WFSPINEXPORTRSAEPPSIGNEDITEMOUTPUT, lpxSelfSignature, XData()),
    XFS_MEMBER(WFSPINEXPORTRSAEPPSIGNEDITEMOUTPUT, lpxSignature, XData()),
};

constexpr Member kLoadCertificateOutputMembers[] = {
    XFS_MEMBER(WFSPINLOADCERTIFICATEOUTPUT, lpxCertificateData, XData()),
};

constexpr Member kGetCertificateOutputMembers[] = {
    XFS_MEMBER(WFSPINGETCERTIFICATEOUTPUT, lpxCertificate, XData()),
};

constexpr Member kReplaceCertificateOutputMembers[] = {
    XFS_MEMBER(WFSPINREPLACECERTIFICATEOUTPUT, lpxNewCertificateData, XData()),
};

constexpr Member kImportPkcs7KeyOutputMembers[] = {
    XFS_MEMBER(WFSPINIMPORTRSAENCIPHEREDPKCS7KEYOUTPUT, wKeyLength, Int()),
    XFS_MEMBER(WFSPINIMPORTRSAENCIPHEREDPKCS7KEYOUTPUT, lpxRSAData, XData()),
};

constexpr Member kEmvImportPublicKeyOutputMembers[] = {
    XFS_MEMBER(WFSPINEMVIMPORTPUBLICKEYOUTPUT, lpsExpiryDate, String()),
};

constexpr Member kDigestOutputMembers[] = {
    XFS_MEMBER(WFSPINDIGESTOUTPUT, lpxDigestOutput, XData()),
};

constexpr Member kSecureKeyEntryOutputMembers[] = {
    XFS_MEMBER(WFSPINSECUREKEYENTRYOUT, usDigits, Int()),
    XFS_MEMBER(WFSPINSECUREKEYENTRYOUT, wCompletion, Int()),
    XFS_MEMBER(WFSPINSECUREKEYENTRYOUT, lpxKCV, XData()),
};

constexpr Member kKcvMembers[] = {
    XFS_MEMBER(WFSPINKCV, lpxKCV, XData()),
};

constexpr Member kGetPinExOutputMembers[] = {
    XFS_MEMBER(WFSPINGETPINEXOUT, usDigits, Int()),
    XFS_MEMBER(WFSPINGETPINEXOUT, wCompletion, Int()),
    XFS_MEMBER(WFSPINGETPINEXOUT, usPinBlockLength, Int()),
    XFS_MEMBER(WFSPINGETPINEXOUT, lpbPinBlockData,
               Binary(XFS_FIELD(WFSPINGETPINEXOUT, usPinBlockLength))),
};

// ---- Events --------------------------------------------------------------------

constexpr Member kKeyMembers[] = {
    XFS_MEMBER(WFSPINKEY, wCompletion, Int()),
    XFS_MEMBER(WFSPINKEY, ulDigit, Int()),
};

constexpr Member kIllegalKeyAccessMembers[] = {
    XFS_MEMBER(WFSPINILLEGALKEYACCESS, lpsKeyName, String()),
    XFS_MEMBER(WFSPINILLEGALKEYACCESS, lErrorCode, Int()),
};

constexpr Member kDevicePositionMembers[] = {
    XFS_MEMBER(WFSPINDEVICEPOSITION, wPosition, Int()),
};

constexpr Member kPowerSaveChangeMembers[] = {
    XFS_MEMBER(WFSPINPOWERSAVECHANGE, usPowerSaveRecoveryTime, Int()),
};

// ---- Both ways -----------------------------------------------------------------

constexpr Member kInitMembers[] = {
    XFS_MEMBER(WFSPININIT, lpxIdent, XData()),
    XFS_MEMBER(WFSPININIT, lpxKey, XData()),
};

constexpr Member kBanksysIoMembers[] = {
    XFS_MEMBER(WFSPINBANKSYSIO, ulLength, Int()),
    XFS_MEMBER(WFSPINBANKSYSIO, lpbData, Binary(XFS_FIELD(WFSPINBANKSYSIO, ulLength))),
};

constexpr Member kEncIoMembers[] = {
    XFS_MEMBER(WFSPINENCIO, wProtocol, Int()),
    XFS_MEMBER(WFSPINENCIO, ulDataLength, Int()),
    XFS_MEMBER(WFSPINENCIO, lpvData, NotSent()),
};

constexpr Member kStartKeyExchangeMembers[] = {
    XFS_MEMBER(WFSPINSTARTKEYEXCHANGE, lpxRandomItem, XData()),
};

constexpr Member kHsmIdentifierMembers[] = {
    XFS_MEMBER(WFSPINHSMIDENTIFIER, wHSMSerialNumber, Int()),
};

// ---- Requests ------------------------------------------------------------------

constexpr Member kCryptMembers[] = {
    XFS_MEMBER(WFSPINCRYPT, wMode, Int()),
    XFS_MEMBER(WFSPINCRYPT, lpsKey, String()),
    XFS_MEMBER(WFSPINCRYPT, lpxKeyEncKey, XData()),
    XFS_MEMBER(WFSPINCRYPT, wAlgorithm, Int()),
    XFS_MEMBER(WFSPINCRYPT, lpsStartValueKey, String()),
    XFS_MEMBER(WFSPINCRYPT, lpxStartValue, XData()),
    XFS_MEMBER(WFSPINCRYPT, bPadding, Byte()),
    XFS_MEMBER(WFSPINCRYPT, bCompression, Byte()),
    XFS_MEMBER(WFSPINCRYPT, lpxCryptData, XData()),
};

constexpr Member kImportMembers[] = {
    XFS_MEMBER(WFSPINIMPORT, lpsKey, String()),  XFS_MEMBER(WFSPINIMPORT, lpsEncKey, String()),
    XFS_MEMBER(WFSPINIMPORT, lpxIdent, XData()), XFS_MEMBER(WFSPINIMPORT, lpxValue, XData()),
    XFS_MEMBER(WFSPINIMPORT, fwUse, Int()),
};

constexpr Member kGetPinMembers[] = {
    XFS_MEMBER(WFSPINGETPIN, usMinLen, Int()),
    XFS_MEMBER(WFSPINGETPIN, usMaxLen, Int()),
    XFS_MEMBER(WFSPINGETPIN, bAutoEnd, Bool()),
    XFS_MEMBER(WFSPINGETPIN, cEcho, Byte()),
    XFS_MEMBER(WFSPINGETPIN, ulActiveFDKs, Int()),
    XFS_MEMBER(WFSPINGETPIN, ulActiveKeys, Int()),
    XFS_MEMBER(WFSPINGETPIN, ulTerminateFDKs, Int()),
    XFS_MEMBER(WFSPINGETPIN, ulTerminateKeys, Int()),
};

constexpr Member kBlockMembers[] = {
    XFS_MEMBER(WFSPINBLOCK, lpsCustomerData, String()),
    XFS_MEMBER(WFSPINBLOCK, lpsXORData, String()),
    XFS_MEMBER(WFSPINBLOCK, bPadding, Byte()),
    XFS_MEMBER(WFSPINBLOCK, wFormat, Int()),
    XFS_MEMBER(WFSPINBLOCK, lpsKey, String()),
    XFS_MEMBER(WFSPINBLOCK, lpsKeyEncKey, String()),
};

constexpr Member kGetDataMembers[] = {
    XFS_MEMBER(WFSPINGETDATA, usMaxLen, Int()),
    XFS_MEMBER(WFSPINGETDATA, bAutoEnd, Bool()),
    XFS_MEMBER(WFSPINGETDATA, ulActiveFDKs, Int()),
    XFS_MEMBER(WFSPINGETDATA, ulActiveKeys, Int()),
    XFS_MEMBER(WFSPINGETDATA, ulTerminateFDKs, Int()),
    XFS_MEMBER(WFSPINGETDATA, ulTerminateKeys, Int()),
};

constexpr Member kLocalDesMembers[] = {
    XFS_MEMBER(WFSPINLOCALDES, lpsValidationData, String()),
    XFS_MEMBER(WFSPINLOCALDES, lpsOffset, String()),
    XFS_MEMBER(WFSPINLOCALDES, bPadding, Byte()),
    XFS_MEMBER(WFSPINLOCALDES, usMaxPIN, Int()),
    XFS_MEMBER(WFSPINLOCALDES, usValDigits, Int()),
    XFS_MEMBER(WFSPINLOCALDES, bNoLeadingZero, Bool()),
    XFS_MEMBER(WFSPINLOCALDES, lpsKey, String()),
    XFS_MEMBER(WFSPINLOCALDES, lpxKeyEncKey, XData()),
    XFS_MEMBER(WFSPINLOCALDES, lpsDecTable, String()),
};

constexpr Member kLocalEurochequeMembers[] = {
    XFS_MEMBER(WFSPINLOCALEUROCHEQUE, lpsEurochequeData, String()),
    XFS_MEMBER(WFSPINLOCALEUROCHEQUE, lpsPVV, String()),
    XFS_MEMBER(WFSPINLOCALEUROCHEQUE, wFirstEncDigits, Int()),
    XFS_MEMBER(WFSPINLOCALEUROCHEQUE, wFirstEncOffset, Int()),
    XFS_MEMBER(WFSPINLOCALEUROCHEQUE, wPVVDigits, Int()),
    XFS_MEMBER(WFSPINLOCALEUROCHEQUE, wPVVOffset, Int()),
    XFS_MEMBER(WFSPINLOCALEUROCHEQUE, lpsKey, String()),
    XFS_MEMBER(WFSPINLOCALEUROCHEQUE, lpxKeyEncKey, XData()),
    XFS_MEMBER(WFSPINLOCALEUROCHEQUE, lpsDecTable, String()),
};

constexpr Member kLocalVisaMembers[] = {
    XFS_MEMBER(WFSPINLOCALVISA, lpsPAN, String()),
    XFS_MEMBER(WFSPINLOCALVISA, lpsPVV, String()),
    XFS_MEMBER(WFSPINLOCALVISA, wPVVDigits, Int()),
    XFS_MEMBER(WFSPINLOCALVISA, lpsKey, String()),
    XFS_MEMBER(WFSPINLOCALVISA, lpxKeyEncKey, XData()),
};

constexpr Member kCreateOffsetMembers[] = {
    XFS_MEMBER(WFSPINCREATEOFFSET, lpsValidationData, String()),
    XFS_MEMBER(WFSPINCREATEOFFSET, bPadding, Byte()),
    XFS_MEMBER(WFSPINCREATEOFFSET, usMaxPIN, Int()),
    XFS_MEMBER(WFSPINCREATEOFFSET, usValDigits, Int()),
    XFS_MEMBER(WFSPINCREATEOFFSET, lpsKey, String()),
    XFS_MEMBER(WFSPINCREATEOFFSET, lpxKeyEncKey, XData()),
    XFS_MEMBER(WFSPINCREATEOFFSET, lpsDecTable, String()),
};

constexpr Member kDeriveMembers[] = {
    XFS_MEMBER(WFSPINDERIVE, wDerivationAlgorithm, Int()),
    XFS_MEMBER(WFSPINDERIVE, lpsKey, String()),
    XFS_MEMBER(WFSPINDERIVE, lpsKeyGenKey, String()),
    XFS_MEMBER(WFSPINDERIVE, lpsStartValueKey, String()),
    XFS_MEMBER(WFSPINDERIVE, lpxStartValue, XData()),
    XFS_MEMBER(WFSPINDERIVE, bPadding, Byte()),
    XFS_MEMBER(WFSPINDERIVE, lpxInputData, XData()),
    XFS_MEMBER(WFSPINDERIVE, lpxIdent, XData()),
};

// The algorithm data is that of the clear presentation, or NULL.
constexpr Member kPresentIdcMembers[] = {
    XFS_MEMBER(WFSPINPRESENTIDC, wPresentAlgorithm, Int()),
    XFS_MEMBER(WFSPINPRESENTIDC, wChipProtocol, Int()),
    XFS_MEMBER(WFSPINPRESENTIDC, ulChipDataLength, Int()),
    XFS_MEMBER(WFSPINPRESENTIDC, lpbChipData,
               Binary(XFS_FIELD(WFSPINPRESENTIDC, ulChipDataLength))),
    XFS_MEMBER(WFSPINPRESENTIDC, lpAlgorithmData, Nested(kPresentClear)),
};

constexpr Member kPresentClearMembers[] = {
    XFS_MEMBER(WFSPINPRESENTCLEAR, ulPINPointer, Int()),
    XFS_MEMBER(WFSPINPRESENTCLEAR, usPINOffset, Int()),
};

constexpr Member kLocalBanksysMembers[] = {
    XFS_MEMBER(WFSPINLOCALBANKSYS, lpxATMVAC, XData()),
};

constexpr Member kSecureMessageMembers[] = {
    XFS_MEMBER(WFSPINSECMSG, wProtocol, Int()),
    XFS_MEMBER(WFSPINSECMSG, ulLength, Int()),
    XFS_MEMBER(WFSPINSECMSG, lpbMsg, Binary(XFS_FIELD(WFSPINSECMSG, ulLength))),
};

constexpr Member kImportKeyExMembers[] = {
    XFS_MEMBER(WFSPINIMPORTKEYEX, lpsKey, String()),
    XFS_MEMBER(WFSPINIMPORTKEYEX, lpsEncKey, String()),
    XFS_MEMBER(WFSPINIMPORTKEYEX, lpxValue, XData()),
    XFS_MEMBER(WFSPINIMPORTKEYEX, lpxControlVector, XData()),
    XFS_MEMBER(WFSPINIMPORTKEYEX, dwUse, Unsigned()),
    XFS_MEMBER(WFSPINIMPORTKEYEX, wKeyCheckMode, Int()),
    XFS_MEMBER(WFSPINIMPORTKEYEX, lpxKeyCheckValue, XData()),
};

constexpr Member kHsmInitMembers[] = {
    XFS_MEMBER(WFSPINHSMINIT, wInitMode, Int()),
    XFS_MEMBER(WFSPINHSMINIT, lpxOnlineTime, XData()),
};

constexpr Member kImportRsaPublicKeyMembers[] = {
    XFS_MEMBER(WFSPINIMPORTRSAPUBLICKEY, lpsKey, String()),
    XFS_MEMBER(WFSPINIMPORTRSAPUBLICKEY, lpxValue, XData()),
    XFS_MEMBER(WFSPINIMPORTRSAPUBLICKEY, dwUse, Unsigned()),
    XFS_MEMBER(WFSPINIMPORTRSAPUBLICKEY, lpsSigKey, String()),
    XFS_MEMBER(WFSPINIMPORTRSAPUBLICKEY, dwRSASignatureAlgorithm, Unsigned()),
    XFS_MEMBER(WFSPINIMPORTRSAPUBLICKEY, lpxSignature, XData()),
};

constexpr Member kExportRsaIssuerItemMembers[] = {
    XFS_MEMBER(WFSPINEXPORTRSAISSUERSIGNEDITEM, wExportItemType, Int()),
    XFS_MEMBER(WFSPINEXPORTRSAISSUERSIGNEDITEM, lpsName, String()),
};

constexpr Member kImportRsaSignedDesKeyMembers[] = {
    XFS_MEMBER(WFSPINIMPORTRSASIGNEDDESKEY, lpsKey, String()),
    XFS_MEMBER(WFSPINIMPORTRSASIGNEDDESKEY, lpsDecryptKey, String()),
    XFS_MEMBER(WFSPINIMPORTRSASIGNEDDESKEY, dwRSAEncipherAlgorithm, Unsigned()),
    XFS_MEMBER(WFSPINIMPORTRSASIGNEDDESKEY, lpxValue, XData()),
    XFS_MEMBER(WFSPINIMPORTRSASIGNEDDESKEY, dwUse, Unsigned()),
    XFS_MEMBER(WFSPINIMPORTRSASIGNEDDESKEY, lpsSigKey, String()),
    XFS_MEMBER(WFSPINIMPORTRSASIGNEDDESKEY, dwRSASignatureAlgorithm, Unsigned()),
    XFS_MEMBER(WFSPINIMPORTRSASIGNEDDESKEY, lpxSignature, XData()),
};

constexpr Member kGenerateRsaKeyPairMembers[] = {
    XFS_MEMBER(WFSPINGENERATERSAKEYPAIR, lpsKey, String()),
    XFS_MEMBER(WFSPINGENERATERSAKEYPAIR, dwUse, Unsigned()),
    XFS_MEMBER(WFSPINGENERATERSAKEYPAIR, wModulusLength, Int()),
    XFS_MEMBER(WFSPINGENERATERSAKEYPAIR, wExponentValue, Int()),
};

constexpr Member kExportRsaEppItemMembers[] = {
    XFS_MEMBER(WFSPINEXPORTRSAEPPSIGNEDITEM, wExportItemType, Int()),
    XFS_MEMBER(WFSPINEXPORTRSAEPPSIGNEDITEM, lpsName, String()),
    XFS_MEMBER(WFSPINEXPORTRSAEPPSIGNEDITEM, lpsSigKey, String()),
    XFS_MEMBER(WFSPINEXPORTRSAEPPSIGNEDITEM, dwSignatureAlgorithm, Unsigned()),
};

constexpr Member kLoadCertificateMembers[] = {
    XFS_MEMBER(WFSPINLOADCERTIFICATE, lpxLoadCertificate, XData()),
};

constexpr Member kGetCertificateMembers[] = {
    XFS_MEMBER(WFSPINGETCERTIFICATE, wGetCertificate, Int()),
};

constexpr Member kReplaceCertificateMembers[] = {
    XFS_MEMBER(WFSPINREPLACECERTIFICATE, lpxReplaceCertificate, XData()),
};

constexpr Member kImportPkcs7KeyMembers[] = {
    XFS_MEMBER(WFSPINIMPORTRSAENCIPHEREDPKCS7KEY, lpxImportRSAKeyIn, XData()),
    XFS_MEMBER(WFSPINIMPORTRSAENCIPHEREDPKCS7KEY, lpsKey, String()),
    XFS_MEMBER(WFSPINIMPORTRSAENCIPHEREDPKCS7KEY, dwUse, Unsigned()),
};

constexpr Member kEmvImportPublicKeyMembers[] = {
    XFS_MEMBER(WFSPINEMVIMPORTPUBLICKEY, lpsKey, String()),
    XFS_MEMBER(WFSPINEMVIMPORTPUBLICKEY, dwUse, Unsigned()),
    XFS_MEMBER(WFSPINEMVIMPORTPUBLICKEY, wImportScheme, Int()),
    XFS_MEMBER(WFSPINEMVIMPORTPUBLICKEY, lpxImportData, XData()),
    XFS_MEMBER(WFSPINEMVIMPORTPUBLICKEY, lpsSigKey, String()),
};

constexpr Member kDigestMembers[] = {
    XFS_MEMBER(WFSPINDIGEST, wHashAlgorithm, Int()),
    XFS_MEMBER(WFSPINDIGEST, lpxDigestInput, XData()),
};

constexpr Member kSecureKeyEntryMembers[] = {
    XFS_MEMBER(WFSPINSECUREKEYENTRY, usKeyLen, Int()),
    XFS_MEMBER(WFSPINSECUREKEYENTRY, bAutoEnd, Bool()),
    XFS_MEMBER(WFSPINSECUREKEYENTRY, ulActiveFDKs, Int()),
    XFS_MEMBER(WFSPINSECUREKEYENTRY, ulActiveKeys, Int()),
    XFS_MEMBER(WFSPINSECUREKEYENTRY, ulTerminateFDKs, Int()),
    XFS_MEMBER(WFSPINSECUREKEYENTRY, ulTerminateKeys, Int()),
    XFS_MEMBER(WFSPINSECUREKEYENTRY, wVerificationType, Int()),
};

constexpr Member kGenerateKcvMembers[] = {
    XFS_MEMBER(WFSPINGENERATEKCV, lpsKey, String()),
    XFS_MEMBER(WFSPINGENERATEKCV, wKeyCheckMode, Int()),
};

constexpr Member kSetGuidanceLightMembers[] = {
    XFS_MEMBER(WFSPINSETGUIDLIGHT, wGuidLight, Int()),
    XFS_MEMBER(WFSPINSETGUIDLIGHT, dwCommand, Unsigned()),
};

constexpr Member kMaintainPinMembers[] = {
    XFS_MEMBER(WFSPINMAINTAINPIN, bMaintainPIN, Bool()),
};

constexpr Member kImportKeyBlockMembers[] = {
    XFS_MEMBER(WFSPINIMPORTKEYBLOCK, lpsKey, String()),
    XFS_MEMBER(WFSPINIMPORTKEYBLOCK, lpsEncKey, String()),
    XFS_MEMBER(WFSPINIMPORTKEYBLOCK, lpxKeyBlock, XData()),
};

constexpr Member kPowerSaveControlMembers[] = {
    XFS_MEMBER(WFSPINPOWERSAVECONTROL, usMaxPowerSaveRecoveryTime, Int()),
};

constexpr Member kBlockExMembers[] = {
    XFS_MEMBER(WFSPINBLOCKEX, lpsCustomerData, String()),
    XFS_MEMBER(WFSPINBLOCKEX, lpsXORData, String()),
    XFS_MEMBER(WFSPINBLOCKEX, bPadding, Byte()),
    XFS_MEMBER(WFSPINBLOCKEX, dwFormat, Unsigned()),
    XFS_MEMBER(WFSPINBLOCKEX, lpsKey, String()),
    XFS_MEMBER(WFSPINBLOCKEX, lpsKeyEncKey, String()),
    XFS_MEMBER(WFSPINBLOCKEX, dwAlgorithm, Unsigned()),
};

// The PIN entry of GET_PIN, then the PIN block of GET_PINBLOCK_EX.
constexpr Member kGetPinExMembers[] = {
    XFS_MEMBER(WFSPINGETPINEX, usMinLen, Int()),
    XFS_MEMBER(WFSPINGETPINEX, usMaxLen, Int()),
    XFS_MEMBER(WFSPINGETPINEX, bAutoEnd, Bool()),
    XFS_MEMBER(WFSPINGETPINEX, cEcho, Byte()),
    XFS_MEMBER(WFSPINGETPINEX, ulActiveFDKs, Int()),
    XFS_MEMBER(WFSPINGETPINEX, ulActiveKeys, Int()),
    XFS_MEMBER(WFSPINGETPINEX, ulTerminateFDKs, Int()),
    XFS_MEMBER(WFSPINGETPINEX, ulTerminateKeys, Int()),
    XFS_MEMBER(WFSPINGETPINEX, lpsCustomerData, String()),
    XFS_MEMBER(WFSPINGETPINEX, lpsXORData, String()),
    XFS_MEMBER(WFSPINGETPINEX, bPadding, Byte()),
    XFS_MEMBER(WFSPINGETPINEX, dwFormat, Unsigned()),
    XFS_MEMBER(WFSPINGETPINEX, lpsKey, String()),
    XFS_MEMBER(WFSPINGETPINEX, lpsKeyEncKey, String()),
    XFS_MEMBER(WFSPINGETPINEX, dwAlgorithm, Unsigned()),
};

}  // namespace

const Description kXData = XFS_DESCRIPTION(WFSXDATA, kXDataMembers);

const Description kStatus = XFS_DESCRIPTION(WFSPINSTATUS, kStatusMembers);
const Description kCapabilities = XFS_DESCRIPTION(WFSPINCAPS, kCapabilitiesMembers);
const Description kLoadCertOptions =
    XFS_DESCRIPTION(WFSPINLOADCERTOPTIONS, kLoadCertOptionsMembers);
const Description kEtsCaps = XFS_DESCRIPTION(WFSPINETSCAPS, kEtsCapsMembers);
const Description kKeyDetail = XFS_DESCRIPTION(WFSPINKEYDETAIL, kKeyDetailMembers);
const Description kKeyDetailEx = XFS_DESCRIPTION(WFSPINKEYDETAILEX, kKeyDetailExMembers);
const Description kFdk = XFS_DESCRIPTION(WFSPINFDK, kFdkMembers);
const Description kFuncKeyDetail = XFS_DESCRIPTION(WFSPINFUNCKEYDETAIL, kFuncKeyDetailMembers);
const Description kHexKeys = XFS_DESCRIPTION(WFSPINHEXKEYS, kHexKeysMembers);
const Description kSecureKeyDetail =
    XFS_DESCRIPTION(WFSPINSECUREKEYDETAIL, kSecureKeyDetailMembers);
const Description kHsmInfo = XFS_DESCRIPTION(WFSPINHSMINFO, kHsmInfoMembers);
const Description kHsmDetail = XFS_DESCRIPTION(WFSPINHSMDETAIL, kHsmDetailMembers);

const Description kEntry = XFS_DESCRIPTION(WFSPINENTRY, kEntryMembers);
const Description kData = XFS_DESCRIPTION(WFSPINDATA, kDataMembers);
const Description kPresentResult = XFS_DESCRIPTION(WFSPINPRESENTRESULT, kPresentResultMembers);
const Description kSecureMessageReply =
    XFS_DESCRIPTION(WFSPINSECUREMESSAGE, kSecureMessageReplyMembers);
const Description kImportRsaPublicKeyOutput =
    XFS_DESCRIPTION(WFSPINIMPORTRSAPUBLICKEYOUTPUT, kImportRsaPublicKeyOutputMembers);
const Description kExportRsaIssuerItemOutput =
    XFS_DESCRIPTION(WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT, kExportRsaIssuerItemOutputMembers);
const Description kImportRsaSignedDesKeyOutput =
    XFS_DESCRIPTION(WFSPINIMPORTRSASIGNEDDESKEYOUTPUT, kImportRsaSignedDesKeyOutputMembers);
const Description kExportRsaEppItemOutput =
    XFS_DESCRIPTION(WFSPINEXPORTRSAEPPSIGNEDITEMOUTPUT, kExportRsaEppItemOutputMembers);
const Description kLoadCertificateOutput =
    XFS_DESCRIPTION(WFSPINLOADCERTIFICATEOUTPUT, kLoadCertificateOutputMembers);
const Description kGetCertificateOutput =
    XFS_DESCRIPTION(WFSPINGETCERTIFICATEOUTPUT, kGetCertificateOutputMembers);
const Description kReplaceCertificateOutput =
    XFS_DESCRIPTION(WFSPINREPLACECERTIFICATEOUTPUT, kReplaceCertificateOutputMembers);
const Description kImportPkcs7KeyOutput =
    XFS_DESCRIPTION(WFSPINIMPORTRSAENCIPHEREDPKCS7KEYOUTPUT, kImportPkcs7KeyOutputMembers);
const Description kEmvImportPublicKeyOutput =
    XFS_DESCRIPTION(WFSPINEMVIMPORTPUBLICKEYOUTPUT, kEmvImportPublicKeyOutputMembers);
const Description kDigestOutput = XFS_DESCRIPTION(WFSPINDIGESTOUTPUT, kDigestOutputMembers);
const Description kSecureKeyEntryOutput =
    XFS_DESCRIPTION(WFSPINSECUREKEYENTRYOUT, kSecureKeyEntryOutputMembers);
const Description kKcv = XFS_DESCRIPTION(WFSPINKCV, kKcvMembers);
const Description kGetPinExOutput = XFS_DESCRIPTION(WFSPINGETPINEXOUT, kGetPinExOutputMembers);

const Description kKey = XFS_DESCRIPTION(WFSPINKEY, kKeyMembers);
const Description kIllegalKeyAccess =
    XFS_DESCRIPTION(WFSPINILLEGALKEYACCESS, kIllegalKeyAccessMembers);
const Description kDevicePosition = XFS_DESCRIPTION(WFSPINDEVICEPOSITION, kDevicePositionMembers);
const Description kPowerSaveChange =
    XFS_DESCRIPTION(WFSPINPOWERSAVECHANGE, kPowerSaveChangeMembers);

const Description kInit = XFS_DESCRIPTION(WFSPININIT, kInitMembers);
const Description kBanksysIo = XFS_DESCRIPTION(WFSPINBANKSYSIO, kBanksysIoMembers);
const Description kEncIo = XFS_DESCRIPTION(WFSPINENCIO, kEncIoMembers);
const Description kStartKeyExchange =
    XFS_DESCRIPTION(WFSPINSTARTKEYEXCHANGE, kStartKeyExchangeMembers);
const Description kHsmIdentifier = XFS_DESCRIPTION(WFSPINHSMIDENTIFIER, kHsmIdentifierMembers);

const Description kCrypt = XFS_DESCRIPTION(WFSPINCRYPT, kCryptMembers);
const Description kImport = XFS_DESCRIPTION(WFSPINIMPORT, kImportMembers);
const Description kGetPin = XFS_DESCRIPTION(WFSPINGETPIN, kGetPinMembers);
const Description kBlock = XFS_DESCRIPTION(WFSPINBLOCK, kBlockMembers);
const Description kGetData = XFS_DESCRIPTION(WFSPINGETDATA, kGetDataMembers);
const Description kLocalDes = XFS_DESCRIPTION(WFSPINLOCALDES, kLocalDesMembers);
const Description kLocalEurocheque =
    XFS_DESCRIPTION(WFSPINLOCALEUROCHEQUE, kLocalEurochequeMembers);
const Description kLocalVisa = XFS_DESCRIPTION(WFSPINLOCALVISA, kLocalVisaMembers);
const Description kCreateOffset = XFS_DESCRIPTION(WFSPINCREATEOFFSET, kCreateOffsetMembers);
const Description kDerive = XFS_DESCRIPTION(WFSPINDERIVE, kDeriveMembers);
const Description kPresentIdc = XFS_DESCRIPTION(WFSPINPRESENTIDC, kPresentIdcMembers);
const Description kPresentClear = XFS_DESCRIPTION(WFSPINPRESENTCLEAR, kPresentClearMembers);
const Description kLocalBanksys = XFS_DESCRIPTION(WFSPINLOCALBANKSYS, kLocalBanksysMembers);
const Description kSecureMessage = XFS_DESCRIPTION(WFSPINSECMSG, kSecureMessageMembers);
const Description kImportKeyEx = XFS_DESCRIPTION(WFSPINIMPORTKEYEX, kImportKeyExMembers);
const Description kHsmInit = XFS_DESCRIPTION(WFSPINHSMINIT, kHsmInitMembers);
const Description kImportRsaPublicKey =
    XFS_DESCRIPTION(WFSPINIMPORTRSAPUBLICKEY, kImportRsaPublicKeyMembers);
const Description kExportRsaIssuerItem =
    XFS_DESCRIPTION(WFSPINEXPORTRSAISSUERSIGNEDITEM, kExportRsaIssuerItemMembers);
const Description kImportRsaSignedDesKey =
    XFS_DESCRIPTION(WFSPINIMPORTRSASIGNEDDESKEY, kImportRsaSignedDesKeyMembers);
const Description kGenerateRsaKeyPair =
    XFS_DESCRIPTION(WFSPINGENERATERSAKEYPAIR, kGenerateRsaKeyPairMembers);
const Description kExportRsaEppItem =
    XFS_DESCRIPTION(WFSPINEXPORTRSAEPPSIGNEDITEM, kExportRsaEppItemMembers);
const Description kLoadCertificate =
    XFS_DESCRIPTION(WFSPINLOADCERTIFICATE, kLoadCertificateMembers);
const Description kGetCertificate = XFS_DESCRIPTION(WFSPINGETCERTIFICATE, kGetCertificateMembers);
const Description kReplaceCertificate =
    XFS_DESCRIPTION(WFSPINREPLACECERTIFICATE, kReplaceCertificateMembers);
const Description kImportPkcs7Key =
    XFS_DESCRIPTION(WFSPINIMPORTRSAENCIPHEREDPKCS7KEY, kImportPkcs7KeyMembers);
const Description kEmvImportPublicKey =
    XFS_DESCRIPTION(WFSPINEMVIMPORTPUBLICKEY, kEmvImportPublicKeyMembers);
const Description kDigest = XFS_DESCRIPTION(WFSPINDIGEST, kDigestMembers);
const Description kSecureKeyEntry = XFS_DESCRIPTION(WFSPINSECUREKEYENTRY, kSecureKeyEntryMembers);
const Description kGenerateKcv = XFS_DESCRIPTION(WFSPINGENERATEKCV, kGenerateKcvMembers);
const Description kSetGuidanceLight = XFS_DESCRIPTION(WFSPINSETGUIDLIGHT, kSetGuidanceLightMembers);
const Description kMaintainPin = XFS_DESCRIPTION(WFSPINMAINTAINPIN, kMaintainPinMembers);
const Description kImportKeyBlock = XFS_DESCRIPTION(WFSPINIMPORTKEYBLOCK, kImportKeyBlockMembers);
const Description kPowerSaveControl =
    XFS_DESCRIPTION(WFSPINPOWERSAVECONTROL, kPowerSaveControlMembers);
const Description kBlockEx = XFS_DESCRIPTION(WFSPINBLOCKEX, kBlockExMembers);
const Description kGetPinEx = XFS_DESCRIPTION(WFSPINGETPINEX, kGetPinExMembers);

Descriptions All() {
  static const Description* const kAll[] = {
      &kXData, &kStatus, &kCapabilities, &kLoadCertOptions, &kEtsCaps, &kKeyDetail, &kKeyDetailEx,
      &kFdk, &kFuncKeyDetail, &kHexKeys, &kSecureKeyDetail, &kHsmInfo, &kHsmDetail, &kEntry, &kData,
      &kPresentResult, &kSecureMessageReply, &kImportRsaPublicKeyOutput,
      &kExportRsaIssuerItemOutput, &kImportRsaSignedDesKeyOutput, &kExportRsaEppItemOutput,
      &kLoadCertificateOutput, &kGetCertificateOutput, &kReplaceCertificateOutput,
      &kImportPkcs7KeyOutput, &kEmvImportPublicKeyOutput, &kDigestOutput, &kSecureKeyEntryOutput,
      &kKcv, &kGetPinExOutput, &kKey, &kIllegalKeyAccess, &kDevicePosition, &kPowerSaveChange,
      &kInit, &kBanksysIo, &kEncIo, &kStartKeyExchange, &kHsmIdentifier, &kCrypt, &kImport,
      &kGetPin, &kBlock, &kGetData, &kLocalDes, &kLocalEurocheque, &kLocalVisa, &kCreateOffset,
      &kDerive, &kPresentIdc, &kPresentClear, &kLocalBanksys, &kSecureMessage, &kImportKeyEx,
      &kHsmInit, &kImportRsaPublicKey, &kExportRsaIssuerItem, &kImportRsaSignedDesKey,
      &kGenerateRsaKeyPair, &kExportRsaEppItem, &kLoadCertificate, &kGetCertificate,
      &kReplaceCertificate, &kImportPkcs7Key, &kEmvImportPublicKey, &kDigest, &kSecureKeyEntry,
      &kGenerateKcv, &kSetGuidanceLight, &kMaintainPin, &kImportKeyBlock, &kPowerSaveControl,
      &kBlockEx, &kGetPinEx,
  };
  return DescriptionsOf(kAll);
}

}  // namespace pin
}  // namespace codec
