// Every structure description of every class, walked: its members are those
// the device service names, its layout is sound, a structure with every
// member set survives encoding and decoding, missing members leave NULL
// pointers, and every allocation point fails cleanly.
#include <gtest/gtest.h>
#include <json/value.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "corvid.h"
#include "described.h"
#include "ostrel_test_support.h"
#include "structcodec.h"
#include "structs_crd.h"
#include "structs_idc.h"
#include "structs_pin.h"
#include "structs_ptr.h"
#include "structs_system.h"
#include "test_support.h"

namespace {

using Names = std::vector<std::string>;

// The JSON members of every structure, as the device service's protocol
// lists them, by structure.
const std::map<std::string, Names>& ProtocolMembers() {
  static const std::map<std::string, Names> kMembers = {
      // Card reader.
      {"WFSIDCSTATUS",
       {"fwDevice", "fwMedia", "fwRetainBin", "fwSecurity", "usCards", "fwChipPower", "lpszExtra",
        "dwGuidLights", "fwChipModule", "fwMagReadModule", "fwMagWriteModule", "fwFrontImageModule",
        "fwBackImageModule", "wDevicePosition", "usPowerSaveRecoveryTime"}},
      {"WFSIDCCAPS",
       {"wClass",
        "fwType",
        "bCompound",
        "fwReadTracks",
        "fwWriteTracks",
        "fwChipProtocols",
        "usCards",
        "fwSecType",
        "fwPowerOnOption",
        "fwPowerOffOption",
        "bFluxSensorProgrammable",
        "bReadWriteAccessFollowingEject",
        "fwWriteMode",
        "fwChipPower",
        "lpszExtra",
        "fwDIPMode",
        "lpwMemoryChipProtocols",
        "dwGuidLights",
        "fwEjectPosition",
        "bPowerSaveControl"}},
      {"WFSIDCFORM",
       {"lpszFormName", "cFieldSeparatorTrack1", "cFieldSeparatorTrack2", "cFieldSeparatorTrack3",
        "fwAction", "lpszTracks", "bSecure", "lpszTrack1Fields", "lpszTrack2Fields",
        "lpszTrack3Fields"}},
      {"WFSIDCIFMIDENTIFIER", {"wIFMAuthority", "lpszIFMIdentifier"}},
      {"WFSIDCRETAINCARD", {"usCount", "fwPosition"}},
      {"WFSIDCTRACKEVENT", {"fwStatus", "lpstrTrack", "lpstrData"}},
      {"WFSIDCCARDACT", {"wAction", "wPosition"}},
      {"WFSIDCDEVICEPOSITION", {"wPosition"}},
      {"WFSIDCPOWERSAVECHANGE", {"usPowerSaveRecoveryTime"}},
      {"WFSIDCEJECTCARD", {"wEjectPosition"}},
      {"WFSIDCSETKEY", {"usKeyLen", "lpbKeyValue"}},
      {"WFSIDCCARDDATA", {"wDataSource", "wStatus", "ulDataLength", "lpbData", "fwWriteMethod"}},
      {"WFSIDCCHIPIO", {"wChipProtocol", "ulChipDataLength", "lpbChipData"}},
      {"WFSIDCWRITETRACK", {"lpstrFormName", "lpstrTrackData", "fwWriteMethod"}},
      {"ReadDataFlags", {"lpwReadData"}},
      {"WFSIDCPARSEDATA", {"lpstrFormName", "lppCardData"}},
      {"WFSIDCSETGUIDLIGHT", {"wGuidLight", "dwCommand"}},
      {"WFSIDCPOWERSAVECONTROL", {"usMaxPowerSaveRecoveryTime"}},
      // System events.
      {"WFSUNDEVMSG",
       {"lpszLogicalName", "lpszWorkstationName", "lpszAppID", "dwSize", "lpbDescription", "dwMsg",
        "lpWFSResult"}},
      {"WFSRESULT", {"requestID", "hService", "hResult", "dwEventID"}},
      {"WFSHWERROR",
       {"lpszLogicalName", "lpszPhysicalName", "lpszWorkstationName", "lpszAppID", "dwAction",
        "dwSize", "lpbDescription"}},
      {"WFSVRSNERROR",
       {"lpszLogicalName", "lpszWorkstationName", "lpszAppID", "dwSize", "lpbDescription",
        "lpWFSVersion"}},
      {"WFSVERSION",
       {"wVersion", "wLowVersion", "wHighVersion", "szDescription", "szSystemStatus"}},
      {"WFSDEVSTATUS", {"lpszPhysicalName", "lpszWorkstationName", "dwState"}},
      {"WFSAPPDISC", {"lpszLogicalName", "lpszWorkstationName", "lpszAppID"}},
      // PIN pad: replies and events.
      {"WFSXDATA", {"usLength", "lpbData"}},
      {"WFSPINSTATUS",
       {"fwDevice", "fwEncStat", "lpszExtra", "dwGuidLights", "fwAutoBeepMode",
        "dwCertificateState", "wDevicePosition", "usPowerSaveRecoveryTime"}},
      {"WFSPINCAPS",
       {"wClass", "fwType", "bCompound", "usKeyNum", "fwAlgorithms", "fwPinFormats",
        "fwDerivationAlgorithms", "fwPresentationAlgorithms", "fwDisplay", "bIDConnect", "fwIDKey",
        "fwValidationAlgorithms", "fwKeyCheckModes", "lpszExtra", "dwGuidLights",
        "bPINCanPersistAfterUse", "fwAutoBeep", "lpsHSMVendor", "bHSMJournaling",
        "dwRSAAuthenticationScheme", "dwRSASignatureAlgorithm", "dwRSACryptAlgorithm",
        "dwRSAKeyCheckMode", "dwSignatureScheme", "lpwEMVImportSchemes", "fwEMVHashAlgorithm",
        "bKeyImportThroughParts", "fwENCIOProtocols", "bTypeCombined", "bSetPinblockDataRequired",
        "fwKeyBlockImportFormats", "bPowerSaveControl", "bAntiFraudModule", "wDESKeyLength",
        "wCertificateTypes", "lppRemoteInitModes", "lppLoadCertOptions", "dwCRKLLoadOptions",
        "lpETSCaps"}},
      {"WFSPINLOADCERTOPTIONS", {"dwSigner", "dwOption"}},
      {"WFSPINETSCAPS",
       {"lXPos", "lYPos", "usXSize", "usYSize", "wMaxTouchFrames", "wMaxTouchKeys",
        "wFloatFlags"}},
      {"WFSPINKEYDETAIL", {"lpsKeyName", "fwUse", "bLoaded", "lpxKeyBlockHeader"}},
      {"WFSPINKEYDETAILEX",
       {"lpsKeyName", "dwuse", "bGeneration", "bVersion", "bActivatingDate", "bExpiryDate",
        "bLoaded", "lpxKeyBlockHeader"}},
      {"WFSPINFDK", {"ulFDK", "usXPosition", "usYPosition"}},
      {"WFSPINFUNCKEYDETAIL", {"ulFuncMask", "usNumberFDKs", "lppFDKs"}},
      {"WFSPINHEXKEYS", {"usXPos", "usYPos", "usXSize", "usYSize", "ulFK", "ulShiftFK"}},
      {"WFSPINSECUREKEYDETAIL",
       {"fwKeyEntryMode", "lpFuncKeyDetail", "ulClearFDK", "ulCancelFDK", "ulBackspaceFDK",
        "ulEnterFDK", "wColumns", "wRows", "lppHexKeys"}},
      {"WFSPINHSMINFO", {"wHSMSerialNumber", "lpsZKAID"}},
      {"WFSPINHSMDETAIL", {"wActiveLogicalHSM", "lppHSMInfo"}},
      {"WFSPINENTRY", {"usDigits", "wCompletion"}},
      {"WFSPINDATA", {"usKeys", "lpPinKeys", "wCompletion"}},
      {"WFSPINPRESENTRESULT", {"wChipProtocol", "ulChipDataLength", "lpbChipData"}},
      {"WFSPINSECUREMESSAGE", {"wProtocol", "ulLength", "lpbData"}},
      {"WFSPINIMPORTRSAPUBLICKEYOUTPUT", {"dwRSAKeyCheckMode", "lpxKeyCheckValue"}},
      {"WFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT",
       {"lpxValue", "dwRSASignatureAlgorithm", "lpxSignature"}},
      {"WFSPINIMPORTRSASIGNEDDESKEYOUTPUT", {"wKeyLength", "wKeyCheckMode", "lpxKeyCheckValue"}},
      {"WFSPINEXPORTRSAEPPSIGNEDITEMOUTPUT", {"lpxValue", "lpxSelfSignature", "lpxSignature"}},
      {"WFSPINLOADCERTIFICATEOUTPUT", {"lpxCertificateData"}},
      {"WFSPINGETCERTIFICATEOUTPUT", {"lpxCertificate"}},
      {"WFSPINREPLACECERTIFICATEOUTPUT", {"lpxNewCertificateData"}},
      {"WFSPINIMPORTRSAENCIPHEREDPKCS7KEYOUTPUT", {"wKeyLength", "lpxRSAData"}},
      {"WFSPINEMVIMPORTPUBLICKEYOUTPUT", {"lpsExpiryDate"}},
      {"WFSPINDIGESTOUTPUT", {"lpxDigestOutput"}},
      {"WFSPINSECUREKEYENTRYOUT", {"usDigits", "wCompletion", "lpxKCV"}},
      {"WFSPINKCV", {"lpxKCV"}},
      {"WFSPINGETPINEXOUT", {"usDigits", "wCompletion", "usPinBlockLength", "lpbPinBlockData"}},
      {"WFSPINKEY", {"wCompletion", "ulDigit"}},
      {"WFSPINILLEGALKEYACCESS", {"lpsKeyName", "lErrorCode"}},
      {"WFSPINDEVICEPOSITION", {"wPosition"}},
      {"WFSPINPOWERSAVECHANGE", {"usPowerSaveRecoveryTime"}},
      {"WFSPININIT", {"lpxIdent", "lpxKey"}},
      {"WFSPINBANKSYSIO", {"ulLength", "lpbData"}},
      {"WFSPINENCIO", {"wProtocol", "ulDataLength", "lpvData"}},
      {"WFSPINSTARTKEYEXCHANGE", {"lpxRandomItem"}},
      {"WFSPINHSMIDENTIFIER", {"wHSMSerialNumber"}},
      // PIN pad: requests (a request's members in field order; the text
      // sorts them anyway).
      {"WFSPINCRYPT",
       {"wMode", "lpsKey", "lpxKeyEncKey", "wAlgorithm", "lpsStartValueKey", "lpxStartValue",
        "bPadding", "bCompression", "lpxCryptData"}},
      {"WFSPINIMPORT", {"lpsKey", "lpsEncKey", "lpxIdent", "lpxValue", "fwUse"}},
      {"WFSPINGETPIN",
       {"usMinLen", "usMaxLen", "bAutoEnd", "cEcho", "ulActiveFDKs", "ulActiveKeys",
        "ulTerminateFDKs", "ulTerminateKeys"}},
      {"WFSPINBLOCK",
       {"lpsCustomerData", "lpsXORData", "bPadding", "wFormat", "lpsKey", "lpsKeyEncKey"}},
      {"WFSPINGETDATA",
       {"usMaxLen", "bAutoEnd", "ulActiveFDKs", "ulActiveKeys", "ulTerminateFDKs",
        "ulTerminateKeys"}},
      {"WFSPINLOCALDES",
       {"lpsValidationData", "lpsOffset", "bPadding", "usMaxPIN", "usValDigits", "bNoLeadingZero",
        "lpsKey", "lpxKeyEncKey", "lpsDecTable"}},
      {"WFSPINLOCALEUROCHEQUE",
       {"lpsEurochequeData", "lpsPVV", "wFirstEncDigits", "wFirstEncOffset", "wPVVDigits",
        "wPVVOffset", "lpsKey", "lpxKeyEncKey", "lpsDecTable"}},
      {"WFSPINLOCALVISA", {"lpsPAN", "lpsPVV", "wPVVDigits", "lpsKey", "lpxKeyEncKey"}},
      {"WFSPINCREATEOFFSET",
       {"lpsValidationData", "bPadding", "usMaxPIN", "usValDigits", "lpsKey", "lpxKeyEncKey",
        "lpsDecTable"}},
      {"WFSPINDERIVE",
       {"wDerivationAlgorithm", "lpsKey", "lpsKeyGenKey", "lpsStartValueKey", "lpxStartValue",
        "bPadding", "lpxInputData", "lpxIdent"}},
      {"WFSPINPRESENTIDC",
       {"wPresentAlgorithm", "wChipProtocol", "ulChipDataLength", "lpbChipData",
        "lpAlgorithmData"}},
      {"WFSPINPRESENTCLEAR", {"ulPINPointer", "usPINOffset"}},
      {"WFSPINLOCALBANKSYS", {"lpxATMVAC"}},
      {"WFSPINSECMSG", {"wProtocol", "ulLength", "lpbMsg"}},
      {"WFSPINIMPORTKEYEX",
       {"lpsKey", "lpsEncKey", "lpxValue", "lpxControlVector", "dwUse", "wKeyCheckMode",
        "lpxKeyCheckValue"}},
      {"WFSPINHSMINIT", {"wInitMode", "lpxOnlineTime"}},
      {"WFSPINIMPORTRSAPUBLICKEY",
       {"lpsKey", "lpxValue", "dwUse", "lpsSigKey", "dwRSASignatureAlgorithm", "lpxSignature"}},
      {"WFSPINEXPORTRSAISSUERSIGNEDITEM", {"wExportItemType", "lpsName"}},
      {"WFSPINIMPORTRSASIGNEDDESKEY",
       {"lpsKey", "lpsDecryptKey", "dwRSAEncipherAlgorithm", "lpxValue", "dwUse", "lpsSigKey",
        "dwRSASignatureAlgorithm", "lpxSignature"}},
      {"WFSPINGENERATERSAKEYPAIR", {"lpsKey", "dwUse", "wModulusLength", "wExponentValue"}},
      {"WFSPINEXPORTRSAEPPSIGNEDITEM",
       {"wExportItemType", "lpsName", "lpsSigKey", "dwSignatureAlgorithm"}},
      {"WFSPINLOADCERTIFICATE", {"lpxLoadCertificate"}},
      {"WFSPINGETCERTIFICATE", {"wGetCertificate"}},
      {"WFSPINREPLACECERTIFICATE", {"lpxReplaceCertificate"}},
      {"WFSPINIMPORTRSAENCIPHEREDPKCS7KEY", {"lpxImportRSAKeyIn", "lpsKey", "dwUse"}},
      {"WFSPINEMVIMPORTPUBLICKEY",
       {"lpsKey", "dwUse", "wImportScheme", "lpxImportData", "lpsSigKey"}},
      {"WFSPINDIGEST", {"wHashAlgorithm", "lpxDigestInput"}},
      {"WFSPINSECUREKEYENTRY",
       {"usKeyLen", "bAutoEnd", "ulActiveFDKs", "ulActiveKeys", "ulTerminateFDKs",
        "ulTerminateKeys", "wVerificationType"}},
      {"WFSPINGENERATEKCV", {"lpsKey", "wKeyCheckMode"}},
      {"WFSPINSETGUIDLIGHT", {"wGuidLight", "dwCommand"}},
      {"WFSPINMAINTAINPIN", {"bMaintainPIN"}},
      {"WFSPINIMPORTKEYBLOCK", {"lpsKey", "lpsEncKey", "lpxKeyBlock"}},
      {"WFSPINPOWERSAVECONTROL", {"usMaxPowerSaveRecoveryTime"}},
      {"WFSPINBLOCKEX",
       {"lpsCustomerData", "lpsXORData", "bPadding", "dwFormat", "lpsKey", "lpsKeyEncKey",
        "dwAlgorithm"}},
      {"WFSPINGETPINEX",
       {"usMinLen", "usMaxLen", "bAutoEnd", "cEcho", "ulActiveFDKs", "ulActiveKeys",
        "ulTerminateFDKs", "ulTerminateKeys", "lpsCustomerData", "lpsXORData", "bPadding",
        "dwFormat", "lpsKey", "lpsKeyEncKey", "dwAlgorithm"}},
      // Printer.
      {"WFSPTRSTATUS",
       {"fwDevice", "fwMedia", "fwPaper", "fwToner", "fwInk", "fwLamp", "lppRetractBins",
        "usMediaOnStacker", "lpszExtra", "dwGuidLights", "wDevicePosition",
        "usPowerSaveRecoveryTime"}},
      {"WFSPTRRETRACTBINS", {"wRetractBin", "usRetractCount"}},
      {"WFSPTRCAPS",
       {"wClass",
        "fwType",
        "bCompound",
        "wResolution",
        "fwReadForm",
        "fwWriteForm",
        "fwExtents",
        "fwControl",
        "usMaxMediaOnStacker",
        "bAcceptMedia",
        "bMultiPage",
        "fwPaperSources",
        "bMediaTaken",
        "usRetractBins",
        "lpusMaxRetract",
        "fwImageType",
        "fwFrontImageColorFormat",
        "fwBackImageColorFormat",
        "fwCodelineFormat",
        "fwImageSource",
        "fwCharSupport",
        "bDispensePaper",
        "lpszExtra",
        "dwGuidLights",
        "lpszWindowsPrinter",
        "bMediaPresented",
        "usAutoRetractPeriod",
        "bRetractToTransport",
        "bPowerSaveControl"}},
      {"WFSPTRRAWDATAIN", {"ulSize", "lpbData"}},
      {"WFSPTRMEDIAPRESENTED", {"usWadIndex", "usTotalWads"}},
      {"InkThresholdWord", {"lpwInkThreshold"}},
      {"MediaControlWord", {"lpdwMediaControl"}},
      {"WFSPTRRAWDATA", {"wInputData", "ulSize", "lpbData"}},
      {"WFSPTRRESET", {"dwMediaControl", "usRetractBinNumber"}},
      // Card dispenser.
      {"WFSCRDSTATUS",
       {"fwDevice", "fwDispenser", "fwTransport", "fwMedia", "fwShutter", "lpszExtra",
        "dwGuidLights", "wDevicePosition", "usPowerSaveRecoveryTime"}},
      {"WFSCRDCAPS",
       {"wClass", "bCompound", "fwPowerOnOption", "fwPowerOffOption", "bCardTakenSensor",
        "fwDispenseTo", "lpszExtra", "dwGuidLights", "bPowerSaveControl"}},
      {"WFSCRDCUERROR", {"wFailure", "lpCardUnit"}},
      {"WFSCRDMEDIADETECTED", {"wPosition", "usNumber"}},
      {"WFSCRDCUINFO", {"usCount", "lppList"}},
      {"WFSCRDCARDUNIT",
       {"usNumber", "lpszCardName", "usType", "ulInitialCount", "ulCount", "ulRetainCount",
        "ulThreshold", "usStatus", "bHardwareSensor"}},
      {"WFSCRDDISPENSE", {"usNumber", "bPresent"}},
      {"WFSCRDRETAINCARD", {"usNumber"}},
      {"WFSCRDRESET", {"usAction"}},
  };
  return kMembers;
}

// Every description of every class.
std::vector<const codec::Description*> AllDescriptions() {
  std::vector<const codec::Description*> all;
  for (codec::Descriptions descriptions : {codec::idc::All(), codec::systemevents::All(),
                                          codec::pin::All(), codec::ptr::All(),
                                          codec::crd::All()}) {
    all.insert(all.end(), descriptions.begin(), descriptions.end());
  }
  return all;
}

bool IsPointerRule(codec::Rule rule) {
  return codec::Fits(rule, codec::FieldKind::kPointer, sizeof(void*));
}

// The pointer of a member that a decoder may leave NULL.
const void* PointerAt(const void* block, const codec::Member& member) {
  const void* pointer;
  std::memcpy(&pointer, static_cast<const unsigned char*>(block) + member.offset, sizeof pointer);
  return pointer;
}

TEST(Structures, MembersAreThoseTheDeviceServiceNames) {
  std::set<std::string> seen;
  for (const codec::Description* structure : AllDescriptions()) {
    SCOPED_TRACE(structure->name);
    EXPECT_TRUE(seen.insert(structure->name).second) << "one description per structure";
    auto expected = ProtocolMembers().find(structure->name);
    ASSERT_NE(expected, ProtocolMembers().end()) << "a structure the protocol does not list";
    Names names;
    for (const codec::Member& member : *structure) names.push_back(member.name);
    EXPECT_EQ(names, expected->second);
  }
  EXPECT_EQ(seen.size(), ProtocolMembers().size()) << "every listed structure is described";
}

TEST(Structures, LayoutIsSound) {
  for (const codec::Description* structure : AllDescriptions()) {
    SCOPED_TRACE(structure->name);
    unsigned end = 0;
    std::map<std::string, const codec::Member*> before;
    for (const codec::Member& member : *structure) {
      SCOPED_TRACE(member.name);
      EXPECT_GE(member.offset, end) << "members in field order, none overlapping";
      end = member.offset + member.size;
      EXPECT_LE(end, structure->size);
      EXPECT_EQ(member.size % member.entrySize == 0 || IsPointerRule(member.spec.rule), true);
      const codec::Field& related = member.spec.related;
      if (related.name != nullptr) {
        // A length or count is a member read before the member it measures.
        auto found = before.find(related.name);
        ASSERT_NE(found, before.end());
        EXPECT_EQ(found->second->offset, related.offset);
        EXPECT_EQ(found->second->size, related.size);
      }
      bool nests = member.spec.rule == codec::Rule::kNested ||
                   member.spec.rule == codec::Rule::kArray ||
                   member.spec.rule == codec::Rule::kCountedArray;
      EXPECT_EQ(member.spec.nested != nullptr, nests);
      before[member.name] = &member;
    }
  }
}

class StructuresThroughTheCodec : public ::testing::Test {
 protected:
  void SetUp() override { m_before = CorvidLiveBlocks(); }
  void TearDown() override { EXPECT_EQ(CorvidLiveBlocks(), m_before) << "nothing leaked"; }

