#include "WFSPTRSPParam.h"

#include "digits.h"
#include "scrivel.h"
#include "structtable.h"

namespace {

using scrivel::Shape;
using scrivel::TypeEntry;

SV_TABLE(kRetractBins, WFSPTRRETRACTBINS, SV(WFSPTRRETRACTBINS, wRetractBin).Word(),
         SV(WFSPTRRETRACTBINS, usRetractCount).Ushort());

SV_TABLE(kStatus, WFSPTRSTATUS, SV(WFSPTRSTATUS, fwDevice).Word().Map(XmlConfig::MAP_FWDEVICE),
         SV(WFSPTRSTATUS, fwMedia).Word().Map(XmlConfig::MAP_FWMEDIA),
         SV(WFSPTRSTATUS, fwPaper).Words<WFS_PTR_SUPPLYSIZE>(), SV(WFSPTRSTATUS, fwToner).Word(),
         SV(WFSPTRSTATUS, fwInk).Word(), SV(WFSPTRSTATUS, fwLamp).Word(),
         SV(WFSPTRSTATUS, lppRetractBins).Array<WFSPTRRETRACTBINS>(kRetractBins).NoBraces(),
         SV(WFSPTRSTATUS, usMediaOnStacker).Ushort(), SV(WFSPTRSTATUS, lpszExtra).TextList());

SV_TABLE(kCaps, WFSPTRCAPS, SV(WFSPTRCAPS, wClass).Word(), SV(WFSPTRCAPS, fwType).Word(),
         SV(WFSPTRCAPS, bCompound).Bool(), SV(WFSPTRCAPS, wResolution).Word(),
         SV(WFSPTRCAPS, fwReadForm).Word(), SV(WFSPTRCAPS, fwWriteForm).Word(),
         SV(WFSPTRCAPS, fwExtents).Word(), SV(WFSPTRCAPS, fwControl).Word(),
         SV(WFSPTRCAPS, usMaxMediaOnStacker).Ushort(), SV(WFSPTRCAPS, bAcceptMedia).Bool(),
         SV(WFSPTRCAPS, bMultiPage).Bool(), SV(WFSPTRCAPS, fwPaperSources).Word(),
         SV(WFSPTRCAPS, bMediaTaken).Bool(), SV(WFSPTRCAPS, usRetractBins).Ushort(),
         SV(WFSPTRCAPS, lpusMaxRetract).UshortList(), SV(WFSPTRCAPS, fwImageType).Word(),
         SV(WFSPTRCAPS, fwFrontImageColorFormat).Word(),
         SV(WFSPTRCAPS, fwBackImageColorFormat).Word(), SV(WFSPTRCAPS, fwCodelineFormat).Word(),
         SV(WFSPTRCAPS, fwImageSource).Word(), SV(WFSPTRCAPS, fwCharSupport).Word(),
         SV(WFSPTRCAPS, bDispensePaper).Bool(), SV(WFSPTRCAPS, lpszExtra).TextList());

SV_TABLE(kFormHeader, WFSFRMHEADER, SV(WFSFRMHEADER, lpszFormName).Text(),
         SV(WFSFRMHEADER, wBase).Word(), SV(WFSFRMHEADER, wUnitX).Word(),
         SV(WFSFRMHEADER, wUnitY).Word(), SV(WFSFRMHEADER, wWidth).Word(),
         SV(WFSFRMHEADER, wHeight).Word(), SV(WFSFRMHEADER, wAlignment).Word(),
         SV(WFSFRMHEADER, wOrientation).Word(), SV(WFSFRMHEADER, wOffsetX).Word(),
         SV(WFSFRMHEADER, wOffsetY).Word(), SV(WFSFRMHEADER, wVersionMajor).Word(),
         SV(WFSFRMHEADER, wVersionMinor).Word(), SV(WFSFRMHEADER, lpszUserPrompt).Text(),
         SV(WFSFRMHEADER, fwCharSupport).Word(), SV(WFSFRMHEADER, lpszFields).Text());

SV_TABLE(kFormMedia, WFSFRMMEDIA, SV(WFSFRMMEDIA, fwMediaType).Word(),
         SV(WFSFRMMEDIA, wBase).Word(), SV(WFSFRMMEDIA, wUnitX).Word(),
         SV(WFSFRMMEDIA, wUnitY).Word(), SV(WFSFRMMEDIA, wSizeWidth).Word(),
         SV(WFSFRMMEDIA, wSizeHeight).Word(), SV(WFSFRMMEDIA, wPageCount).Word(),
         SV(WFSFRMMEDIA, wLineCount).Word(), SV(WFSFRMMEDIA, wPrintAreaX).Word(),
         SV(WFSFRMMEDIA, wPrintAreaY).Word(), SV(WFSFRMMEDIA, wPrintAreaWidth).Word(),
         SV(WFSFRMMEDIA, wPrintAreaHeight).Word(), SV(WFSFRMMEDIA, wRestrictedAreaX).Word(),
         SV(WFSFRMMEDIA, wRestrictedAreaY).Word(), SV(WFSFRMMEDIA, wRestrictedAreaWidth).Word(),
         SV(WFSFRMMEDIA, wRestrictedAreaHeight).Word(), SV(WFSFRMMEDIA, wStagger).Word(),
         SV(WFSFRMMEDIA, wFoldType).Word(), SV(WFSFRMMEDIA, wPaperSources).Word());

SV_TABLE(kQueryField, WFSPTRQUERYFIELD, SV(WFSPTRQUERYFIELD, lpszFormName).Text(),
         SV(WFSPTRQUERYFIELD, lpszFieldName).Text());

SV_TABLE(kFormField, WFSFRMFIELD, SV(WFSFRMFIELD, lpszFieldName).Text(),
         SV(WFSFRMFIELD, wIndexCount).Word(), SV(WFSFRMFIELD, fwType).Word(),
         SV(WFSFRMFIELD, fwClass).Word(), SV(WFSFRMFIELD, fwAccess).Word(),
         SV(WFSFRMFIELD, fwOverflow).Word(), SV(WFSFRMFIELD, lpszInitialValue).Text(),
         SV(WFSFRMFIELD, lpszUNICODEInitialValue).WideText(),
         SV(WFSFRMFIELD, lpszFormat).Text(), SV(WFSFRMFIELD, lpszUNICODEFormat).WideText());

SV_TABLE(kPrintForm, WFSPTRPRINTFORM, SV(WFSPTRPRINTFORM, lpszFormName).Text(),
         SV(WFSPTRPRINTFORM, lpszMediaName).Text(), SV(WFSPTRPRINTFORM, wAlignment).Word(),
         SV(WFSPTRPRINTFORM, wOffsetX).Word(), SV(WFSPTRPRINTFORM, wOffsetY).Word(),
         SV(WFSPTRPRINTFORM, wResolution).Word(),
         SV(WFSPTRPRINTFORM, dwMediaControl).Dword().Map(XmlConfig::MAP_FWCONTROL),
         SV(WFSPTRPRINTFORM, lpszFields).TextList(),
         SV(WFSPTRPRINTFORM, lpszUNICODEFields).WideTextList(),
         SV(WFSPTRPRINTFORM, wPaperSource).Word());

SV_TABLE(kReadForm, WFSPTRREADFORM, SV(WFSPTRREADFORM, lpszFormName).Text(),
         SV(WFSPTRREADFORM, lpszFieldNames).Text(), SV(WFSPTRREADFORM, lpszMediaName).Text(),
         SV(WFSPTRREADFORM, dwMediaControl).Dword().Map(XmlConfig::MAP_FWCONTROL));

SV_TABLE(kReadFormOut, WFSPTRREADFORMOUT, SV(WFSPTRREADFORMOUT, lpszFields).TextList(),
         SV(WFSPTRREADFORMOUT, lpszUNICODEFields).WideTextList());

SV_TABLE(kRawData, WFSPTRRAWDATA, SV(WFSPTRRAWDATA, wInputData).Word(),
         SV(WFSPTRRAWDATA, ulSize).Ulong(),
         SV(WFSPTRRAWDATA, lpbData).Bytes(SV_LENGTH(WFSPTRRAWDATA, ulSize)));

SV_TABLE(kRawDataIn, WFSPTRRAWDATAIN, SV(WFSPTRRAWDATAIN, ulSize).Ulong(),
         SV(WFSPTRRAWDATAIN, lpbData).Bytes(SV_LENGTH(WFSPTRRAWDATAIN, ulSize)));

SV_TABLE(kMediaUnit, WFSPTRMEDIAUNIT, SV(WFSPTRMEDIAUNIT, wBase).Word(),
         SV(WFSPTRMEDIAUNIT, wUnitX).Word(), SV(WFSPTRMEDIAUNIT, wUnitY).Word());

SV_TABLE(kMediaExt, WFSPTRMEDIAEXT, SV(WFSPTRMEDIAEXT, ulSizeX).Ulong(),
         SV(WFSPTRMEDIAEXT, ulSizeY).Ulong());

SV_TABLE(kImageRequest, WFSPTRIMAGEREQUEST, SV(WFSPTRIMAGEREQUEST, wFrontImageType).Word(),
         SV(WFSPTRIMAGEREQUEST, wBackImageType).Word(),
         SV(WFSPTRIMAGEREQUEST, wFrontImageColorFormat).Word(),
         SV(WFSPTRIMAGEREQUEST, wBackImageColorFormat).Word(),
         SV(WFSPTRIMAGEREQUEST, wCodelineFormat).Word(),
         SV(WFSPTRIMAGEREQUEST, fwImageSource).Word(),
         SV(WFSPTRIMAGEREQUEST, lpszFrontImageFile).Text(),
         SV(WFSPTRIMAGEREQUEST, lpszBackImageFile).Text());

SV_TABLE(kImage, WFSPTRIMAGE, SV(WFSPTRIMAGE, wImageSource).Word(),
         SV(WFSPTRIMAGE, wStatus).Word(), SV(WFSPTRIMAGE, ulDataLength).Ulong(),
         SV(WFSPTRIMAGE, lpbData).Bytes(SV_LENGTH(WFSPTRIMAGE, ulDataLength)));

SV_TABLE(kReset, WFSPTRRESET,
         SV(WFSPTRRESET, dwMediaControl).Dword().Map(XmlConfig::MAP_FWCONTROL),
         SV(WFSPTRRESET, usRetractBinNumber).Ushort());

SV_TABLE(kFieldFail, WFSPTRFIELDFAIL, SV(WFSPTRFIELDFAIL, lpszFormName).Text(),
         SV(WFSPTRFIELDFAIL, lpszFieldName).Text(), SV(WFSPTRFIELDFAIL, wFailure).Word());

SV_TABLE(kBinThreshold, WFSPTRBINTHRESHOLD, SV(WFSPTRBINTHRESHOLD, usBinNumber).Ushort(),
         SV(WFSPTRBINTHRESHOLD, wRetractBin).Word());

SV_TABLE(kPaperThreshold, WFSPTRPAPERTHRESHOLD, SV(WFSPTRPAPERTHRESHOLD, wPaperSource).Word(),
         SV(WFSPTRPAPERTHRESHOLD, wPaperThreshold).Word());

SV_TABLE(kMediaDetected, WFSPTRMEDIADETECTED, SV(WFSPTRMEDIADETECTED, wPosition).Word(),
         SV(WFSPTRMEDIADETECTED, usRetractBinNumber).Ushort());

template <class T>
constexpr scrivel::TypeRender One = &scrivel::RenderOne<CWFSPTRSPParam, T>;
template <class T>
constexpr scrivel::TypeRender NullTerminated =
    &scrivel::RenderNullTerminated<CWFSPTRSPParam, T>;

const TypeEntry kTypes[] = {
    {"LPWFSPTRRETRACTBINS", One<WFSPTRRETRACTBINS>, Shape::Record, &kRetractBins},
    {"LPWFSPTRRETRACTBINS*", NullTerminated<WFSPTRRETRACTBINS>, Shape::NullTerminated,
     &kRetractBins},
    {"LPPWFSPTRRETRACTBINS", NullTerminated<WFSPTRRETRACTBINS>, Shape::NullTerminated,
     &kRetractBins},
    {"LPWFSPTRSTATUS", One<WFSPTRSTATUS>, Shape::Record, &kStatus},
    {"LPWFSPTRCAPS", One<WFSPTRCAPS>, Shape::Record, &kCaps},
    {"LPWFSFRMHEADER", One<WFSFRMHEADER>, Shape::Record, &kFormHeader},
    {"LPWFSFRMMEDIA", One<WFSFRMMEDIA>, Shape::Record, &kFormMedia},
    {"LPWFSPTRQUERYFIELD", One<WFSPTRQUERYFIELD>, Shape::Record, &kQueryField},
    {"LPWFSFRMFIELD", One<WFSFRMFIELD>, Shape::Record, &kFormField},
    {"LPWFSFRMFIELD*", NullTerminated<WFSFRMFIELD>, Shape::NullTerminated, &kFormField},
    {"LPWFSPTRPRINTFORM", One<WFSPTRPRINTFORM>, Shape::Record, &kPrintForm},
    {"LPWFSPTRREADFORM", One<WFSPTRREADFORM>, Shape::Record, &kReadForm},
    {"LPWFSPTRREADFORMOUT", One<WFSPTRREADFORMOUT>, Shape::Record, &kReadFormOut},
    {"LPWFSPTRRAWDATA", One<WFSPTRRAWDATA>, Shape::Record, &kRawData},
    {"LPWFSPTRRAWDATAIN", One<WFSPTRRAWDATAIN>, Shape::Record, &kRawDataIn},
    {"LPWFSPTRMEDIAUNIT", One<WFSPTRMEDIAUNIT>, Shape::Record, &kMediaUnit},
    {"LPWFSPTRMEDIAEXT", One<WFSPTRMEDIAEXT>, Shape::Record, &kMediaExt},
    {"LPWFSPTRIMAGEREQUEST", One<WFSPTRIMAGEREQUEST>, Shape::Record, &kImageRequest},
    {"LPWFSPTRIMAGE", One<WFSPTRIMAGE>, Shape::Record, &kImage},
    {"LPWFSPTRIMAGE*", NullTerminated<WFSPTRIMAGE>, Shape::NullTerminated, &kImage},
    {"LPWFSPTRRESET", One<WFSPTRRESET>, Shape::Record, &kReset},
    {"LPWFSPTRFIELDFAIL", One<WFSPTRFIELDFAIL>, Shape::Record, &kFieldFail},
    {"LPWFSPTRBINTHRESHOLD", One<WFSPTRBINTHRESHOLD>, Shape::Record, &kBinThreshold},
    {"LPWFSPTRPAPERTHRESHOLD", One<WFSPTRPAPERTHRESHOLD>, Shape::Record, &kPaperThreshold},
    {"LPWFSPTRMEDIADETECTED", One<WFSPTRMEDIADETECTED>, Shape::Record, &kMediaDetected},
};

}  // namespace

