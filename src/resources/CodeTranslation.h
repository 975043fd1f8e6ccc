#pragma once

#include <string>
#include <unordered_map>
#include <vector>

namespace ocable::codes {

// What a value shows in the cable line window: the description XTXX of the
// first row the code table XTBM holds for the value as a code, or the value
// itself when there is none (or the query fails). One query per value, as
// "SELECT XTXX FROM XTBM WHERE XTBM = 'value'".
std::string translateOne(const std::string& value);

// The same answer for many values with one query per thousand distinct
// values ("... WHERE XTBM IN (...)", the longest list every database the
// host runs on accepts): each value's text, every value given included.
std::unordered_map<std::string, std::string> translateAll(const std::vector<std::string>& values);

} // namespace ocable::codes
