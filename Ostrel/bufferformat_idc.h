// Request side of the card reader (IDC): the input structures of its
// get-info and execute requests as the value of the envelope's
// "lpDataBuffer".
#ifndef OSTREL_BUFFERFORMAT_IDC_H
#define OSTREL_BUFFERFORMAT_IDC_H

namespace Json {
class Value;
}

class BufferFormat_IDC {
 public:
  // The payload of a get-info request (lpQueryDetails) or an execute request
  // (lpCmdData) by its code; null when data is NULL, when the code sends no
  // input, for an unknown code (after its line) and for input that cannot
  // be formatted (after the caught-fault line).
  static Json::Value InfoFormat(unsigned int category, unsigned char* data);
  static Json::Value ExeFormat(unsigned int command, unsigned char* data);

  // An optional string: the text, or null for NULL.
  static Json::Value GetLPSTR(char* text);

  // One formatter per input structure; data is never NULL.
  static Json::Value FormatWriteTrack(unsigned char* data);    // WFSIDCWRITETRACK
  static Json::Value FormatEjectCard(unsigned char* data);     // WFSIDCEJECTCARD
  static Json::Value FormatRetainCard();                       // sends no input: null
  static Json::Value FormatResetCount();                       // sends no input: null
  static Json::Value FormatSetkey(unsigned char* data);        // WFSIDCSETKEY
  static Json::Value FormatReadRawData(unsigned char* data);   // WORD read-data flags
  static Json::Value FormatWriteRawData(unsigned char* data);  // NULL-terminated LPWFSIDCCARDDATA*
  static Json::Value FormatChipIO(unsigned char* data);        // WFSIDCCHIPIO
  static Json::Value FormatReset(unsigned char* data);         // WORD reset-in action
  static Json::Value FormatChipPower(unsigned char* data);     // WORD chip power action
  static Json::Value FormatParseData(unsigned char* data);     // WFSIDCPARSEDATA
  static Json::Value FormatSetGuidanceLight(unsigned char* data);  // WFSIDCSETGUIDLIGHT
  static Json::Value FormatPowerSaveControl(unsigned char* data);  // WFSIDCPOWERSAVECONTROL
};

#endif