CWFSPTRSPParam::CWFSPTRSPParam() : CXFSSPParam(WFS_SERVICE_CLASS_PTR) {}

const scrivel::TypeTable& CWFSPTRSPParam::OwnTypes() const {
  static const scrivel::TypeTable table(kTypes);
  return table;
}

QString CWFSPTRSPParam::GetParamString_LPDWORD(const unsigned int* value, const QString& name,
                                               int indent) {
  QString text = GetTab(indent) + GetFixedName(name) + QLatin1String(" = 0x") +
                 scrivel::Digits::Address(value).text() + QLatin1String("\r\n");
  if (value != nullptr) {
    text += GetParamString_DWORD(*value, name + QLatin1String("[0]"), indent + 1,
                                 XmlConfig::MAP_FWCONTROL);
  }
  return text;
}

SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRRETRACTBINS, kRetractBins)

QString CWFSPTRSPParam::GetParamString(const WFSPTRRETRACTBINS* const* pp, const QString& name,
                                       int indent) {
  return scrivel::RenderArray(*this, kRetractBins, reinterpret_cast<const void* const*>(pp), -1,
                              false, name, indent, g_bHidenLog);
}

SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRSTATUS, kStatus)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRCAPS, kCaps)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSFRMHEADER, kFormHeader)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSFRMMEDIA, kFormMedia)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRQUERYFIELD, kQueryField)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSFRMFIELD, kFormField)

