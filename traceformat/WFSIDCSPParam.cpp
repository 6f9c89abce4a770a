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

QString CWFSIDCSPParam::GetParamString(const WFSIDCRETAINCARD* p, const QString& name,
                                       int indent) {
  return scrivel::RenderRecord(*this, kRetainCard, p, name, indent, g_bHidenLog);
}

QString CWFSIDCSPParam::GetParamString(const WFSIDCWRITETRACK* p, const QString& name,
                                       int indent) {
  return scrivel::RenderRecord(*this, kWriteTrack, p, name, indent, g_bHidenLog);
}

QString CWFSIDCSPParam::GetParamString(const WFSIDCSETKEY* p, const QString& name, int indent) {
  return scrivel::RenderRecord(*this, kSetKey, p, name, indent, g_bHidenLog);
}

QString CWFSIDCSPParam::GetParamString(const WFSIDCCARDDATA* p, const QString& name, int indent,
                                       int hide) {
  return scrivel::RenderRecord(*this, kCardData, p, name, indent, hide);
}

QString CWFSIDCSPParam::GetParamString(const WFSIDCCARDDATA* const* pp, const QString& name,
                                       int indent, int hide) {
  return scrivel::RenderArray(*this, kCardData, reinterpret_cast<const void* const*>(pp), -1,
                              true, name, indent, hide);
}

QString CWFSIDCSPParam::GetParamString(const WFSIDCCHIPIO* p, const QString& name, int indent) {
  return scrivel::RenderRecord(*this, kChipIo, p, name, indent, g_bHidenLog);
}

QString CWFSIDCSPParam::GetParamString(const WFSIDCPARSEDATA* p, const QString& name,
                                       int indent) {
  return scrivel::RenderRecord(*this, kParseData, p, name, indent, g_bHidenLog);
}

QString CWFSIDCSPParam::GetParamString(const WFSIDCTRACKEVENT* p, const QString& name,
                                       int indent) {
  return scrivel::RenderRecord(*this, kTrackEvent, p, name, indent, g_bHidenLog);
}

QString CWFSIDCSPParam::GetParamString(const WFSIDCCARDACT* p, const QString& name, int indent) {
  return scrivel::RenderRecord(*this, kCardAct, p, name, indent, g_bHidenLog);
}

QString CWFSIDCSPParam::GetParamString(const WFSIDCSTATUS* p, const QString& name, int indent) {
  return scrivel::RenderRecord(*this, kStatus, p, name, indent, g_bHidenLog);
}

QString CWFSIDCSPParam::GetParamString(const WFSIDCCAPS* p, const QString& name, int indent) {
  return scrivel::RenderRecord(*this, kCaps, p, name, indent, g_bHidenLog);
}

QString CWFSIDCSPParam::GetParamString(const WFSIDCFORM* p, const QString& name, int indent) {
  return scrivel::RenderRecord(*this, kForm, p, name, indent, g_bHidenLog);
}
