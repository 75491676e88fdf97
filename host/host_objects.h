// The capture host's objects, as the scripts see them.
//
// The shape is COM's: every call answers with an HRESULT (only S_OK is
// success) and fills out-parameters; text is UTF-16; keys keep their variant
// type (a position as VT_I4, the row-values key as VT_INT, a destination or
// name as VT_BSTR), so that the Windows adapter passes exactly what the real
// host expects. Collections count from 1.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "base/hresult.h"
#include "base/object.h"
#include "base/variant.h"
#include "host/kfx_constants.h"

// <windows.h> defines SendMessage as a macro; the host's method has that name.
#ifdef SendMessage
#undef SendMessage
#endif

namespace kfx {

using mirdane::HRESULT;
using mirdane::InterfaceId;
using mirdane::Object;
using mirdane::Variant;

// ---------------------------------------------------------------- release side

class Value : public Object {
 public:
  virtual HRESULT get_Destination(std::u16string* destination) = 0;
  virtual HRESULT get_Value(std::u16string* value) = 0;
  // The table of a table field; empty (or a failure) for a single value.
  virtual HRESULT get_TableName(std::u16string* table) = 0;
  // The row collection of a table field, to be asked for IRowValues.
  virtual HRESULT get_RowValues(const Variant& key, std::shared_ptr<Object>* rows) = 0;
};

// IRowValues: one Value per row of a table field.
class RowValues : public Object {
 public:
  static constexpr InterfaceId kInterfaceId{
      0x2044A7E0, 0xC29E, 0x49E1, {0xA8, 0x62, 0xAA, 0xB6, 0x02, 0x0E, 0xD0, 0x2F}};
  virtual HRESULT get_Count(std::int32_t* count) = 0;
  virtual HRESULT get_Item(const Variant& row, std::shared_ptr<Value>* value) = 0;
};

class Values : public Object {
 public:
  virtual HRESULT get_Count(std::int32_t* count) = 0;
  // By position (VT_I4, 1 to Count) or by destination (VT_BSTR).
  virtual HRESULT get_Item(const Variant& key, std::shared_ptr<Value>* value) = 0;
};

class CustomProperty : public Object {
 public:
  virtual HRESULT get_Value(std::u16string* value) = 0;
};

class CustomProperties : public Object {
 public:
  // By name (VT_BSTR).
  virtual HRESULT get_Item(const Variant& key, std::shared_ptr<CustomProperty>* property) = 0;
  virtual HRESULT Remove(const Variant& key) = 0;
  virtual HRESULT Add(const std::u16string& name, const std::u16string& value) = 0;
};

class ReleaseData : public Object {
 public:
  virtual HRESULT get_KofaxPDFFileName(std::u16string* name) = 0;
  virtual HRESULT get_ConnectString(std::u16string* text) = 0;
  virtual HRESULT get_UserName(std::u16string* text) = 0;
  virtual HRESULT get_Password(std::u16string* text) = 0;
  virtual HRESULT get_CustomProperties(std::shared_ptr<CustomProperties>* properties) = 0;
  virtual HRESULT get_Values(std::shared_ptr<Values>* values) = 0;
  // Writes one line into the host's error log.
  virtual HRESULT LogError(std::int32_t err1, std::int32_t err2, std::int32_t err3,
                           const std::u16string& message, const std::u16string& codeModule,
                           std::int32_t lineNumber) = 0;
  // Shows a status message of the document in the Release module.
  virtual HRESULT SendMessage(const std::u16string& message, std::int32_t errorNumber,
                              std::int32_t infoRet) = 0;
  // The identity the host gives the document for its whole life, kept when a
  // batch is sent back and released again. Not every host has it: one that
  // does not answers hr::kUnknownName, as an automation object without the
  // member answers when it is asked for by name.
  virtual HRESULT get_UniqueDocumentID(std::u16string* id) {
    (void)id;
    return mirdane::hr::kUnknownName;
  }
};

// ------------------------------------------------------------------ setup side

class Link : public Object {
 public:
  virtual HRESULT get_Source(std::u16string* source) = 0;
  virtual HRESULT get_SourceType(std::int32_t* type) = 0;
  virtual HRESULT get_Destination(std::u16string* destination) = 0;
};

class Links : public Object {
 public:
  virtual HRESULT get_Count(std::int32_t* count) = 0;
  virtual HRESULT get_Item(const Variant& position, std::shared_ptr<Link>* link) = 0;
  virtual HRESULT RemoveAll() = 0;
  virtual HRESULT Add(const std::u16string& source, std::int32_t sourceType,
                      const std::u16string& destination) = 0;
};

class IndexField : public Object {
 public:
  virtual HRESULT get_Name(std::u16string* name) = 0;
};

class IndexFields : public Object {
 public:
  virtual HRESULT get_Count(std::int32_t* count) = 0;
  virtual HRESULT get_Item(const Variant& position, std::shared_ptr<IndexField>* field) = 0;
};

// IEnumVARIANT: hands out a collection's elements one at a time.
class EnumVariant : public Object {
 public:
  static constexpr InterfaceId kInterfaceId{
      0x00020404, 0x0000, 0x0000, {0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46}};
  // The next element; S_FALSE when there is none left.
  virtual HRESULT Next(Variant* element) = 0;
};

// The collection behind BatchVariableNames. Hosts offer it under one of two
// interface identities, tried in this order.
class VariableNames : public Object {
 public:
  static constexpr InterfaceId kInterfaceId{
      0x2F8DEB57, 0x941D, 0x4E2C, {0x81, 0xB5, 0xD1, 0x6E, 0x3B, 0x82, 0xC2, 0xC8}};
  static constexpr InterfaceId kAlternateInterfaceId{
      0x852FDE3C, 0x8C75, 0x4550, {0x97, 0x49, 0x07, 0xF8, 0xFF, 0x6C, 0xE9, 0xB1}};
  // The collection's enumerator, to be asked for IEnumVARIANT.
  virtual HRESULT get__NewEnum(std::shared_ptr<Object>* enumerator) = 0;
};

class ReleaseSetupData : public Object {
 public:
  virtual HRESULT get_BatchClassName(std::u16string* name) = 0;
  virtual HRESULT get_DocClassName(std::u16string* name) = 0;
  virtual HRESULT get_Name(std::u16string* name) = 0;
  virtual HRESULT put_Name(const std::u16string& name) = 0;
  virtual HRESULT get_ConnectString(std::u16string* text) = 0;
  virtual HRESULT put_ConnectString(const std::u16string& text) = 0;
  virtual HRESULT get_UserName(std::u16string* text) = 0;
  virtual HRESULT put_UserName(const std::u16string& text) = 0;
  virtual HRESULT get_Password(std::u16string* text) = 0;
  virtual HRESULT put_Password(const std::u16string& text) = 0;
  virtual HRESULT get_CustomProperties(std::shared_ptr<CustomProperties>* properties) = 0;
  virtual HRESULT get_Links(std::shared_ptr<Links>* links) = 0;
  virtual HRESULT get_IndexFields(std::shared_ptr<IndexFields>* fields) = 0;
  // An automation object offering VariableNames.
  virtual HRESULT get_BatchVariableNames(std::shared_ptr<Object>* names) = 0;
  // Makes the host store the setup.
  virtual HRESULT Apply() = 0;
};

}  // namespace kfx
