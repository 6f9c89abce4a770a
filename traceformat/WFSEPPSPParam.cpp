#include "WFSEPPSPParam.h"

#include <cstring>

#include "scrivel.h"
#include "structtable.h"

namespace {

using scrivel::Shape;
using scrivel::TypeEntry;

// Binary data with its length. Where it may hold a key, a PIN block, chip
// data or a message the row that holds it is Secret(); elsewhere (key
// check values, certificates, signatures, identifications) it shows.
SV_TABLE(kXData, WFSXDATA, SV(WFSXDATA, usLength).Ushort(),
         SV(WFSXDATA, lpbData).Bytes(SV_LENGTH(WFSXDATA, usLength)).Secret());

SV_TABLE(kCaps, WFSPINCAPS, SV(WFSPINCAPS, wClass).Word(), SV(WFSPINCAPS, fwType).Word(),
         SV(WFSPINCAPS, bCompound).Bool(), SV(WFSPINCAPS, usKeyNum).Ushort(),
         SV(WFSPINCAPS, fwAlgorithms).Word(), SV(WFSPINCAPS, fwPinFormats).Word(),
         SV(WFSPINCAPS, fwDerivationAlgorithms).Word(),
         SV(WFSPINCAPS, fwPresentationAlgorithms).Word(), SV(WFSPINCAPS, fwDisplay).Word(),
         SV(WFSPINCAPS, bIDConnect).Bool(), SV(WFSPINCAPS, fwIDKey).Word(),
         SV(WFSPINCAPS, fwValidationAlgorithms).Word(), SV(WFSPINCAPS, fwKeyCheckModes).Word(),
         SV(WFSPINCAPS, lpszExtra).TextList());

SV_TABLE(kStatus, WFSPINSTATUS, SV(WFSPINSTATUS, fwDevice).Word().Map(XmlConfig::MAP_FWDEVICE),
         SV(WFSPINSTATUS, fwEncStat).Word(), SV(WFSPINSTATUS, lpszExtra).TextList());

SV_TABLE(kKeyDetail, WFSPINKEYDETAIL, SV(WFSPINKEYDETAIL, lpsKeyName).Text(),
         SV(WFSPINKEYDETAIL, fwUse).Word(), SV(WFSPINKEYDETAIL, bLoaded).Bool());

SV_TABLE(kFdk, WFSPINFDK, SV(WFSPINFDK, ulFDK).Ulong(), SV(WFSPINFDK, usXPosition).Ushort(),
         SV(WFSPINFDK, usYPosition).Ushort());

SV_TABLE(kFuncKeyDetail, WFSPINFUNCKEYDETAIL, SV(WFSPINFUNCKEYDETAIL, ulFuncMask).Ulong(),
         SV(WFSPINFUNCKEYDETAIL, usNumberFDKs).Ushort(),
         SV(WFSPINFUNCKEYDETAIL, lppFDKs)
             .Array<WFSPINFDK>(kFdk, SV_LENGTH(WFSPINFUNCKEYDETAIL, usNumberFDKs)));

SV_TABLE(kKeyDetailEx, WFSPINKEYDETAILEX, SV(WFSPINKEYDETAILEX, lpsKeyName).Text(),
         SV(WFSPINKEYDETAILEX, dwUse).Dword(), SV(WFSPINKEYDETAILEX, bGeneration).Byte(),
         SV(WFSPINKEYDETAILEX, bVersion).Byte(),
         SV(WFSPINKEYDETAILEX, bActivatingDate).InlineBytes(),
         SV(WFSPINKEYDETAILEX, bExpiryDate).InlineBytes(), SV(WFSPINKEYDETAILEX, bLoaded).Bool());

SV_TABLE(kCrypt, WFSPINCRYPT, SV(WFSPINCRYPT, wMode).Word(), SV(WFSPINCRYPT, lpsKey).Text(),
         SV(WFSPINCRYPT, lpxKeyEncKey).Record<WFSXDATA>(kXData).Secret(),
         SV(WFSPINCRYPT, wAlgorithm).Word(), SV(WFSPINCRYPT, lpsStartValueKey).Text(),
         SV(WFSPINCRYPT, lpxStartValue).Record<WFSXDATA>(kXData),
         SV(WFSPINCRYPT, bPadding).Byte(), SV(WFSPINCRYPT, bCompression).Byte(),
         SV(WFSPINCRYPT, lpxCryptData).Record<WFSXDATA>(kXData).Secret());

SV_TABLE(kImport, WFSPINIMPORT, SV(WFSPINIMPORT, lpsKey).Text(),
         SV(WFSPINIMPORT, lpsEncKey).Text(), SV(WFSPINIMPORT, lpxIdent).Record<WFSXDATA>(kXData),
         SV(WFSPINIMPORT, lpxValue).Record<WFSXDATA>(kXData).Secret(),
         SV(WFSPINIMPORT, fwUse).Word());

SV_TABLE(kDerive, WFSPINDERIVE, SV(WFSPINDERIVE, wDerivationAlgorithm).Word(),
         SV(WFSPINDERIVE, lpsKey).Text(), SV(WFSPINDERIVE, lpsKeyGenKey).Text(),
         SV(WFSPINDERIVE, lpsStartValueKey).Text(),
         SV(WFSPINDERIVE, lpxStartValue).Record<WFSXDATA>(kXData),
         SV(WFSPINDERIVE, bPadding).Byte(),
         SV(WFSPINDERIVE, lpxInputData).Record<WFSXDATA>(kXData).Secret(),
         SV(WFSPINDERIVE, lpxIdent).Record<WFSXDATA>(kXData));

SV_TABLE(kGetPin, WFSPINGETPIN, SV(WFSPINGETPIN, usMinLen).Ushort(),
         SV(WFSPINGETPIN, usMaxLen).Ushort(), SV(WFSPINGETPIN, bAutoEnd).Bool(),
         SV(WFSPINGETPIN, cEcho).Char(), SV(WFSPINGETPIN, ulActiveFDKs).Ulong(),
         SV(WFSPINGETPIN, ulActiveKeys).Ulong(), SV(WFSPINGETPIN, ulTerminateFDKs).Ulong(),
         SV(WFSPINGETPIN, ulTerminateKeys).Ulong());

SV_TABLE(kEntry, WFSPINENTRY, SV(WFSPINENTRY, usDigits).Ushort(),
         SV(WFSPINENTRY, wCompletion).Word());

// PIN verification data: validation data, offsets, PVVs, decimalisation
// tables and the encrypted keys are secret; key names and digit counts show.
SV_TABLE(kLocalDes, WFSPINLOCALDES, SV(WFSPINLOCALDES, lpsValidationData).Text().Secret(),
         SV(WFSPINLOCALDES, lpsOffset).Text().Secret(), SV(WFSPINLOCALDES, bPadding).Byte(),
         SV(WFSPINLOCALDES, usMaxPIN).Ushort(), SV(WFSPINLOCALDES, usValDigits).Ushort(),
         SV(WFSPINLOCALDES, bNoLeadingZero).Bool(), SV(WFSPINLOCALDES, lpsKey).Text(),
         SV(WFSPINLOCALDES, lpxKeyEncKey).Record<WFSXDATA>(kXData).Secret(),
         SV(WFSPINLOCALDES, lpsDecTable).Text().Secret());

SV_TABLE(kCreateOffset, WFSPINCREATEOFFSET,
         SV(WFSPINCREATEOFFSET, lpsValidationData).Text().Secret(),
         SV(WFSPINCREATEOFFSET, bPadding).Byte(), SV(WFSPINCREATEOFFSET, usMaxPIN).Ushort(),
         SV(WFSPINCREATEOFFSET, usValDigits).Ushort(), SV(WFSPINCREATEOFFSET, lpsKey).Text(),
         SV(WFSPINCREATEOFFSET, lpxKeyEncKey).Record<WFSXDATA>(kXData).Secret(),
         SV(WFSPINCREATEOFFSET, lpsDecTable).Text().Secret());

SV_TABLE(kLocalEurocheque, WFSPINLOCALEUROCHEQUE,
         SV(WFSPINLOCALEUROCHEQUE, lpsEurochequeData).Text().Secret(),
         SV(WFSPINLOCALEUROCHEQUE, lpsPVV).Text().Secret(),
         SV(WFSPINLOCALEUROCHEQUE, wFirstEncDigits).Word(),
         SV(WFSPINLOCALEUROCHEQUE, wFirstEncOffset).Word(),
         SV(WFSPINLOCALEUROCHEQUE, wPVVDigits).Word(),
         SV(WFSPINLOCALEUROCHEQUE, wPVVOffset).Word(), SV(WFSPINLOCALEUROCHEQUE, lpsKey).Text(),
         SV(WFSPINLOCALEUROCHEQUE, lpxKeyEncKey).Record<WFSXDATA>(kXData).Secret(),
         SV(WFSPINLOCALEUROCHEQUE, lpsDecTable).Text().Secret());

SV_TABLE(kLocalVisa, WFSPINLOCALVISA, SV(WFSPINLOCALVISA, lpsPAN).Text().Secret(),
         SV(WFSPINLOCALVISA, lpsPVV).Text().Secret(), SV(WFSPINLOCALVISA, wPVVDigits).Word(),
         SV(WFSPINLOCALVISA, lpsKey).Text(),
         SV(WFSPINLOCALVISA, lpxKeyEncKey).Record<WFSXDATA>(kXData).Secret());

SV_TABLE(kPresentClear, WFSPINPRESENTCLEAR, SV(WFSPINPRESENTCLEAR, ulPINPointer).Ulong(),
         SV(WFSPINPRESENTCLEAR, usPINOffset).Ushort());

// lpAlgorithmData is shown as the one algorithm data the system knows.
SV_TABLE(kPresentIdc, WFSPINPRESENTIDC, SV(WFSPINPRESENTIDC, wPresentAlgorithm).Word(),
         SV(WFSPINPRESENTIDC, wChipProtocol).Word(),
         SV(WFSPINPRESENTIDC, ulChipDataLength).Ulong(),
         SV(WFSPINPRESENTIDC, lpbChipData)
             .Bytes(SV_LENGTH(WFSPINPRESENTIDC, ulChipDataLength))
             .Secret(),
         SV(WFSPINPRESENTIDC, lpAlgorithmData).Record<WFSPINPRESENTCLEAR>(kPresentClear));

SV_TABLE(kPresentResult, WFSPINPRESENTRESULT, SV(WFSPINPRESENTRESULT, wChipProtocol).Word(),
         SV(WFSPINPRESENTRESULT, ulChipDataLength).Ulong(),
         SV(WFSPINPRESENTRESULT, lpbChipData)
             .Bytes(SV_LENGTH(WFSPINPRESENTRESULT, ulChipDataLength))
             .Secret());

// The customer data (the PAN) of a PIN block request never shows.
SV_TABLE(kBlock, WFSPINBLOCK, SV(WFSPINBLOCK, lpsCustomerData).Text().AlwaysHidden(),
         SV(WFSPINBLOCK, lpsXORData).Text().Secret(), SV(WFSPINBLOCK, bPadding).Byte(),
         SV(WFSPINBLOCK, wFormat).Word(), SV(WFSPINBLOCK, lpsKey).Text(),
         SV(WFSPINBLOCK, lpsKeyEncKey).Text());

SV_TABLE(kBlockEx, WFSPINBLOCKEX, SV(WFSPINBLOCKEX, lpsCustomerData).Text().AlwaysHidden(),
         SV(WFSPINBLOCKEX, lpsXORData).Text().Secret(), SV(WFSPINBLOCKEX, bPadding).Byte(),
         SV(WFSPINBLOCKEX, dwFormat).Dword(), SV(WFSPINBLOCKEX, lpsKey).Text(),
         SV(WFSPINBLOCKEX, lpsKeyEncKey).Text(), SV(WFSPINBLOCKEX, dwAlgorithm).Dword());

SV_TABLE(kGetPinEx, WFSPINGETPINEX, SV(WFSPINGETPINEX, usMinLen).Ushort(),
         SV(WFSPINGETPINEX, usMaxLen).Ushort(), SV(WFSPINGETPINEX, bAutoEnd).Bool(),
         SV(WFSPINGETPINEX, cEcho).Char(), SV(WFSPINGETPINEX, ulActiveFDKs).Ulong(),
         SV(WFSPINGETPINEX, ulActiveKeys).Ulong(), SV(WFSPINGETPINEX, ulTerminateFDKs).Ulong(),
         SV(WFSPINGETPINEX, ulTerminateKeys).Ulong(),
         SV(WFSPINGETPINEX, lpsCustomerData).Text().Secret(),
         SV(WFSPINGETPINEX, lpsXORData).Text().Secret(), SV(WFSPINGETPINEX, bPadding).Byte(),
         SV(WFSPINGETPINEX, dwFormat).Dword(), SV(WFSPINGETPINEX, lpsKey).Text(),
         SV(WFSPINGETPINEX, lpsKeyEncKey).Text(), SV(WFSPINGETPINEX, dwAlgorithm).Dword());

SV_TABLE(kGetPinExOut, WFSPINGETPINEXOUT, SV(WFSPINGETPINEXOUT, usDigits).Ushort(),
         SV(WFSPINGETPINEXOUT, wCompletion).Word(),
         SV(WFSPINGETPINEXOUT, usPinBlockLength).Ushort(),
         SV(WFSPINGETPINEXOUT, lpbPinBlockData)
             .Bytes(SV_LENGTH(WFSPINGETPINEXOUT, usPinBlockLength))
             .Secret());

SV_TABLE(kGetData, WFSPINGETDATA, SV(WFSPINGETDATA, usMaxLen).Ushort(),
         SV(WFSPINGETDATA, bAutoEnd).Bool(), SV(WFSPINGETDATA, ulActiveFDKs).Ulong(),
         SV(WFSPINGETDATA, ulActiveKeys).Ulong(), SV(WFSPINGETDATA, ulTerminateFDKs).Ulong(),
         SV(WFSPINGETDATA, ulTerminateKeys).Ulong());

// An entered digit never shows; the completion does.
SV_TABLE(kKey, WFSPINKEY, SV(WFSPINKEY, wCompletion).Word(),
         SV(WFSPINKEY, ulDigit).Ulong().Secret());

SV_TABLE(kData, WFSPINDATA, SV(WFSPINDATA, usKeys).Ushort(),
         SV(WFSPINDATA, lpPinKeys).Array<WFSPINKEY>(kKey, SV_LENGTH(WFSPINDATA, usKeys)).Secret(),
         SV(WFSPINDATA, wCompletion).Word());

SV_TABLE(kInit, WFSPININIT, SV(WFSPININIT, lpxIdent).Record<WFSXDATA>(kXData),
         SV(WFSPININIT, lpxKey).Record<WFSXDATA>(kXData).Secret());

SV_TABLE(kLocalBanksys, WFSPINLOCALBANKSYS,
         SV(WFSPINLOCALBANKSYS, lpxATMVAC).Record<WFSXDATA>(kXData).Secret());

SV_TABLE(kBanksysIo, WFSPINBANKSYSIO, SV(WFSPINBANKSYSIO, ulLength).Ulong(),
         SV(WFSPINBANKSYSIO, lpbData).Bytes(SV_LENGTH(WFSPINBANKSYSIO, ulLength)).Secret());

SV_TABLE(kSecMsg, WFSPINSECMSG, SV(WFSPINSECMSG, wProtocol).Word(),
         SV(WFSPINSECMSG, ulLength).Ulong(),
         SV(WFSPINSECMSG, lpbMsg).Bytes(SV_LENGTH(WFSPINSECMSG, ulLength)).Secret());

SV_TABLE(kImportKeyEx, WFSPINIMPORTKEYEX, SV(WFSPINIMPORTKEYEX, lpsKey).Text(),
         SV(WFSPINIMPORTKEYEX, lpsEncKey).Text(),
         SV(WFSPINIMPORTKEYEX, lpxValue).Record<WFSXDATA>(kXData).Secret(),
         SV(WFSPINIMPORTKEYEX, lpxControlVector).Record<WFSXDATA>(kXData),
         SV(WFSPINIMPORTKEYEX, dwUse).Dword(), SV(WFSPINIMPORTKEYEX, wKeyCheckMode).Word(),
         SV(WFSPINIMPORTKEYEX, lpxKeyCheckValue).Record<WFSXDATA>(kXData));

// The SM2 key import blocks that an encryption I/O record may carry.
SV_TABLE(kSm2ImportOut, PROTCHNIMPORTSM2PUBLICKEYOUT,
         SV(PROTCHNIMPORTSM2PUBLICKEYOUT, wCommand).Word(),
         SV(PROTCHNIMPORTSM2PUBLICKEYOUT, wResult).Word(),
         SV(PROTCHNIMPORTSM2PUBLICKEYOUT, dwSM2KeyCheckMode).Dword(),
         SV(PROTCHNIMPORTSM2PUBLICKEYOUT, lpxKeyCheckValue).Record<WFSXDATA>(kXData));

SV_TABLE(kSm2ImportIn, PROTCHNIMPORTSM2PUBLICKEYIN,
         SV(PROTCHNIMPORTSM2PUBLICKEYIN, wCommand).Word(),
         SV(PROTCHNIMPORTSM2PUBLICKEYIN, lpsKey).Text(),
         SV(PROTCHNIMPORTSM2PUBLICKEYIN, lpxValue).Record<WFSXDATA>(kXData).Secret(),
         SV(PROTCHNIMPORTSM2PUBLICKEYIN, dwUse).Dword(),
         SV(PROTCHNIMPORTSM2PUBLICKEYIN, lpsSigKey).Text(),
         SV(PROTCHNIMPORTSM2PUBLICKEYIN, dwSM2SignatureAlgorithm).Dword(),
         SV(PROTCHNIMPORTSM2PUBLICKEYIN, lpxSignature).Record<WFSXDATA>(kXData));

// lpvData of an encryption I/O record: an SM2 block when its length is the
// block's size, else its bytes.
QString RenderEncIoData(CXFSSPParam& r, const unsigned char* record, const QString& name,
                        int indent, int hide) {
  WFSPINENCIO io;
  std::memcpy(&io, record, sizeof io);
  if (io.ulDataLength == sizeof(PROTCHNIMPORTSM2PUBLICKEYOUT)) {
    return scrivel::RenderRecord(r, kSm2ImportOut, io.lpvData,
                                 QStringLiteral("PROTCHNIMPORTSM2PUBLICKEYOUT"), indent, hide);
  }
  if (io.ulDataLength == sizeof(PROTCHNIMPORTSM2PUBLICKEYIN)) {
    return scrivel::RenderRecord(r, kSm2ImportIn, io.lpvData,
                                 QStringLiteral("PROTCHNIMPORTSM2PUBLICKEYIN"), indent, hide);
  }
  if (hide != 0) return r.GetParamString_LPBYTE(scrivel::kHiddenBytes, 3, name, indent);
  return r.GetParamString_LPBYTE(static_cast<const unsigned char*>(io.lpvData), io.ulDataLength,
                                 name, indent);
}

SV_TABLE(kEncIo, WFSPINENCIO, SV(WFSPINENCIO, wProtocol).Word(),
         SV(WFSPINENCIO, ulDataLength).Ulong(),
         SV(WFSPINENCIO, lpvData).Custom(&RenderEncIoData, SV_LENGTH(WFSPINENCIO, ulDataLength))
             .Secret());

SV_TABLE(kAccess, WFSPINACCESS, SV(WFSPINACCESS, lpsKeyName).Text(),
         SV(WFSPINACCESS, lErrorCode).Long());

SV_TABLE(kStartKeyExchange, WFSPINSTARTKEYEXCHANGE,
         SV(WFSPINSTARTKEYEXCHANGE, lpxRandomItem).Record<WFSXDATA>(kXData));

SV_TABLE(kImportRsaPublicKey, WFSPINIMPORTRSAPUBLICKEY,
         SV(WFSPINIMPORTRSAPUBLICKEY, lpsKey).Text(),
         SV(WFSPINIMPORTRSAPUBLICKEY, lpxValue).Record<WFSXDATA>(kXData).Secret(),
         SV(WFSPINIMPORTRSAPUBLICKEY, dwUse).Dword(),
         SV(WFSPINIMPORTRSAPUBLICKEY, lpsSigKey).Text(),
         SV(WFSPINIMPORTRSAPUBLICKEY, dwRSASignatureAlgorithm).Dword(),
         SV(WFSPINIMPORTRSAPUBLICKEY, lpxSignature).Record<WFSXDATA>(kXData));

SV_TABLE(kImportRsaPublicKeyOutput, WFSPINIMPORTRSAPUBLICKEYOUTPUT,
         SV(WFSPINIMPORTRSAPUBLICKEYOUTPUT, dwRSAKeyCheckMode).Dword(),
         SV(WFSPINIMPORTRSAPUBLICKEYOUTPUT, lpxKeyCheckValue).Record<WFSXDATA>(kXData));

SV_TABLE(kExportRsaIssuerSignedItem, WFSPINEXPORTRSAISSUERSIGNEDITEM,
         SV(WFSPINEXPORTRSAISSUERSIGNEDITEM, wExportItemType).Word(),
         SV(WFSPINEXPORTRSAISSUERSIGNEDITEM, lpsName).Text());

SV_TABLE(kExportRsaIssuerSignedItemOutput, WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT,
         SV(WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT, lpxValue).Record<WFSXDATA>(kXData).Secret(),
         SV(WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT, dwRSASignatureAlgorithm).Dword(),
         SV(WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT, lpxSignature).Record<WFSXDATA>(kXData));

SV_TABLE(kImportRsaSignedDesKey, WFSPINIMPORTRSASIGNEDDESKEY,
         SV(WFSPINIMPORTRSASIGNEDDESKEY, lpsKey).Text(),
         SV(WFSPINIMPORTRSASIGNEDDESKEY, lpsDecryptKey).Text(),
         SV(WFSPINIMPORTRSASIGNEDDESKEY, dwRSAEncipherAlgorithm).Dword(),
         SV(WFSPINIMPORTRSASIGNEDDESKEY, lpxValue).Record<WFSXDATA>(kXData).Secret(),
         SV(WFSPINIMPORTRSASIGNEDDESKEY, dwUse).Dword(),
         SV(WFSPINIMPORTRSASIGNEDDESKEY, lpsSigKey).Text(),
         SV(WFSPINIMPORTRSASIGNEDDESKEY, dwRSASignatureAlgorithm).Dword(),
         SV(WFSPINIMPORTRSASIGNEDDESKEY, lpxSignature).Record<WFSXDATA>(kXData));

SV_TABLE(kImportRsaSignedDesKeyOutput, WFSPINIMPORTRSASIGNEDDESKEYOUTPUT,
         SV(WFSPINIMPORTRSASIGNEDDESKEYOUTPUT, wKeyLength).Word(),
         SV(WFSPINIMPORTRSASIGNEDDESKEYOUTPUT, wKeyCheckMode).Word(),
         SV(WFSPINIMPORTRSASIGNEDDESKEYOUTPUT, lpxKeyCheckValue).Record<WFSXDATA>(kXData));

// Binary data named by a type alone may be a PIN block or a key: hidden.
QString RenderXData(CXFSSPParam& r, const void* data, int, const QString& name, int indent) {
  return static_cast<CWFSEPPSPParam&>(r).GetParamString(static_cast<const WFSXDATA*>(data), name,
                                                         indent, g_bHidenLog);
}

template <class T>
constexpr scrivel::TypeRender One = &scrivel::RenderOne<CWFSEPPSPParam, T>;
template <class T>
constexpr scrivel::TypeRender Counted = &scrivel::RenderCounted<CWFSEPPSPParam, T>;

const TypeEntry kTypes[] = {
    {"LPWFSPINCAPS", One<WFSPINCAPS>, Shape::Record, &kCaps},
    {"LPWFSPINSTATUS", One<WFSPINSTATUS>, Shape::Record, &kStatus},
    {"LPWFSPINKEYDETAIL*", &scrivel::RenderNullTerminated<CWFSEPPSPParam, WFSPINKEYDETAIL>,
     Shape::NullTerminated, &kKeyDetail},
    {"LPWFSPINFDK", One<WFSPINFDK>, Shape::Record, &kFdk},
    {"LPWFSPINFDK*", Counted<WFSPINFDK>, Shape::Counted, &kFdk},
    {"LPPWFSPINFDK", Counted<WFSPINFDK>, Shape::Counted, &kFdk},
    {"LPWFSPINFUNCKEYDETAIL", One<WFSPINFUNCKEYDETAIL>, Shape::Record, &kFuncKeyDetail},
    {"LPWFSPINKEYDETAILEX", One<WFSPINKEYDETAILEX>, Shape::Record, &kKeyDetailEx},
    {"LPWFSXDATA", &RenderXData, Shape::Record, &kXData},
    {"LPWFSPINCRYPT", One<WFSPINCRYPT>, Shape::Record, &kCrypt},
    {"LPWFSPINIMPORT", One<WFSPINIMPORT>, Shape::Record, &kImport},
    {"LPWFSPINDERIVE", One<WFSPINDERIVE>, Shape::Record, &kDerive},
    {"LPWFSPINGETPIN", One<WFSPINGETPIN>, Shape::Record, &kGetPin},
    {"LPWFSPINENTRY", One<WFSPINENTRY>, Shape::Record, &kEntry},
    {"LPWFSPINLOCALDES", One<WFSPINLOCALDES>, Shape::Record, &kLocalDes},
    {"LPWFSPINCREATEOFFSET", One<WFSPINCREATEOFFSET>, Shape::Record, &kCreateOffset},
    {"LPWFSPINLOCALEUROCHEQUE", One<WFSPINLOCALEUROCHEQUE>, Shape::Record, &kLocalEurocheque},
    {"LPWFSPINLOCALVISA", One<WFSPINLOCALVISA>, Shape::Record, &kLocalVisa},
    {"LPWFSPINPRESENTIDC", One<WFSPINPRESENTIDC>, Shape::Record, &kPresentIdc},
    {"LPWFSPINPRESENTRESULT", One<WFSPINPRESENTRESULT>, Shape::Record, &kPresentResult},
    {"LPWFSPINPRESENTCLEAR", One<WFSPINPRESENTCLEAR>, Shape::Record, &kPresentClear},
    {"LPWFSPINBLOCK", One<WFSPINBLOCK>, Shape::Record, &kBlock},
    {"LPWFSPINBLOCKEX", One<WFSPINBLOCKEX>, Shape::Record, &kBlockEx},
    {"LPWFSPINGETPINEX", One<WFSPINGETPINEX>, Shape::Record, &kGetPinEx},
    {"LPWFSPINGETPINEXOUT", One<WFSPINGETPINEXOUT>, Shape::Record, &kGetPinExOut},
    {"LPWFSPINGETDATA", One<WFSPINGETDATA>, Shape::Record, &kGetData},
    {"LPWFSPINKEY*", Counted<WFSPINKEY>, Shape::Counted, &kKey},
    {"LPPWFSPINKEY", Counted<WFSPINKEY>, Shape::Counted, &kKey},
    {"LPWFSPINKEY", One<WFSPINKEY>, Shape::Record, &kKey},
    {"LPWFSPINDATA", One<WFSPINDATA>, Shape::Record, &kData},
    {"LPWFSPININIT", One<WFSPININIT>, Shape::Record, &kInit},
    {"LPWFSPINLOCALBANKSYS", One<WFSPINLOCALBANKSYS>, Shape::Record, &kLocalBanksys},
    {"LPWFSPINBANKSYSIO", One<WFSPINBANKSYSIO>, Shape::Record, &kBanksysIo},
    {"LPWFSPINSECMSG", One<WFSPINSECMSG>, Shape::Record, &kSecMsg},
    {"LPWFSPINIMPORTKEYEX", One<WFSPINIMPORTKEYEX>, Shape::Record, &kImportKeyEx},
    {"LPWFSPINENCIO", One<WFSPINENCIO>, Shape::Record, &kEncIo},
    {"LPWFSPINACCESS", One<WFSPINACCESS>, Shape::Record, &kAccess},
    {"LPWFSPINSTARTKEYEXCHANGE", One<WFSPINSTARTKEYEXCHANGE>, Shape::Record, &kStartKeyExchange},
    {"LPWFSPINIMPORTRSAPUBLICKEY", One<WFSPINIMPORTRSAPUBLICKEY>, Shape::Record,
     &kImportRsaPublicKey},
    {"LPWFSPINIMPORTRSAPUBLICKEYOUTPUT", One<WFSPINIMPORTRSAPUBLICKEYOUTPUT>, Shape::Record,
     &kImportRsaPublicKeyOutput},
    {"LPWFSPINEXPORTRSAISSUERSIGNEDITEM", One<WFSPINEXPORTRSAISSUERSIGNEDITEM>, Shape::Record,
     &kExportRsaIssuerSignedItem},
    {"LPWFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT", One<WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT>,
     Shape::Record, &kExportRsaIssuerSignedItemOutput},
    {"LPWFSPINIMPORTRSASIGNEDDESKEY", One<WFSPINIMPORTRSASIGNEDDESKEY>, Shape::Record,
     &kImportRsaSignedDesKey},
    {"LPWFSPINIMPORTRSASIGNEDDESKEYOUTPUT", One<WFSPINIMPORTRSASIGNEDDESKEYOUTPUT>,
     Shape::Record, &kImportRsaSignedDesKeyOutput},
};

}  // namespace

