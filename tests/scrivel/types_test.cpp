// Every structure type a renderer knows renders a complete block, for a
// record with every member set and for one whose pointers are all NULL.
#include <gtest/gtest.h>

#include <string>

#include "XmlConfig.h"
#include "scrivel_test_support.h"
#include "scrivelapp.h"

namespace {

using scriveltest::AllKnownTypes;
using scriveltest::KnownType;
using scriveltest::RecordBuilder;
using scriveltest::Utf8;

// What a complete block of the entry looks like at indent 1.
void ExpectComplete(const scrivel::TypeEntry& entry, const std::string& text, bool nulls) {
  SCOPED_TRACE(std::string(entry.type) + (nulls ? " with NULL pointers" : " filled"));
  if (entry.shape == scrivel::Shape::Value) {
    // LPULONG renders nothing by design.
    EXPECT_EQ(text.empty(), std::string(entry.type) == "LPULONG");
    return;
  }
  const std::string header = "\t" + std::string(entry.type);
  ASSERT_EQ(text.compare(0, header.size(), header), 0) << text;
  EXPECT_EQ(text.compare(text.size() - 3, 3, "}\r\n"), 0) << text;
  switch (entry.shape) {
    case scrivel::Shape::Record:
      for (size_t i = 0; i < entry.table->rowCount; ++i) {
        EXPECT_NE(text.find("\t\t" + std::string(entry.table->rows[i].name)), std::string::npos)
            << entry.table->rows[i].name << "\n" << text;
      }
      break;
    case scrivel::Shape::NullTerminated:
      EXPECT_NE(text.find("[1] = 0x"), std::string::npos) << text;
      break;
    case scrivel::Shape::Counted:  // the type names carry no count
      EXPECT_EQ(text.find("[0]"), std::string::npos) << text;
      break;
    case scrivel::Shape::Value:
      break;
  }
}

TEST(EveryType, RendersACompleteBlock) {
  const std::vector<KnownType> types = AllKnownTypes();
  ASSERT_FALSE(types.empty());
  for (const KnownType& known : types) {
    CXFSSPParam* renderer = theApp.GetSPModule(known.serviceClass);
    ASSERT_EQ(renderer->DescribeType(known.entry->type), known.entry);
    for (bool nulls : {false, true}) {
      RecordBuilder builder(nulls);
      void* data = builder.ForType(*known.entry);
      ExpectComplete(*known.entry,
                     Utf8(renderer->GetParamString(known.entry->type, data, 0,
                                                   known.entry->type, 1)),
                     nulls);
    }
  }
}

// Every type name that the shipped name file gives a command's input or a
// command's or event's output has its renderer, and so renders as above.
TEST(EveryType, OfTheShippedNameFileHasItsRenderer) {
  XmlConfig::Destroy();
  XmlConfig::InitConfigFileName(WFP_NAME_FILE);
  int found = 0;
  for (int serviceClass : {0, WFS_SERVICE_CLASS_PTR, WFS_SERVICE_CLASS_IDC,
                           WFS_SERVICE_CLASS_PIN, WFS_SERVICE_CLASS_CRD}) {
    const CXFSSPParam* renderer = theApp.GetSPModule(serviceClass);
    const unsigned first = serviceClass == 0 ? 1 : 100u * serviceClass;
    for (XmlConfig::Map map : {XmlConfig::MAP_INFCMD, XmlConfig::MAP_EXECMD,
                               XmlConfig::MAP_MESSAGE}) {
      for (unsigned code = first; code < first + 100; ++code) {
        for (const QString& type : {XmlConfig::GetInputParamByValue(serviceClass, map, code),
                                    XmlConfig::GetOutputParamByValue(serviceClass, map, code)}) {
          if (type.isEmpty()) continue;
          ++found;
          EXPECT_NE(renderer->DescribeType(type), nullptr)
              << serviceClass << " " << code << " " << Utf8(type);
        }
      }
    }
  }
  EXPECT_GT(found, 100);
  XmlConfig::Destroy();
}

}  // namespace
