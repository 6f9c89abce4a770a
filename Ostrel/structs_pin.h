// The PIN pad's structures (PIN) as the codec carries them. On the PIN pad
// BYTE and CHAR members travel as base64 text of their byte, binary data
// with its length (LPWFSXDATA, the lpx members) as a nested object, and dw
// members as unsigned integers.
#ifndef OSTREL_STRUCTS_PIN_H
#define OSTREL_STRUCTS_PIN_H

#include "structdesc.h"

namespace codec {
namespace pin {

// Binary data with its length, both ways.
extern const Description kXData;  // WFSXDATA

// Get-info replies.
extern const Description kStatus;           // WFSPINSTATUS
extern const Description kCapabilities;     // WFSPINCAPS
extern const Description kLoadCertOptions;  // WFSPINLOADCERTOPTIONS (elements of the caps)
extern const Description kEtsCaps;          // WFSPINETSCAPS
extern const Description kKeyDetail;        // WFSPINKEYDETAIL (elements)
extern const Description kKeyDetailEx;      // WFSPINKEYDETAILEX (elements)
extern const Description kFdk;              // WFSPINFDK
extern const Description kFuncKeyDetail;    // WFSPINFUNCKEYDETAIL
extern const Description kHexKeys;          // WFSPINHEXKEYS
extern const Description kSecureKeyDetail;  // WFSPINSECUREKEYDETAIL
extern const Description kHsmInfo;          // WFSPINHSMINFO
extern const Description kHsmDetail;        // WFSPINHSMDETAIL

// Execute replies.
extern const Description kEntry;                        // WFSPINENTRY
extern const Description kData;                         // WFSPINDATA
extern const Description kPresentResult;                // WFSPINPRESENTRESULT
extern const Description kSecureMessageReply;           // WFSPINSECUREMESSAGE (data as "lpbData")
extern const Description kImportRsaPublicKeyOutput;     // WFSPINIMPORTRSAPUBLICKEYOUTPUT
extern const Description kExportRsaIssuerItemOutput;    // WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT
extern const Description kImportRsaSignedDesKeyOutput;  // WFSPINIMPORTRSASIGNEDDESKEYOUTPUT
extern const Description kExportRsaEppItemOutput;       // WFSPINEXPORTRSAEPPSIGNEDITEMOUTPUT
extern const Description kLoadCertificateOutput;        // WFSPINLOADCERTIFICATEOUTPUT
extern const Description kGetCertificateOutput;         // WFSPINGETCERTIFICATEOUTPUT
extern const Description kReplaceCertificateOutput;     // WFSPINREPLACECERTIFICATEOUTPUT
extern const Description kImportPkcs7KeyOutput;         // WFSPINIMPORTRSAENCIPHEREDPKCS7KEYOUTPUT
extern const Description kEmvImportPublicKeyOutput;     // WFSPINEMVIMPORTPUBLICKEYOUTPUT
extern const Description kDigestOutput;                 // WFSPINDIGESTOUTPUT
extern const Description kSecureKeyEntryOutput;         // WFSPINSECUREKEYENTRYOUT
extern const Description kKcv;                          // WFSPINKCV
extern const Description kGetPinExOutput;               // WFSPINGETPINEXOUT

// Events.
extern const Description kKey;               // WFSPINKEY (also the keys of WFSPINDATA)
extern const Description kIllegalKeyAccess;  // WFSPINILLEGALKEYACCESS
extern const Description kDevicePosition;    // WFSPINDEVICEPOSITION
extern const Description kPowerSaveChange;   // WFSPINPOWERSAVECHANGE

// Both ways.
extern const Description kInit;              // WFSPININIT
extern const Description kBanksysIo;         // WFSPINBANKSYSIO
extern const Description kEncIo;             // WFSPINENCIO (its data is not carried)
extern const Description kStartKeyExchange;  // WFSPINSTARTKEYEXCHANGE
extern const Description kHsmIdentifier;     // WFSPINHSMIDENTIFIER

// Requests.
extern const Description kCrypt;                  // WFSPINCRYPT
extern const Description kImport;                 // WFSPINIMPORT
extern const Description kGetPin;                 // WFSPINGETPIN
extern const Description kBlock;                  // WFSPINBLOCK
extern const Description kGetData;                // WFSPINGETDATA
extern const Description kLocalDes;               // WFSPINLOCALDES
extern const Description kLocalEurocheque;        // WFSPINLOCALEUROCHEQUE
extern const Description kLocalVisa;              // WFSPINLOCALVISA
extern const Description kCreateOffset;           // WFSPINCREATEOFFSET
extern const Description kDerive;                 // WFSPINDERIVE
extern const Description kPresentIdc;             // WFSPINPRESENTIDC
extern const Description kPresentClear;           // WFSPINPRESENTCLEAR
extern const Description kLocalBanksys;           // WFSPINLOCALBANKSYS
extern const Description kSecureMessage;          // WFSPINSECMSG
extern const Description kImportKeyEx;            // WFSPINIMPORTKEYEX
extern const Description kHsmInit;                // WFSPINHSMINIT
extern const Description kImportRsaPublicKey;     // WFSPINIMPORTRSAPUBLICKEY
extern const Description kExportRsaIssuerItem;    // WFSPINEXPORTRSAISSUERSIGNEDITEM
extern const Description kImportRsaSignedDesKey;  // WFSPINIMPORTRSASIGNEDDESKEY
extern const Description kGenerateRsaKeyPair;     // WFSPINGENERATERSAKEYPAIR
extern const Description kExportRsaEppItem;       // WFSPINEXPORTRSAEPPSIGNEDITEM
extern const Description kLoadCertificate;        // WFSPINLOADCERTIFICATE
extern const Description kGetCertificate;         // WFSPINGETCERTIFICATE
extern const Description kReplaceCertificate;     // WFSPINREPLACECERTIFICATE
extern const Description kImportPkcs7Key;         // WFSPINIMPORTRSAENCIPHEREDPKCS7KEY
extern const Description kEmvImportPublicKey;     // WFSPINEMVIMPORTPUBLICKEY
extern const Description kDigest;                 // WFSPINDIGEST
extern const Description kSecureKeyEntry;         // WFSPINSECUREKEYENTRY
extern const Description kGenerateKcv;            // WFSPINGENERATEKCV
extern const Description kSetGuidanceLight;       // WFSPINSETGUIDLIGHT
extern const Description kMaintainPin;            // WFSPINMAINTAINPIN
extern const Description kImportKeyBlock;         // WFSPINIMPORTKEYBLOCK
extern const Description kPowerSaveControl;       // WFSPINPOWERSAVECONTROL
extern const Description kBlockEx;                // WFSPINBLOCKEX
extern const Description kGetPinEx;               // WFSPINGETPINEX

// All of the above.
Descriptions All();

}  // namespace pin
}  // namespace codec

#endif