QString CWFSPTRSPParam::GetParamString(const WFSFRMFIELD* const* pp, const QString& name,
                                       int indent) {
  return scrivel::RenderArray(*this, kFormField, reinterpret_cast<const void* const*>(pp), -1,
                              false, name, indent, g_bHidenLog,
                              QStringLiteral("LPWFSFRMFIELD"));
}

SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRPRINTFORM, kPrintForm)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRREADFORM, kReadForm)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRREADFORMOUT, kReadFormOut)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRRAWDATA, kRawData)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRRAWDATAIN, kRawDataIn)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRMEDIAUNIT, kMediaUnit)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRMEDIAEXT, kMediaExt)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRIMAGEREQUEST, kImageRequest)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRIMAGE, kImage)

QString CWFSPTRSPParam::GetParamString(const WFSPTRIMAGE* const* pp, const QString& name,
                                       int indent) {
  return scrivel::RenderArray(*this, kImage, reinterpret_cast<const void* const*>(pp), -1, false,
                              name, indent, g_bHidenLog);
}

SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRRESET, kReset)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRFIELDFAIL, kFieldFail)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRBINTHRESHOLD, kBinThreshold)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRPAPERTHRESHOLD, kPaperThreshold)
SV_RECORD_RENDERER(CWFSPTRSPParam, WFSPTRMEDIADETECTED, kMediaDetected)