  testsupport::TraceCapture m_trace;
  long m_before = 0;
};

TEST_F(StructuresThroughTheCodec, EveryMemberSurvivesEncodingAndDecoding) {
  for (const codec::Description* structure : AllDescriptions()) {
    SCOPED_TRACE(structure->name);
    described::Sample sample(*structure);
    Json::Value reply = codec::Format(*structure, sample.data());
    ostreltest::Result result = ostreltest::NewResult();
    ASSERT_EQ(codec::Unformat("T::UnformatSample", *structure, result.get(), &reply), 1)
        << ostreltest::Write(reply);
    EXPECT_EQ(described::Difference(*structure, sample.data(), result->lpBuffer), "");
  }
  EXPECT_EQ(m_trace.count("", 4), 0);
}

TEST_F(StructuresThroughTheCodec, MissingMembersLeaveTheirPointersNull) {
  Json::Value empty(Json::objectValue);
  for (const codec::Description* structure : AllDescriptions()) {
    SCOPED_TRACE(structure->name);
    ostreltest::Result result = ostreltest::NewResult();
    ASSERT_EQ(codec::Unformat("T::UnformatNothing", *structure, result.get(), &empty), 1);
    for (const codec::Member& member : *structure) {
      const codec::RuleSpec& spec = member.spec;
      if (!IsPointerRule(spec.rule)) continue;
      // Always there: a reply's form name, a nested structure that is never left out.
      bool always =
          spec.rule == codec::Rule::kStringAlways ||
          (spec.rule == codec::Rule::kNested && spec.presence == codec::Presence::kAlways);
      EXPECT_EQ(PointerAt(result->lpBuffer, member) != nullptr, always) << member.name;
    }
  }
}

TEST_F(StructuresThroughTheCodec, EveryAllocationPointFailsCleanly) {
  for (const codec::Description* structure : AllDescriptions()) {
    SCOPED_TRACE(structure->name);
    described::Sample sample(*structure);
    Json::Value reply = codec::Format(*structure, sample.data());
    // Fail the first block, then the second, ... until one run takes them all.
    for (long after = 0;; ++after) {
      SCOPED_TRACE(after);
      m_trace.clear();
      ostreltest::Result result = ostreltest::NewResult();
      CorvidFailAllocations(after);
      int decoded = codec::Unformat("T::UnformatSample", *structure, result.get(), &reply);
      CorvidFailAllocations(-1);
      if (decoded == 1) {
        EXPECT_EQ(m_trace.count("", 4), 0);
        EXPECT_GT(after, 0);
        break;
      }
      EXPECT_EQ(m_trace.count("", 4), 1) << "one line";
      EXPECT_EQ(m_trace.count("T::UnformatSample allocate buffer failed", 4), 1);
      EXPECT_EQ(result->lpBuffer != nullptr, after > 0) << "what was taken stays below the result";
      ASSERT_LT(after, 1000);
    }
  }
}

}  // namespace
