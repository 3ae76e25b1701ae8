#include "printer/sale_record.h"

#include <stdexcept>

namespace ecf::printer {

template <class T>
const T& RecordValues::get(const std::string& name, ReadAs as) const
{
    const auto it = values_.find({name, as});
    if (it == values_.end() || !std::holds_alternative<T>(it->second))
        throw std::logic_error("the sale's field " + name + " was not read this way");
    return std::get<T>(it->second);
}

template const std::string& RecordValues::get<std::string>(const std::string&, ReadAs) const;
template const std::int64_t& RecordValues::get<std::int64_t>(const std::string&, ReadAs) const;
template const common::Money& RecordValues::get<common::Money>(const std::string&, ReadAs) const;
template const double& RecordValues::get<double>(const std::string&, ReadAs) const;

} // namespace ecf::printer
