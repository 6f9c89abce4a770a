// The name file the terminal ships with: it loads without a trace line, it
// names every code that the service provider handles, and every structure
// type it names is one that a renderer knows for that class.
#include <gtest/gtest.h>

#include <set>
#include <string>
#include <vector>

#include "XmlConfig.h"
#include "test_support.h"

namespace {

struct ClassCodes {
  int iClass;
  std::vector<unsigned> categories;
  std::vector<unsigned> commands;
  std::vector<unsigned> events;
};

std::vector<unsigned> Range(unsigned first, unsigned last) {
  std::vector<unsigned> codes;
  for (unsigned code = first; code <= last; ++code) codes.push_back(code);
  return codes;
}

std::vector<unsigned> Join(std::vector<unsigned> codes, const std::vector<unsigned>& more) {
  codes.insert(codes.end(), more.begin(), more.end());
  return codes;
}

// The codes that the bridge dispatches, class by class.
const std::vector<ClassCodes>& HandledCodes() {
  static const std::vector<ClassCodes> codes = {
      {2, Range(201, 205), Range(201, 214), {201, 203, 204, 205, 207, 208, 209, 210, 211, 212, 213, 214}},
      {4, Join({401, 402}, Range(404, 409)),
       Join(Join({401, 403, 405}, Range(407, 439)), Join(Range(441, 447), {453, 454})),
       Range(401, 410)},
      {1, Range(101, 104), {101, 102, 104, 108}, {106, 111, 117}},
      {14, Range(1401, 1403), Range(1401, 1407), Range(1401, 1405)},
  };
  return codes;
}

// The type names that the renderers recognise: the common ones, then each
// class's own.
const std::set<std::string> kCommonTypes = {
    "LPDWORD", "LPUSHORT", "LPULONG", "LPSTR", "LPBOOL", "LPWORD", "LPXFSHWERROR",
    "LPXFSVRSNERROR", "LPXFSDEVSTATUS", "LPXFSAPPDISC"};

std::set<std::string> ClassTypes(int iClass) {
  switch (iClass) {
    case 2:
      return {"LPWFSIDCRETAINCARD", "LPWFSIDCWRITETRACK", "LPWFSIDCSETKEY", "LPWFSIDCCARDDATA",
              "LPWFSIDCCARDDATA*", "LPPWFSIDCCARDDATA", "LPWFSIDCCHIPIO", "LPWFSIDCPARSEDATA",
              "LPWFSIDCTRACKEVENT", "LPWFSIDCCARDACT", "LPWFSIDCSTATUS", "LPWFSIDCCAPS",
              "LPWFSIDCFORM"};
    case 4:
      return {"LPWFSPINCAPS", "LPWFSPINSTATUS", "LPWFSPINKEYDETAIL*", "LPWFSPINFDK",
              "LPWFSPINFUNCKEYDETAIL", "LPWFSPINKEYDETAILEX", "LPWFSXDATA", "LPWFSPINCRYPT",
              "LPWFSPINIMPORT", "LPWFSPINDERIVE", "LPWFSPINGETPIN", "LPWFSPINENTRY",
              "LPWFSPINLOCALDES", "LPWFSPINCREATEOFFSET", "LPWFSPINLOCALEUROCHEQUE",
              "LPWFSPINLOCALVISA", "LPWFSPINPRESENTIDC", "LPWFSPINPRESENTRESULT",
              "LPWFSPINPRESENTCLEAR", "LPWFSPINBLOCK", "LPWFSPINBLOCKEX", "LPWFSPINGETPINEX",
              "LPWFSPINGETPINEXOUT", "LPWFSPINGETDATA", "LPWFSPINKEY", "LPWFSPINDATA",
              "LPWFSPININIT", "LPWFSPINLOCALBANKSYS", "LPWFSPINBANKSYSIO", "LPWFSPINSECMSG",
              "LPWFSPINIMPORTKEYEX", "LPWFSPINENCIO", "LPWFSPINACCESS",
              "LPWFSPINSTARTKEYEXCHANGE", "LPWFSPINIMPORTRSAPUBLICKEY",
              "LPWFSPINIMPORTRSAPUBLICKEYOUTPUT", "LPWFSPINEXPORTRSAISSUERSIGNEDITEM",
              "LPWFSPINEXPORTRSAISSUERSIGNEDITEMOUTPUT", "LPWFSPINIMPORTRSASIGNEDDESKEY",
              "LPWFSPINIMPORTRSASIGNEDDESKEYOUTPUT"};
    case 1:
      return {"LPWFSPTRRETRACTBINS", "LPWFSPTRSTATUS", "LPWFSPTRCAPS", "LPWFSFRMHEADER",
              "LPWFSFRMMEDIA", "LPWFSPTRQUERYFIELD", "LPWFSFRMFIELD", "LPWFSPTRPRINTFORM",
              "LPWFSPTRREADFORM", "LPWFSPTRREADFORMOUT", "LPWFSPTRRAWDATA", "LPWFSPTRRAWDATAIN",
              "LPWFSPTRMEDIAUNIT", "LPWFSPTRMEDIAEXT", "LPWFSPTRIMAGEREQUEST", "LPWFSPTRIMAGE",
              "LPWFSPTRRESET", "LPWFSPTRFIELDFAIL", "LPWFSPTRBINTHRESHOLD",
              "LPWFSPTRPAPERTHRESHOLD", "LPWFSPTRMEDIADETECTED"};
    default:
      return {"LPWFSCRDSTATUS", "LPWFSCRDCAPS", "LPWFSCRDCUINFO", "LPWFSCRDDISPENSE",
              "LPWFSCRDRETAINCARD", "LPWFSCRDRESET", "LPWFSCRDSETGUIDLIGHT",
              "LPWFSCRDPOWERSAVECONTROL", "LPWFSCRDMEDIADETECTED", "LPWFSCRDCARDUNIT",
              "LPWFSCRDCUERROR", "LPWFSCRDDEVICEPOSITION", "LPWFSCRDPOWERSAVECHANGE"};
  }
}

class ShippedNames : public ::testing::Test {
 protected:
  void SetUp() override {
    XmlConfig::Destroy();
    XmlConfig::InitConfigFileName(SHIPPED_NAME_FILE);
    testsupport::TraceCapture trace;
    XmlConfig::GetInstance();
    for (const testsupport::TraceLine& line : trace.lines()) {
      ADD_FAILURE() << "loading the name file traced: " << line.text;
    }
  }
  void TearDown() override {
    XmlConfig::Destroy();
    XmlConfig::InitConfigFileName(nullptr);
  }
};

TEST_F(ShippedNames, EveryHandledCodeAndSystemEventHasItsName) {
  for (const ClassCodes& c : HandledCodes()) {
    for (unsigned code : c.categories) {
      EXPECT_NE(XmlConfig::GetNameByValue(c.iClass, XmlConfig::MAP_INFCMD, code), "") << code;
    }
    for (unsigned code : c.commands) {
      EXPECT_NE(XmlConfig::GetNameByValue(c.iClass, XmlConfig::MAP_EXECMD, code), "") << code;
    }
    for (unsigned code : c.events) {
      EXPECT_NE(XmlConfig::GetNameByValue(c.iClass, XmlConfig::MAP_MESSAGE, code), "") << code;
    }
    EXPECT_NE(XmlConfig::GetNameByValue(c.iClass, XmlConfig::MAP_FWDEVICE, 0ul), "");
  }
  const char* const systemTypes[] = {"", "LPXFSHWERROR", "LPXFSVRSNERROR", "LPXFSDEVSTATUS",
                                     "LPXFSAPPDISC", "LPXFSHWERROR", "LPXFSHWERROR", ""};
  for (unsigned event = 1; event <= 8; ++event) {
    EXPECT_NE(XmlConfig::GetNameByValue(0, XmlConfig::MAP_MESSAGE, event), "") << event;
    EXPECT_EQ(XmlConfig::GetOutputParamByValue(0, XmlConfig::MAP_MESSAGE, event),
              systemTypes[event - 1]);
  }
  for (unsigned message : {1025u, 1026u, 1027u, 1028u, 1029u, 1030u, 1031u, 1032u, 1044u, 1045u,
                           1046u, 1047u}) {
    EXPECT_NE(XmlConfig::GetNameByValue(0, XmlConfig::MAP_MESSAGE_NO, message), "") << message;
  }
  for (long error = 0; error >= -56; --error) {
    EXPECT_NE(XmlConfig::GetNameByValue(0, XmlConfig::MAP_XFSERRORS,
                                        static_cast<unsigned long>(error)),
              "")
        << error;
  }
  EXPECT_EQ(XmlConfig::GetNameByValue(1, XmlConfig::MAP_FWCONTROL, 0x21ul),
            "WFS_PTR_CTRLEJECT|WFS_PTR_CTRLRETRACT");
}

TEST_F(ShippedNames, EveryTypeIsOneTheClassRendererKnows) {
  for (const ClassCodes& c : HandledCodes()) {
    std::set<std::string> known = ClassTypes(c.iClass);
    known.insert(kCommonTypes.begin(), kCommonTypes.end());
    const _tagModuleConfig& module = XmlConfig::GetInstance()->GetModule(c.iClass);
    for (const CommandCollection* list :
         {&module.infoCommands, &module.executeCommands, &module.messages}) {
      for (int i = 0; i < list->GetLength(); ++i) {
        for (const QString& type : {list->GetInputParamAt(i), list->GetOutputParamAt(i)}) {
          if (!type.isEmpty()) {
            EXPECT_EQ(known.count(type.toStdString()), 1u)
                << list->GetNameAt(i).toStdString() << ": " << type.toStdString();
          }
        }
      }
    }
  }
}

// Their renderers show these structures' secrets (track and chip data, key
// values, PIN blocks and PIN-derived values, entered digits, PANs) in
// clear, so the name file names no type for them.
// The structures that carry card data, keys, PIN blocks or entered digits
// have their types: their renderers show such data hidden.
TEST_F(ShippedNames, StructuresThatCarrySecretsHaveTheirTypes) {
  struct Typed {
    int iClass;
    XmlConfig::Map map;
    unsigned code;
    const char* input;
    const char* output;
  };
  const Typed typed[] = {
      {2, XmlConfig::MAP_EXECMD, 201, "LPSTR", "LPSTR"},
      {2, XmlConfig::MAP_EXECMD, 202, "LPWFSIDCWRITETRACK", ""},
      {2, XmlConfig::MAP_EXECMD, 206, "LPWFSIDCSETKEY", "LPWFSIDCSETKEY"},
      {2, XmlConfig::MAP_EXECMD, 209, "LPWFSIDCCHIPIO", "LPWFSIDCCHIPIO"},
      {2, XmlConfig::MAP_EXECMD, 212, "LPWFSIDCPARSEDATA", "LPSTR"},
      {2, XmlConfig::MAP_MESSAGE, 201, "", "LPWFSIDCTRACKEVENT"},
      {4, XmlConfig::MAP_EXECMD, 407, "LPWFSPINBLOCK", "LPWFSXDATA"},
      {4, XmlConfig::MAP_EXECMD, 408, "LPWFSPINGETDATA", "LPWFSPINDATA"},
      {4, XmlConfig::MAP_EXECMD, 409, "LPWFSPININIT", "LPWFSXDATA"},
      {4, XmlConfig::MAP_EXECMD, 410, "LPWFSPINLOCALDES", "LPBOOL"},
      {4, XmlConfig::MAP_EXECMD, 411, "LPWFSPINLOCALEUROCHEQUE", "LPBOOL"},
      {4, XmlConfig::MAP_EXECMD, 412, "LPWFSPINLOCALVISA", "LPBOOL"},
      {4, XmlConfig::MAP_EXECMD, 413, "LPWFSPINCREATEOFFSET", "LPSTR"},
      {4, XmlConfig::MAP_EXECMD, 415, "LPWFSPINPRESENTIDC", "LPWFSPINPRESENTRESULT"},
      {4, XmlConfig::MAP_EXECMD, 416, "LPWFSPINLOCALBANKSYS", "LPBOOL"},
      {4, XmlConfig::MAP_EXECMD, 420, "LPWFSPINSECMSG", "LPWFSPINSECMSG"},
      {4, XmlConfig::MAP_EXECMD, 421, "LPWFSPINSECMSG", ""},
      {4, XmlConfig::MAP_EXECMD, 453, "LPWFSPINBLOCKEX", "LPWFSXDATA"},
      {4, XmlConfig::MAP_EXECMD, 454, "LPWFSPINGETPINEX", "LPWFSPINGETPINEXOUT"},
      {4, XmlConfig::MAP_MESSAGE, 401, "", "LPWFSPINKEY"},
      {4, XmlConfig::MAP_MESSAGE, 402, "", "LPWFSPININIT"},
  };
  for (const Typed& t : typed) {
    EXPECT_EQ(XmlConfig::GetInputParamByValue(t.iClass, t.map, t.code), t.input)
        << t.iClass << "/" << t.code;
    EXPECT_EQ(XmlConfig::GetOutputParamByValue(t.iClass, t.map, t.code), t.output)
        << t.iClass << "/" << t.code;
  }
}

}  // namespace
