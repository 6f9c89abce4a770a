#include "WFSCRDSPParam.h"

#include "scrivel.h"
#include "structtable.h"

namespace {

using scrivel::Shape;
using scrivel::TypeEntry;

SV_TABLE(kStatus, WFSCRDSTATUS, SV(WFSCRDSTATUS, fwDevice).Word().Map(XmlConfig::MAP_FWDEVICE),
         SV(WFSCRDSTATUS, fwDispenser).Word(), SV(WFSCRDSTATUS, fwTransport).Word(),
         SV(WFSCRDSTATUS, fwMedia).Word(), SV(WFSCRDSTATUS, fwShutter).Word(),
         SV(WFSCRDSTATUS, lpszExtra).TextList(), SV(WFSCRDSTATUS, wDevicePosition).Word(),
         SV(WFSCRDSTATUS, usPowerSaveRecoveryTime).Ushort());

SV_TABLE(kCaps, WFSCRDCAPS, SV(WFSCRDCAPS, wClass).Word(), SV(WFSCRDCAPS, bCompound).Bool(),
         SV(WFSCRDCAPS, fwPowerOnOption).Word(), SV(WFSCRDCAPS, fwPowerOffOption).Word(),
         SV(WFSCRDCAPS, bCardTakenSensor).Bool(), SV(WFSCRDCAPS, fwDispenseTo).Word(),
         SV(WFSCRDCAPS, lpszExtra).TextList(),
         SV(WFSCRDCAPS, dwGuidLights).Dwords<WFS_CRD_GUIDLIGHTS_SIZE>(),
         SV(WFSCRDCAPS, bPowerSaveControl).Bool());

SV_TABLE(kCardUnit, WFSCRDCARDUNIT, SV(WFSCRDCARDUNIT, usNumber).Ushort(),
         SV(WFSCRDCARDUNIT, lpszCardName).Text(), SV(WFSCRDCARDUNIT, usType).Ushort(),
         SV(WFSCRDCARDUNIT, ulInitialCount).Ulong(), SV(WFSCRDCARDUNIT, ulCount).Ulong(),
         SV(WFSCRDCARDUNIT, ulRetainCount).Ulong(), SV(WFSCRDCARDUNIT, ulThreshold).Ulong(),
         SV(WFSCRDCARDUNIT, usStatus).Ushort(), SV(WFSCRDCARDUNIT, bHardwareSensor).Bool());

SV_TABLE(kCuInfo, WFSCRDCUINFO, SV(WFSCRDCUINFO, usCount).Ushort(),
         SV(WFSCRDCUINFO, lppList)
             .Array<WFSCRDCARDUNIT>(kCardUnit, SV_LENGTH(WFSCRDCUINFO, usCount)));

SV_TABLE(kDispense, WFSCRDDISPENSE, SV(WFSCRDDISPENSE, usNumber).Ushort(),
         SV(WFSCRDDISPENSE, bPresent).Bool());

SV_TABLE(kRetainCard, WFSCRDRETAINCARD, SV(WFSCRDRETAINCARD, usNumber).Ushort());

SV_TABLE(kReset, WFSCRDRESET, SV(WFSCRDRESET, usAction).Ushort());

SV_TABLE(kSetGuidLight, WFSCRDSETGUIDLIGHT, SV(WFSCRDSETGUIDLIGHT, wGuidLight).Word(),
         SV(WFSCRDSETGUIDLIGHT, dwCommand).Dword());

SV_TABLE(kPowerSaveControl, WFSCRDPOWERSAVECONTROL,
         SV(WFSCRDPOWERSAVECONTROL, usMaxPowerSaveRecoveryTime).Ushort());

SV_TABLE(kMediaDetected, WFSCRDMEDIADETECTED, SV(WFSCRDMEDIADETECTED, wPosition).Word(),
         SV(WFSCRDMEDIADETECTED, usNumber).Ushort());

SV_TABLE(kCuError, WFSCRDCUERROR, SV(WFSCRDCUERROR, wFailure).Word(),
         SV(WFSCRDCUERROR, lpCardUnit).Record<WFSCRDCARDUNIT>(kCardUnit));

SV_TABLE(kDevicePosition, WFSCRDDEVICEPOSITION, SV(WFSCRDDEVICEPOSITION, wPosition).Word());

SV_TABLE(kPowerSaveChange, WFSCRDPOWERSAVECHANGE,
         SV(WFSCRDPOWERSAVECHANGE, usPowerSaveRecoveryTime).Ushort());

template <class T>
constexpr scrivel::TypeRender One = &scrivel::RenderOne<CWFSCRDSPParam, T>;

const TypeEntry kTypes[] = {
    {"LPWFSCRDSTATUS", One<WFSCRDSTATUS>, Shape::Record, &kStatus},
    {"LPWFSCRDCAPS", One<WFSCRDCAPS>, Shape::Record, &kCaps},
    {"LPWFSCRDCUINFO", One<WFSCRDCUINFO>, Shape::Record, &kCuInfo},
    {"LPWFSCRDDISPENSE", One<WFSCRDDISPENSE>, Shape::Record, &kDispense},
    {"LPWFSCRDRETAINCARD", One<WFSCRDRETAINCARD>, Shape::Record, &kRetainCard},
    {"LPWFSCRDRESET", One<WFSCRDRESET>, Shape::Record, &kReset},
    {"LPWFSCRDSETGUIDLIGHT", One<WFSCRDSETGUIDLIGHT>, Shape::Record, &kSetGuidLight},
    {"LPWFSCRDPOWERSAVECONTROL", One<WFSCRDPOWERSAVECONTROL>, Shape::Record, &kPowerSaveControl},
    {"LPWFSCRDMEDIADETECTED", One<WFSCRDMEDIADETECTED>, Shape::Record, &kMediaDetected},
    {"LPWFSCRDCARDUNIT", One<WFSCRDCARDUNIT>, Shape::Record, &kCardUnit},
    {"LPWFSCRDCUERROR", One<WFSCRDCUERROR>, Shape::Record, &kCuError},
    {"LPWFSCRDDEVICEPOSITION", One<WFSCRDDEVICEPOSITION>, Shape::Record, &kDevicePosition},
    {"LPWFSCRDPOWERSAVECHANGE", One<WFSCRDPOWERSAVECHANGE>, Shape::Record, &kPowerSaveChange},
};

}  // namespace

CWFSCRDSPParam::CWFSCRDSPParam() : CXFSSPParam(WFS_SERVICE_CLASS_CRD) {}

const scrivel::TypeTable& CWFSCRDSPParam::OwnTypes() const {
  static const scrivel::TypeTable table(kTypes);
  return table;
}

SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDSTATUS, kStatus)
SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDCAPS, kCaps)
SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDCUINFO, kCuInfo)
SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDDISPENSE, kDispense)
SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDRETAINCARD, kRetainCard)
SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDRESET, kReset)
SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDSETGUIDLIGHT, kSetGuidLight)
SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDPOWERSAVECONTROL, kPowerSaveControl)
SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDMEDIADETECTED, kMediaDetected)
SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDCARDUNIT, kCardUnit)
SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDCUERROR, kCuError)
SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDDEVICEPOSITION, kDevicePosition)
SV_RECORD_RENDERER(CWFSCRDSPParam, WFSCRDPOWERSAVECHANGE, kPowerSaveChange)
