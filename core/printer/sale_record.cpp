#include "printer/sale_record.h"

#include <stdexcept>

namespace ecf::printer {

void RecordValues::put(std::string_view name, ReadAs as, Value value)
{
    for (Entry& e : values_) {
        if (e.as == as && e.name == name) {
            e.value = std::move(value);
            return;
        }
    }
    values_.push_back({std::string(name), as, std::move(value)});
}

template <class T>
const T& RecordValues::get(std::string_view name, ReadAs as) const
{
    for (const Entry& e : values_)
        if (e.as == as && e.name == name && std::holds_alternative<T>(e.value))
            return std::get<T>(e.value);
    throw std::logic_error("the sale's field " + std::string(name) + " was not read this way");
}

template const std::string& RecordValues::get<std::string>(std::string_view, ReadAs) const;
template const std::int64_t& RecordValues::get<std::int64_t>(std::string_view, ReadAs) const;
template const common::Money& RecordValues::get<common::Money>(std::string_view, ReadAs) const;
template const double& RecordValues::get<double>(std::string_view, ReadAs) const;

} // namespace ecf::printer