CWFSEPPSPParam::CWFSEPPSPParam() : CXFSSPParam(WFS_SERVICE_CLASS_PIN) {}

const scrivel::TypeTable& CWFSEPPSPParam::OwnTypes() const {
  static const scrivel::TypeTable table(kTypes);
  return table;
}

SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINCAPS, kCaps)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINSTATUS, kStatus)

QString CWFSEPPSPParam::GetParamString(const WFSPINKEYDETAIL* const* pp, const QString& name,
                                       int indent) {
  return scrivel::RenderArray(*this, kKeyDetail, reinterpret_cast<const void* const*>(pp), -1,
                              true, name, indent, g_bHidenLog);
}

SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINFDK, kFdk)

QString CWFSEPPSPParam::GetParamString(const WFSPINFDK* const* pp, int count, const QString& name,
                                       int indent) {
  return scrivel::RenderArray(*this, kFdk, reinterpret_cast<const void* const*>(pp), count, true,
                              name, indent, g_bHidenLog);
}

SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINFUNCKEYDETAIL, kFuncKeyDetail)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINKEYDETAILEX, kKeyDetailEx)

QString CWFSEPPSPParam::GetParamString(const WFSXDATA* p, const QString& name, int indent,
                                       int hide) {
  return scrivel::RenderRecord(*this, kXData, p, name, indent, hide);
}

SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINCRYPT, kCrypt)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINIMPORT, kImport)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINDERIVE, kDerive)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINGETPIN, kGetPin)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINENTRY, kEntry)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINLOCALDES, kLocalDes)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINCREATEOFFSET, kCreateOffset)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINLOCALEUROCHEQUE, kLocalEurocheque)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINLOCALVISA, kLocalVisa)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINPRESENTIDC, kPresentIdc)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINPRESENTRESULT, kPresentResult)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINPRESENTCLEAR, kPresentClear)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINBLOCK, kBlock)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINBLOCKEX, kBlockEx)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINGETPINEX, kGetPinEx)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINGETPINEXOUT, kGetPinExOut)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINGETDATA, kGetData)

QString CWFSEPPSPParam::GetParamString(const WFSPINKEY* const* pp, int count, const QString& name,
                                       int indent) {
  return scrivel::RenderArray(*this, kKey, reinterpret_cast<const void* const*>(pp), count, true,
                              name, indent, g_bHidenLog);
}

SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINKEY, kKey)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINDATA, kData)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPININIT, kInit)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINLOCALBANKSYS, kLocalBanksys)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINBANKSYSIO, kBanksysIo)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINSECMSG, kSecMsg)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINIMPORTKEYEX, kImportKeyEx)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINENCIO, kEncIo)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINACCESS, kAccess)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINSTARTKEYEXCHANGE, kStartKeyExchange)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINIMPORTRSAPUBLICKEY, kImportRsaPublicKey)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINIMPORTRSAPUBLICKEYOUTPUT, kImportRsaPublicKeyOutput)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINEXPORTRSAISSUERSIGNEDITEM, kExportRsaIssuerSignedItem)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT,
                   kExportRsaIssuerSignedItemOutput)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINIMPORTRSASIGNEDDESKEY, kImportRsaSignedDesKey)
SV_RECORD_RENDERER(CWFSEPPSPParam, WFSPINIMPORTRSASIGNEDDESKEYOUTPUT,
                   kImportRsaSignedDesKeyOutput)
