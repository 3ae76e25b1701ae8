#include "printer/models.h"

#include "printer/family.h"

namespace ecf::printer {

namespace {
constexpr Model noModel{};
} // namespace

std::vector<const Model*> allModels()
{
    std::vector<const Model*> out;
    for (const FamilyEntry* f : families())
        for (const Model& m : f->models)
            out.push_back(&m);
    return out;
}

const Model& modelOf(std::string_view code)
{
    for (const FamilyEntry* f : families())
        for (const Model& m : f->models)
            if (m.code == code)
                return m;
    return noModel;
}

const FamilyEntry* familyOf(std::string_view code)
{
    for (const FamilyEntry* f : families())
        for (const Model& m : f->models)
            if (m.code == code)
                return f;
    return nullptr;
}

} // namespace ecf::printer
