// The generic encoder and decoder of the structure descriptions
// (structdesc.h): they walk a description member by member and apply each
// member's rule, so that every rule of the codecs is written once, here and
// in codec_request.h / codec_reply.h below it.
//
//   Json::Value BufferFormat_XXX::FormatThing(unsigned char* data) {
//     return codec::Format(xxx::kThing, data);
//   }
//   int JsonUnformat_XXX::UnformatThing(LPWFSRESULT result, Json::Value* value) {
//     return codec::Unformat("JsonUnformat_XXX::UnformatThing", xxx::kThing, result, value);
//   }
//
// Allocation points. The output block logs "<name> allocate buffer
// failed!"; every later block that the description can take has a number in
// the decoder's order: the members in order, a nested structure's block and
// then its own members, an array's pointer block, its elements' blocks and
// then the elements' own members. The numbers do not depend on what a reply
// holds. A member with a line of its own (RuleSpec::At) keeps its number.
#ifndef OSTREL_STRUCTCODEC_H
#define OSTREL_STRUCTCODEC_H

#include <json/value.h>

#include "codec_reply.h"
#include "structdesc.h"
#include "xfsapi.h"

namespace codec {

// Request side. The JSON object of the structure at data (not NULL); input
// that breaks the structure's rules ends the formatter through CannotFormat.
Json::Value Format(const Description& structure, const void* data);
// A NULL-terminated array of pointers to such structures as an array of
// objects (a NULL list gives an empty array).
Json::Value FormatArray(const Description& element, const void* list);

// Reply side: how one decoder departs from the common lines and readings.
struct UnformatOptions {
  // The output block's line (for an array output, the pointer block's).
  AllocPoint top = AllocPoint::First();
  // The elements of an array output; Auto numbers them 1.
  AllocPoint element = AllocPoint::Auto();
  // Every block of the decoder logs `top`'s line.
  bool uniform = false;
  // BOOL members are read as integers.
  bool boolsAsInt = false;
};

// The output structure below the result, filled from the reply's object;
// 1, or 0 after the decoder's failure line (lpBuffer NULL or partly filled).
int Unformat(const char* decoder, const Description& structure, LPWFSRESULT result,
             const Json::Value* value, const UnformatOptions& options = UnformatOptions());
// A NULL-terminated array of pointers to element structures below the
// result, filled from the reply's array of objects.
int UnformatArray(const char* decoder, const Description& element, LPWFSRESULT result,
                  const Json::Value* value, const UnformatOptions& options = UnformatOptions());

// Replies whose value is the datum itself: a WORD, a BOOL, a text.
int UnformatWordValue(const char* decoder, LPWFSRESULT result, const Json::Value* value);
int UnformatBoolValue(const char* decoder, LPWFSRESULT result, const Json::Value* value);
int UnformatTextValue(const char* decoder, AllocPoint point, LPWFSRESULT result,
                      const Json::Value* value);

// The decoders of codes that have no output structure: lpBuffer stays NULL
// whatever the reply holds; 1.
int NoOutput(LPWFSRESULT result);

// The numbered allocation points a decoder of the structure has after its
// output block (the members of nested structures and arrays included).
unsigned AllocationPoints(const Description& structure);

}  // namespace codec

// The named functions of the class codecs over their descriptions, one line
// each; a decoder logs under its own qualified name:
//
//   OSTREL_FORMATTER(BufferFormat_XXX, FormatThing, codec::xxx::kThing)
//   OSTREL_DECODER(JsonUnformat_XXX, UnformatThing, codec::xxx::kThing)
//
// OSTREL_DECODER_AS takes the name its lines carry when it is another, and
// the options of a decoder that departs from the common lines and readings.
#define OSTREL_FORMATTER(Class, Function, structure) \
  Json::Value Class::Function(unsigned char* data) { return ::codec::Format(structure, data); }
#define OSTREL_DECODER_AS(Class, Function, name, structure, options)    \
  int Class::Function(LPWFSRESULT result, Json::Value* value) {          \
    return ::codec::Unformat(name, structure, result, value, options);   \
  }
#define OSTREL_DECODER(Class, Function, structure) \
  OSTREL_DECODER_AS(Class, Function, #Class "::" #Function, structure, ::codec::UnformatOptions())

// The same for a decoder whose output is a NULL-terminated array of element
// structures, for one whose reply value is the datum itself (reader is
// codec::UnformatWordValue or codec::UnformatBoolValue), and for one of a
// code without output structure:
//
//   OSTREL_ARRAY_DECODER(JsonUnformat_XXX, UnformatList, codec::xxx::kEntry)
//   OSTREL_VALUE_DECODER(JsonUnformat_XXX, UnformatFlag, codec::UnformatBoolValue)
//   OSTREL_NO_OUTPUT_DECODER(JsonUnformat_XXX, UnformatReset)
#define OSTREL_ARRAY_DECODER(Class, Function, element)                            \
  int Class::Function(LPWFSRESULT result, Json::Value* value) {                   \
    return ::codec::UnformatArray(#Class "::" #Function, element, result, value); \
  }
#define OSTREL_VALUE_DECODER(Class, Function, reader)           \
  int Class::Function(LPWFSRESULT result, Json::Value* value) { \
    return reader(#Class "::" #Function, result, value);        \
  }
#define OSTREL_NO_OUTPUT_DECODER(Class, Function) \
  int Class::Function(LPWFSRESULT result, Json::Value*) { return ::codec::NoOutput(result); }

#endif
