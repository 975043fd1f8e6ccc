#pragma once

#include <stdexcept>
#include <string>

namespace ocable::db {

// Every failure of the data layer: a bad query, an unknown field, a malformed
// filter criteria, a connection that does not exist. The message says which.
class DbError : public std::runtime_error {
public:
    using std::runtime_error::runtime_error;
};

} // namespace ocable::db
