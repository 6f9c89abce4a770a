#include "structs_idc.h"

#include "xfsidc.h"

namespace codec {
namespace idc {

namespace {

using namespace rule;

// READ_RAW_DATA sends its read-data flags as an object of one member.
struct ReadDataFlags {
  WORD lpwReadData;
};

constexpr Member kStatusMembers[] = {
    XFS_MEMBER(WFSIDCSTATUS, fwDevice, Int()),
    XFS_MEMBER(WFSIDCSTATUS, fwMedia, Int()),
    XFS_MEMBER(WFSIDCSTATUS, fwRetainBin, Int()),
    XFS_MEMBER(WFSIDCSTATUS, fwSecurity, Int()),
    XFS_MEMBER(WFSIDCSTATUS, usCards, Int()),
    XFS_MEMBER(WFSIDCSTATUS, fwChipPower, Int()),
    XFS_MEMBER(WFSIDCSTATUS, lpszExtra, Extra()),
    XFS_MEMBER(WFSIDCSTATUS, dwGuidLights, Fixed()),
    XFS_MEMBER(WFSIDCSTATUS, fwChipModule, Int()),
    XFS_MEMBER(WFSIDCSTATUS, fwMagReadModule, Int()),
    XFS_MEMBER(WFSIDCSTATUS, fwMagWriteModule, Int()),
    XFS_MEMBER(WFSIDCSTATUS, fwFrontImageModule, Int()),
    XFS_MEMBER(WFSIDCSTATUS, fwBackImageModule, Int()),
    XFS_MEMBER(WFSIDCSTATUS, wDevicePosition, Int()),
    XFS_MEMBER(WFSIDCSTATUS, usPowerSaveRecoveryTime, Int()),
};

constexpr Member kCapabilitiesMembers[] = {
    XFS_MEMBER(WFSIDCCAPS, wClass, Int()),
    XFS_MEMBER(WFSIDCCAPS, fwType, Int()),
    XFS_MEMBER(WFSIDCCAPS, bCompound, Bool()),
    XFS_MEMBER(WFSIDCCAPS, fwReadTracks, Int()),
    XFS_MEMBER(WFSIDCCAPS, fwWriteTracks, Int()),
    XFS_MEMBER(WFSIDCCAPS, fwChipProtocols, Int()),
    XFS_MEMBER(WFSIDCCAPS, usCards, Int()),
    XFS_MEMBER(WFSIDCCAPS, fwSecType, Int()),
    XFS_MEMBER(WFSIDCCAPS, fwPowerOnOption, Int()),
    XFS_MEMBER(WFSIDCCAPS, fwPowerOffOption, Int()),
    XFS_MEMBER(WFSIDCCAPS, bFluxSensorProgrammable, Bool()),
    XFS_MEMBER(WFSIDCCAPS, bReadWriteAccessFollowingEject, Bool()),
    XFS_MEMBER(WFSIDCCAPS, fwWriteMode, Int()),
    XFS_MEMBER(WFSIDCCAPS, fwChipPower, Int()),
    XFS_MEMBER(WFSIDCCAPS, lpszExtra, Extra()),
    XFS_MEMBER(WFSIDCCAPS, fwDIPMode, Int()),
    XFS_MEMBER(WFSIDCCAPS, lpwMemoryChipProtocols, WordList()),
    XFS_MEMBER(WFSIDCCAPS, dwGuidLights, Fixed()),
    XFS_MEMBER(WFSIDCCAPS, fwEjectPosition, Int()),
    XFS_MEMBER(WFSIDCCAPS, bPowerSaveControl, BoolAsInt()),
};

constexpr Member kFormMembers[] = {
    XFS_MEMBER(WFSIDCFORM, lpszFormName, StringAlways()),
    XFS_MEMBER(WFSIDCFORM, cFieldSeparatorTrack1, Byte()),
    XFS_MEMBER(WFSIDCFORM, cFieldSeparatorTrack2, Byte()),
    XFS_MEMBER(WFSIDCFORM, cFieldSeparatorTrack3, Byte()),
    XFS_MEMBER(WFSIDCFORM, fwAction, Int()),
    XFS_MEMBER(WFSIDCFORM, lpszTracks, String()),
    XFS_MEMBER(WFSIDCFORM, bSecure, Bool()),
    XFS_MEMBER(WFSIDCFORM, lpszTrack1Fields, String()),
    XFS_MEMBER(WFSIDCFORM, lpszTrack2Fields, String()),
    XFS_MEMBER(WFSIDCFORM, lpszTrack3Fields, String()),
};

constexpr Member kIfmIdentifierMembers[] = {
    XFS_MEMBER(WFSIDCIFMIDENTIFIER, wIFMAuthority, Int()),
    XFS_MEMBER(WFSIDCIFMIDENTIFIER, lpszIFMIdentifier, String().At(5)),
};

constexpr Member kRetainCardMembers[] = {
    XFS_MEMBER(WFSIDCRETAINCARD, usCount, Int()),
    XFS_MEMBER(WFSIDCRETAINCARD, fwPosition, Int()),
};

constexpr Member kTrackEventMembers[] = {
    XFS_MEMBER(WFSIDCTRACKEVENT, fwStatus, Int()),
    XFS_MEMBER(WFSIDCTRACKEVENT, lpstrTrack, String()),
    XFS_MEMBER(WFSIDCTRACKEVENT, lpstrData, String()),
};

constexpr Member kCardActionMembers[] = {
    XFS_MEMBER(WFSIDCCARDACT, wAction, Int()),
    XFS_MEMBER(WFSIDCCARDACT, wPosition, Int()),
};

constexpr Member kDevicePositionMembers[] = {
    XFS_MEMBER(WFSIDCDEVICEPOSITION, wPosition, Int()),
};

constexpr Member kPowerSaveChangeMembers[] = {
    XFS_MEMBER(WFSIDCPOWERSAVECHANGE, usPowerSaveRecoveryTime, Int()),
};

constexpr Member kEjectCardMembers[] = {
    XFS_MEMBER(WFSIDCEJECTCARD, wEjectPosition, Int()),
};

// A key of another length than the one declared is refused.
constexpr Member kSetkeyMembers[] = {
    XFS_MEMBER(WFSIDCSETKEY, usKeyLen, Int()),
    XFS_MEMBER(WFSIDCSETKEY, lpbKeyValue, Binary(XFS_FIELD(WFSIDCSETKEY, usKeyLen), Alloc::kExact)),
};

// The data block takes the declared length first and receives the bytes
// only when they match it.
constexpr Member kCardDataMembers[] = {
    XFS_MEMBER(WFSIDCCARDDATA, wDataSource, Int()),
    XFS_MEMBER(WFSIDCCARDDATA, wStatus, Int()),
    XFS_MEMBER(WFSIDCCARDDATA, ulDataLength, Int()),
    XFS_MEMBER(WFSIDCCARDDATA, lpbData,
               Binary(XFS_FIELD(WFSIDCCARDDATA, ulDataLength)).At(AllocPoint::First())),
    XFS_MEMBER(WFSIDCCARDDATA, fwWriteMethod, Int()),
};

constexpr Member kChipIoMembers[] = {
    XFS_MEMBER(WFSIDCCHIPIO, wChipProtocol, Int()),
    XFS_MEMBER(WFSIDCCHIPIO, ulChipDataLength, Int()),
    XFS_MEMBER(WFSIDCCHIPIO, lpbChipData, Binary(XFS_FIELD(WFSIDCCHIPIO, ulChipDataLength))),
};

constexpr Member kWriteTrackMembers[] = {
    XFS_MEMBER(WFSIDCWRITETRACK, lpstrFormName, String()),
    XFS_MEMBER(WFSIDCWRITETRACK, lpstrTrackData, RequiredString()),
    XFS_MEMBER(WFSIDCWRITETRACK, fwWriteMethod, Int()),
};

constexpr Member kReadDataMembers[] = {
    XFS_MEMBER(ReadDataFlags, lpwReadData, Int()),
};

constexpr Member kParseDataMembers[] = {
    XFS_MEMBER(WFSIDCPARSEDATA, lpstrFormName, RequiredString()),
    XFS_MEMBER(WFSIDCPARSEDATA, lppCardData, ArrayOf(kCardData)),
};

constexpr Member kSetGuidanceLightMembers[] = {
    XFS_MEMBER(WFSIDCSETGUIDLIGHT, wGuidLight, Int()),
    XFS_MEMBER(WFSIDCSETGUIDLIGHT, dwCommand, Unsigned()),
};

constexpr Member kPowerSaveControlMembers[] = {
    XFS_MEMBER(WFSIDCPOWERSAVECONTROL, usMaxPowerSaveRecoveryTime, Int()),
};

}  // namespace

const Description kStatus = XFS_DESCRIPTION(WFSIDCSTATUS, kStatusMembers);
const Description kCapabilities = XFS_DESCRIPTION(WFSIDCCAPS, kCapabilitiesMembers);
const Description kForm = XFS_DESCRIPTION(WFSIDCFORM, kFormMembers);
const Description kIfmIdentifier = XFS_DESCRIPTION(WFSIDCIFMIDENTIFIER, kIfmIdentifierMembers);
const Description kRetainCard = XFS_DESCRIPTION(WFSIDCRETAINCARD, kRetainCardMembers);
const Description kTrackEvent = XFS_DESCRIPTION(WFSIDCTRACKEVENT, kTrackEventMembers);
const Description kCardAction = XFS_DESCRIPTION(WFSIDCCARDACT, kCardActionMembers);
const Description kDevicePosition = XFS_DESCRIPTION(WFSIDCDEVICEPOSITION, kDevicePositionMembers);
const Description kPowerSaveChange =
    XFS_DESCRIPTION(WFSIDCPOWERSAVECHANGE, kPowerSaveChangeMembers);
const Description kEjectCard = XFS_DESCRIPTION(WFSIDCEJECTCARD, kEjectCardMembers);
const Description kSetkey = XFS_DESCRIPTION(WFSIDCSETKEY, kSetkeyMembers);
const Description kCardData = XFS_DESCRIPTION(WFSIDCCARDDATA, kCardDataMembers);
const Description kChipIo = XFS_DESCRIPTION(WFSIDCCHIPIO, kChipIoMembers);
const Description kWriteTrack = XFS_DESCRIPTION(WFSIDCWRITETRACK, kWriteTrackMembers);
const Description kReadData = XFS_DESCRIPTION(ReadDataFlags, kReadDataMembers);
const Description kParseData = XFS_DESCRIPTION(WFSIDCPARSEDATA, kParseDataMembers);
const Description kSetGuidanceLight = XFS_DESCRIPTION(WFSIDCSETGUIDLIGHT, kSetGuidanceLightMembers);
const Description kPowerSaveControl =
    XFS_DESCRIPTION(WFSIDCPOWERSAVECONTROL, kPowerSaveControlMembers);

Descriptions All() {
  static const Description* const kAll[] = {
      &kStatus,           &kCapabilities,     &kForm,       &kIfmIdentifier,
      &kRetainCard,       &kTrackEvent,       &kCardAction, &kDevicePosition,
      &kPowerSaveChange,  &kEjectCard,        &kSetkey,     &kCardData,
      &kChipIo,           &kWriteTrack,       &kReadData,   &kParseData,
      &kSetGuidanceLight, &kPowerSaveControl,
  };
  return DescriptionsOf(kAll);
}

}  // namespace idc
}  // namespace codec
