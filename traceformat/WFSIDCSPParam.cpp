#include "WFSIDCSPParam.h"

#include "scrivel.h"
#include "structtable.h"

namespace {

using scrivel::Shape;
using scrivel::TypeEntry;

SV_TABLE(kRetainCard, WFSIDCRETAINCARD, SV(WFSIDCRETAINCARD, usCount).Ushort(),
         SV(WFSIDCRETAINCARD, fwPosition).Word());

SV_TABLE(kWriteTrack, WFSIDCWRITETRACK, SV(WFSIDCWRITETRACK, lpstrFormName).Text(),
         SV(WFSIDCWRITETRACK, lpstrTrackData).Text().Secret(),
         SV(WFSIDCWRITETRACK, fwWriteMethod).Word());

SV_TABLE(kSetKey, WFSIDCSETKEY, SV(WFSIDCSETKEY, usKeyLen).Ushort().Named("usCount"),
         SV(WFSIDCSETKEY, lpbKeyValue).Bytes(SV_LENGTH(WFSIDCSETKEY, usKeyLen)).Secret());

SV_TABLE(kCardData, WFSIDCCARDDATA, SV(WFSIDCCARDDATA, wDataSource).Word(),
         SV(WFSIDCCARDDATA, wStatus).Word(), SV(WFSIDCCARDDATA, ulDataLength).Ulong(),
         SV(WFSIDCCARDDATA, lpbData).Bytes(SV_LENGTH(WFSIDCCARDDATA, ulDataLength)).Secret(),
         SV(WFSIDCCARDDATA, fwWriteMethod).Word());

SV_TABLE(kChipIo, WFSIDCCHIPIO, SV(WFSIDCCHIPIO, wChipProtocol).Word(),
         SV(WFSIDCCHIPIO, ulChipDataLength).Ulong(),
         SV(WFSIDCCHIPIO, lpbChipData).Bytes(SV_LENGTH(WFSIDCCHIPIO, ulChipDataLength)).Secret());

SV_TABLE(kParseData, WFSIDCPARSEDATA, SV(WFSIDCPARSEDATA, lpstrFormName).Text(),
         SV(WFSIDCPARSEDATA, lppCardData).Array<WFSIDCCARDDATA>(kCardData).Secret());

SV_TABLE(kTrackEvent, WFSIDCTRACKEVENT, SV(WFSIDCTRACKEVENT, fwStatus).Word(),
         SV(WFSIDCTRACKEVENT, lpstrTrack).Text(),
         SV(WFSIDCTRACKEVENT, lpstrData).Text().Secret());

SV_TABLE(kCardAct, WFSIDCCARDACT, SV(WFSIDCCARDACT, wAction).Word(),
         SV(WFSIDCCARDACT, wPosition).Word());

SV_TABLE(kStatus, WFSIDCSTATUS, SV(WFSIDCSTATUS, fwDevice).Word().Map(XmlConfig::MAP_FWDEVICE),
         SV(WFSIDCSTATUS, fwMedia).Word().Map(XmlConfig::MAP_FWMEDIA),
         SV(WFSIDCSTATUS, fwRetainBin).Word(), SV(WFSIDCSTATUS, fwSecurity).Word(),
         SV(WFSIDCSTATUS, usCards).Ushort(), SV(WFSIDCSTATUS, fwChipPower).Word(),
         SV(WFSIDCSTATUS, lpszExtra).TextList());

SV_TABLE(kCaps, WFSIDCCAPS, SV(WFSIDCCAPS, wClass).Word(), SV(WFSIDCCAPS, fwType).Word(),
         SV(WFSIDCCAPS, bCompound).Bool(), SV(WFSIDCCAPS, fwReadTracks).Word(),
         SV(WFSIDCCAPS, fwWriteTracks).Word(), SV(WFSIDCCAPS, fwChipProtocols).Word(),
         SV(WFSIDCCAPS, usCards).Ushort(), SV(WFSIDCCAPS, fwSecType).Word(),
         SV(WFSIDCCAPS, fwPowerOnOption).Word(), SV(WFSIDCCAPS, fwPowerOffOption).Word(),
         SV(WFSIDCCAPS, bFluxSensorProgrammable).Bool(),
         SV(WFSIDCCAPS, bReadWriteAccessFollowingEject).Bool(),
         SV(WFSIDCCAPS, fwWriteMode).Word(), SV(WFSIDCCAPS, fwChipPower).Word(),
         SV(WFSIDCCAPS, lpszExtra).TextList());

SV_TABLE(kForm, WFSIDCFORM, SV(WFSIDCFORM, lpszFormName).Text(),
         SV(WFSIDCFORM, cFieldSeparatorTrack1).Char(),
         SV(WFSIDCFORM, cFieldSeparatorTrack2).Char(),
         SV(WFSIDCFORM, cFieldSeparatorTrack3).Char(), SV(WFSIDCFORM, fwAction).Word(),
         SV(WFSIDCFORM, lpszTracks).Text(), SV(WFSIDCFORM, bSecure).Bool(),
         SV(WFSIDCFORM, lpszTrack1Fields).Text(), SV(WFSIDCFORM, lpszTrack2Fields).Text(),
         SV(WFSIDCFORM, lpszTrack3Fields).Text());

// Card data is rendered with the trace's hide flag.
QString RenderCardData(CXFSSPParam& r, const void* data, int, const QString& name, int indent) {
  return static_cast<CWFSIDCSPParam&>(r).GetParamString(
      static_cast<const WFSIDCCARDDATA*>(data), name, indent, g_bHidenLog);
}
QString RenderCardDataArray(CXFSSPParam& r, const void* data, int, const QString& name,
                            int indent) {
  return static_cast<CWFSIDCSPParam&>(r).GetParamString(
      static_cast<const WFSIDCCARDDATA* const*>(data), name, indent, g_bHidenLog);
}

template <class T>
constexpr scrivel::TypeRender One = &scrivel::RenderOne<CWFSIDCSPParam, T>;

const TypeEntry kTypes[] = {
    {"LPWFSIDCRETAINCARD", One<WFSIDCRETAINCARD>, Shape::Record, &kRetainCard},
    {"LPWFSIDCWRITETRACK", One<WFSIDCWRITETRACK>, Shape::Record, &kWriteTrack},
    {"LPWFSIDCSETKEY", One<WFSIDCSETKEY>, Shape::Record, &kSetKey},
    {"LPWFSIDCCARDDATA", &RenderCardData, Shape::Record, &kCardData},
    {"LPWFSIDCCARDDATA*", &RenderCardDataArray, Shape::NullTerminated, &kCardData},
    {"LPPWFSIDCCARDDATA", &RenderCardDataArray, Shape::NullTerminated, &kCardData},
    {"LPWFSIDCCHIPIO", One<WFSIDCCHIPIO>, Shape::Record, &kChipIo},
    {"LPWFSIDCPARSEDATA", One<WFSIDCPARSEDATA>, Shape::Record, &kParseData},
    {"LPWFSIDCTRACKEVENT", One<WFSIDCTRACKEVENT>, Shape::Record, &kTrackEvent},
    {"LPWFSIDCCARDACT", One<WFSIDCCARDACT>, Shape::Record, &kCardAct},
    {"LPWFSIDCSTATUS", One<WFSIDCSTATUS>, Shape::Record, &kStatus},
    {"LPWFSIDCCAPS", One<WFSIDCCAPS>, Shape::Record, &kCaps},
    {"LPWFSIDCFORM", One<WFSIDCFORM>, Shape::Record, &kForm},
};

}  // namespace

