#include "app/field/FieldFactory.h"

#include "app/field/FieldDate.h"
#include "app/field/FieldNumber.h"
#include "app/field/FieldSexagesimal.h"

namespace {

template <class T>
std::unique_ptr<CField> Make() {
    return std::make_unique<T>();
}

// The creatable members: class name, kind (-1: made by name only), maker.
struct FieldClass {
    std::string_view name;
    int kind;
    std::unique_ptr<CField> (*make)();
};

constexpr FieldClass kClasses[] = {
    {"CField", kFieldPlain, Make<CField>},     {"CFieldLat", kFieldLat, Make<CFieldLat>},
    {"CFieldLong", kFieldLong, Make<CFieldLong>}, {"CFieldAlt", kFieldAlt, Make<CFieldAlt>},
    {"CFieldDate", kFieldDate, Make<CFieldDate>}, {"CFieldTime", kFieldTime, Make<CFieldTime>},
    {"CFieldXm", kFieldXm, Make<CFieldXm>},       {"CFieldScale", kFieldScale, Make<CFieldScale>},
    {"CFieldSkew", kFieldSkew, Make<CFieldSkew>}, {"CFieldRot", kFieldRot, Make<CFieldRot>},
    {"CFieldUser", kFieldUser, Make<CFieldUser>}, {"CFieldElev", kFieldElev, Make<CFieldElev>},
    {"CFieldTime2", -1, Make<CFieldTime2>},       {"CFieldUint", -1, Make<CFieldUint>},
};

}  // namespace

std::unique_ptr<CField> MakeField(int kind) {
    for (const FieldClass& c : kClasses)
        if (c.kind == kind && kind >= 0) return c.make();
    return nullptr;
}

std::unique_ptr<CField> MakeFieldByName(std::string_view className) {
    for (const FieldClass& c : kClasses)
        if (c.name == className) return c.make();
    return nullptr;
}

std::string FormatField(int kind, double value) {
    const std::unique_ptr<CField> field = MakeField(kind);
    if (!field) return {};
    field->StoreValue(value);
    const std::string text = field->TextUtf8();
    const size_t first = text.find_first_not_of(' ');
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(' ') - first + 1);
}
