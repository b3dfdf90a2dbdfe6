#pragma once
#include <memory>
#include <string>
#include <string_view>

#include "app/field/Field.h"

// Kinds of field, for services that make a field by number.
enum FieldKind : int {
    kFieldPlain = 0,  // CField: no text, no input
    kFieldLat = 1,
    kFieldLong = 2,
    kFieldAlt = 3,
    kFieldDate = 4,
    kFieldTime = 5,
    kFieldXm = 6,
    kFieldScale = 7,
    kFieldSkew = 8,
    kFieldRot = 9,
    kFieldUser = 10,
    kFieldElev = 11,
};
constexpr int kFieldKindCount = 12;

// A new field of kind 0..11; nullptr for any other number.
std::unique_ptr<CField> MakeField(int kind);
// A new field by class name ("CFieldLat", ..., "CFieldTime2", "CFieldUint" with
// 0..99); nullptr for an unknown name.
std::unique_ptr<CField> MakeFieldByName(std::string_view className);
// The text (UTF-8, without leading and trailing blanks) a field of kind shows for
// value; empty for a kind outside 0..11.
std::string FormatField(int kind, double value);
