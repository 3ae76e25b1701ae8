#include "printer/family.h"

#include "printer/bemafi32/bemafi32_family.h"
#include "printer/daruma/daruma_family.h"
#include "printer/mp20/mp20_family.h"
#include "printer/schalter/schalter_family.h"
#include "printer/sigtron/sigtron_family.h"
#include "printer/sweda/sweda_family.h"

#include <string_view>
#include <vector>

namespace ecf::printer {

namespace {

// The families, a line each, in the catalogue's order.
std::vector<const FamilyEntry*>& entries()
{
    static std::vector<const FamilyEntry*> list{
        &schalter::family,
        &sigtron::family,
        &mp20::family,
        &sweda::family,
        &daruma::family,
        &bemafi32::family,
    };
    return list;
}

} // namespace

std::span<const FamilyEntry* const> families()
{
    return entries();
}

void addFamily(const FamilyEntry& entry)
{
    entries().push_back(&entry);
}

const FamilyEntry* findFamily(std::string_view name)
{
    for (const FamilyEntry* f : entries())
        if (name == f->name)
            return f;
    return nullptr;
}

} // namespace ecf::printer
