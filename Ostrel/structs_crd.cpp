#include "structs_crd.h"

#include "xfscrd.h"

namespace codec {
namespace crd {

namespace {

using namespace rule;

// The status carries one guide light fewer than the capabilities: its
// device position lies at offset 138.
constexpr Member kStatusMembers[] = {
    XFS_MEMBER(WFSCRDSTATUS, fwDevice, Int()),
    XFS_MEMBER(WFSCRDSTATUS, fwDispenser, Int()),
    XFS_MEMBER(WFSCRDSTATUS, fwTransport, Int()),
    XFS_MEMBER(WFSCRDSTATUS, fwMedia, Int()),
    XFS_MEMBER(WFSCRDSTATUS, fwShutter, Int()),
    XFS_MEMBER(WFSCRDSTATUS, lpszExtra, Extra()),
    XFS_MEMBER(WFSCRDSTATUS, dwGuidLights, Fixed()),
    XFS_MEMBER(WFSCRDSTATUS, wDevicePosition, Int()),
    XFS_MEMBER(WFSCRDSTATUS, usPowerSaveRecoveryTime, Int()),
};

constexpr Member kCapabilitiesMembers[] = {
    XFS_MEMBER(WFSCRDCAPS, wClass, Int()),
    XFS_MEMBER(WFSCRDCAPS, bCompound, Bool()),
    XFS_MEMBER(WFSCRDCAPS, fwPowerOnOption, Int()),
    XFS_MEMBER(WFSCRDCAPS, fwPowerOffOption, Int()),
    XFS_MEMBER(WFSCRDCAPS, bCardTakenSensor, Bool()),
    XFS_MEMBER(WFSCRDCAPS, fwDispenseTo, Int()),
    XFS_MEMBER(WFSCRDCAPS, lpszExtra, Extra()),
    XFS_MEMBER(WFSCRDCAPS, dwGuidLights, Fixed()),
    XFS_MEMBER(WFSCRDCAPS, bPowerSaveControl, BoolAsInt()),
};

// The card unit is always there, all zeros when the event names none.
constexpr Member kCardUnitErrorMembers[] = {
    XFS_MEMBER(WFSCRDCUERROR, wFailure, Int()),
    XFS_MEMBER(WFSCRDCUERROR, lpCardUnit, Nested(kCardUnit, Presence::kAlways)),
};

constexpr Member kMediaDetectedMembers[] = {
    XFS_MEMBER(WFSCRDMEDIADETECTED, wPosition, Int()),
    XFS_MEMBER(WFSCRDMEDIADETECTED, usNumber, Int()),
};

// The count decides: a list of another length is no list, and a request
// sends exactly that many units.
constexpr Member kCardUnitInfoMembers[] = {
    XFS_MEMBER(WFSCRDCUINFO, usCount, Int()),
    XFS_MEMBER(WFSCRDCUINFO, lppList, CountedArrayOf(kCardUnit, XFS_FIELD(WFSCRDCUINFO, usCount))),
};

// bHardwareSensor reads as a boolean in the card-unit information and as
// an integer in the events.
constexpr Member kCardUnitMembers[] = {
    XFS_MEMBER(WFSCRDCARDUNIT, usNumber, Int()),
    XFS_MEMBER(WFSCRDCARDUNIT, lpszCardName, String()),
    XFS_MEMBER(WFSCRDCARDUNIT, usType, Int()),
    XFS_MEMBER(WFSCRDCARDUNIT, ulInitialCount, Int()),
    XFS_MEMBER(WFSCRDCARDUNIT, ulCount, Int()),
    XFS_MEMBER(WFSCRDCARDUNIT, ulRetainCount, Int()),
    XFS_MEMBER(WFSCRDCARDUNIT, ulThreshold, Int()),
    XFS_MEMBER(WFSCRDCARDUNIT, usStatus, Int()),
    XFS_MEMBER(WFSCRDCARDUNIT, bHardwareSensor, Bool()),
};

constexpr Member kDispenseMembers[] = {
    XFS_MEMBER(WFSCRDDISPENSE, usNumber, Int()),
    XFS_MEMBER(WFSCRDDISPENSE, bPresent, Bool()),
};

constexpr Member kRetainCardMembers[] = {
    XFS_MEMBER(WFSCRDRETAINCARD, usNumber, Int()),
};

constexpr Member kResetMembers[] = {
    XFS_MEMBER(WFSCRDRESET, usAction, Int()),
};

}  // namespace

const Description kStatus = XFS_DESCRIPTION(WFSCRDSTATUS, kStatusMembers);
const Description kCapabilities = XFS_DESCRIPTION(WFSCRDCAPS, kCapabilitiesMembers);
const Description kCardUnitError = XFS_DESCRIPTION(WFSCRDCUERROR, kCardUnitErrorMembers);
const Description kMediaDetected = XFS_DESCRIPTION(WFSCRDMEDIADETECTED, kMediaDetectedMembers);
const Description kCardUnitInfo = XFS_DESCRIPTION(WFSCRDCUINFO, kCardUnitInfoMembers);
const Description kCardUnit = XFS_DESCRIPTION(WFSCRDCARDUNIT, kCardUnitMembers);
const Description kDispense = XFS_DESCRIPTION(WFSCRDDISPENSE, kDispenseMembers);
const Description kRetainCard = XFS_DESCRIPTION(WFSCRDRETAINCARD, kRetainCardMembers);
const Description kReset = XFS_DESCRIPTION(WFSCRDRESET, kResetMembers);

Descriptions All() {
  static const Description* const kAll[] = {
      &kStatus,       &kCapabilities, &kCardUnitError, &kMediaDetected, &kCardUnitInfo,
      &kCardUnit,     &kDispense,     &kRetainCard,    &kReset,
  };
  return DescriptionsOf(kAll);
}

UnformatOptions CardUnitEventOptions() {
  UnformatOptions options;
  options.uniform = true;
  options.boolsAsInt = true;
  return options;
}

}  // namespace crd
}  // namespace codec
