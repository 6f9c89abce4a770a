#include "structs_ptr.h"

#include "xfsptr.h"

namespace codec {
namespace ptr {

namespace {

using namespace rule;

// CONTROL_MEDIA sends its media-control word as an object of one member.
struct MediaControlWord {
  DWORD lpdwMediaControl;
};

// The ink-threshold event carries its WORD as an object of one member.
struct InkThresholdWord {
  WORD lpwInkThreshold;
};

// The retract bins' pointer block and their elements have lines of their own.
constexpr Member kStatusMembers[] = {
    XFS_MEMBER(WFSPTRSTATUS, fwDevice, Int()),
    XFS_MEMBER(WFSPTRSTATUS, fwMedia, Int()),
    XFS_MEMBER(WFSPTRSTATUS, fwPaper, Fixed()),
    XFS_MEMBER(WFSPTRSTATUS, fwToner, Int()),
    XFS_MEMBER(WFSPTRSTATUS, fwInk, Int()),
    XFS_MEMBER(WFSPTRSTATUS, fwLamp, Int()),
    XFS_MEMBER(WFSPTRSTATUS, lppRetractBins,
               ArrayOf(kRetractBins)
                   .At(AllocPoint::Text(" allocate buffer failed 1 !"))
                   .ElementsAt(AllocPoint::Text(" allocate buffer failed 2 !"))),
    XFS_MEMBER(WFSPTRSTATUS, usMediaOnStacker, Int()),
    XFS_MEMBER(WFSPTRSTATUS, lpszExtra, Extra()),
    XFS_MEMBER(WFSPTRSTATUS, dwGuidLights, Fixed()),
    XFS_MEMBER(WFSPTRSTATUS, wDevicePosition, Int()),
    XFS_MEMBER(WFSPTRSTATUS, usPowerSaveRecoveryTime, Int()),
};

constexpr Member kRetractBinsMembers[] = {
    XFS_MEMBER(WFSPTRRETRACTBINS, wRetractBin, Int()),
    XFS_MEMBER(WFSPTRRETRACTBINS, usRetractCount, Int()),
};

// The retract maxima log the structure's line; the texts keep the numbers 3
// and 4 of the printer's decoder.
constexpr Member kCapabilitiesMembers[] = {
    XFS_MEMBER(WFSPTRCAPS, wClass, Int()),
    XFS_MEMBER(WFSPTRCAPS, fwType, Int()),
    XFS_MEMBER(WFSPTRCAPS, bCompound, Bool()),
    XFS_MEMBER(WFSPTRCAPS, wResolution, Int()),
    XFS_MEMBER(WFSPTRCAPS, fwReadForm, Int()),
    XFS_MEMBER(WFSPTRCAPS, fwWriteForm, Int()),
    XFS_MEMBER(WFSPTRCAPS, fwExtents, Int()),
    XFS_MEMBER(WFSPTRCAPS, fwControl, Int()),
    XFS_MEMBER(WFSPTRCAPS, usMaxMediaOnStacker, Int()),
    XFS_MEMBER(WFSPTRCAPS, bAcceptMedia, Bool()),
    XFS_MEMBER(WFSPTRCAPS, bMultiPage, Bool()),
    XFS_MEMBER(WFSPTRCAPS, fwPaperSources, Int()),
    XFS_MEMBER(WFSPTRCAPS, bMediaTaken, Bool()),
    XFS_MEMBER(WFSPTRCAPS, usRetractBins, Int()),
    XFS_MEMBER(WFSPTRCAPS, lpusMaxRetract,
               CountedList(XFS_FIELD(WFSPTRCAPS, usRetractBins)).At(AllocPoint::First())),
    XFS_MEMBER(WFSPTRCAPS, fwImageType, Int()),
    XFS_MEMBER(WFSPTRCAPS, fwFrontImageColorFormat, Int()),
    XFS_MEMBER(WFSPTRCAPS, fwBackImageColorFormat, Int()),
    XFS_MEMBER(WFSPTRCAPS, fwCodelineFormat, Int()),
    XFS_MEMBER(WFSPTRCAPS, fwImageSource, Int()),
    XFS_MEMBER(WFSPTRCAPS, fwCharSupport, Int()),
    XFS_MEMBER(WFSPTRCAPS, bDispensePaper, Bool()),
    XFS_MEMBER(WFSPTRCAPS, lpszExtra, Extra().At(3)),
    XFS_MEMBER(WFSPTRCAPS, dwGuidLights, Fixed()),
    XFS_MEMBER(WFSPTRCAPS, lpszWindowsPrinter, String().At(4)),
    XFS_MEMBER(WFSPTRCAPS, bMediaPresented, Bool()),
    XFS_MEMBER(WFSPTRCAPS, usAutoRetractPeriod, Int()),
    XFS_MEMBER(WFSPTRCAPS, bRetractToTransport, Bool()),
    XFS_MEMBER(WFSPTRCAPS, bPowerSaveControl, Bool()),
};

// The data arrive only when they match their declared size.
constexpr Member kRawDataInMembers[] = {
    XFS_MEMBER(WFSPTRRAWDATAIN, ulSize, Int()),
    XFS_MEMBER(WFSPTRRAWDATAIN, lpbData,
               Binary(XFS_FIELD(WFSPTRRAWDATAIN, ulSize), Alloc::kMatchFirst)),
};

constexpr Member kMediaPresentedMembers[] = {
    XFS_MEMBER(WFSPTRMEDIAPRESENTED, usWadIndex, Int()),
    XFS_MEMBER(WFSPTRMEDIAPRESENTED, usTotalWads, Int()),
};

constexpr Member kInkThresholdMembers[] = {
    XFS_MEMBER(InkThresholdWord, lpwInkThreshold, Int()),
};

constexpr Member kMediaControlMembers[] = {
    XFS_MEMBER(MediaControlWord, lpdwMediaControl, Int()),
};

// The data travel even when there are none (the empty text).
constexpr Member kRawDataMembers[] = {
    XFS_MEMBER(WFSPTRRAWDATA, wInputData, Int()),
    XFS_MEMBER(WFSPTRRAWDATA, ulSize, Int()),
    XFS_MEMBER(WFSPTRRAWDATA, lpbData,
               Binary(XFS_FIELD(WFSPTRRAWDATA, ulSize), Alloc::kMatchFirst, Presence::kAlways)),
};

constexpr Member kResetMembers[] = {
    XFS_MEMBER(WFSPTRRESET, dwMediaControl, Unsigned()),
    XFS_MEMBER(WFSPTRRESET, usRetractBinNumber, Int()),
};

}  // namespace

const Description kStatus = XFS_DESCRIPTION(WFSPTRSTATUS, kStatusMembers);
const Description kRetractBins = XFS_DESCRIPTION(WFSPTRRETRACTBINS, kRetractBinsMembers);
const Description kCapabilities = XFS_DESCRIPTION(WFSPTRCAPS, kCapabilitiesMembers);
const Description kRawDataIn = XFS_DESCRIPTION(WFSPTRRAWDATAIN, kRawDataInMembers);
const Description kMediaPresented = XFS_DESCRIPTION(WFSPTRMEDIAPRESENTED, kMediaPresentedMembers);
const Description kInkThreshold = XFS_DESCRIPTION(InkThresholdWord, kInkThresholdMembers);
const Description kMediaControl = XFS_DESCRIPTION(MediaControlWord, kMediaControlMembers);
const Description kRawData = XFS_DESCRIPTION(WFSPTRRAWDATA, kRawDataMembers);
const Description kReset = XFS_DESCRIPTION(WFSPTRRESET, kResetMembers);

Descriptions All() {
  static const Description* const kAll[] = {
      &kStatus,        &kRetractBins,  &kCapabilities, &kRawDataIn, &kMediaPresented,
      &kInkThreshold,  &kMediaControl, &kRawData,      &kReset,
  };
  return DescriptionsOf(kAll);
}

}  // namespace ptr
}  // namespace codec