CWFSIDCSPParam::CWFSIDCSPParam() : CXFSSPParam(WFS_SERVICE_CLASS_IDC) {}

const scrivel::TypeTable& CWFSIDCSPParam::OwnTypes() const {
  static const scrivel::TypeTable table(kTypes);
  return table;
}

SV_RECORD_RENDERER(CWFSIDCSPParam, WFSIDCRETAINCARD, kRetainCard)
SV_RECORD_RENDERER(CWFSIDCSPParam, WFSIDCWRITETRACK, kWriteTrack)
SV_RECORD_RENDERER(CWFSIDCSPParam, WFSIDCSETKEY, kSetKey)

QString CWFSIDCSPParam::GetParamString(const WFSIDCCARDDATA* p, const QString& name, int indent,
                                       int hide) {
  return scrivel::RenderRecord(*this, kCardData, p, name, indent, hide);
}

QString CWFSIDCSPParam::GetParamString(const WFSIDCCARDDATA* const* pp, const QString& name,
                                       int indent, int hide) {
  return scrivel::RenderArray(*this, kCardData, reinterpret_cast<const void* const*>(pp), -1,
                              true, name, indent, hide);
}

SV_RECORD_RENDERER(CWFSIDCSPParam, WFSIDCCHIPIO, kChipIo)
SV_RECORD_RENDERER(CWFSIDCSPParam, WFSIDCPARSEDATA, kParseData)
SV_RECORD_RENDERER(CWFSIDCSPParam, WFSIDCTRACKEVENT, kTrackEvent)
SV_RECORD_RENDERER(CWFSIDCSPParam, WFSIDCCARDACT, kCardAct)
SV_RECORD_RENDERER(CWFSIDCSPParam, WFSIDCSTATUS, kStatus)
SV_RECORD_RENDERER(CWFSIDCSPParam, WFSIDCCAPS, kCaps)
SV_RECORD_RENDERER(CWFSIDCSPParam, WFSIDCFORM, kForm)
