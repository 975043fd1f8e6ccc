#pragma once

#include <string>

namespace ocable::hostapp {

// The cause behind an errno value in Chinese, for the ones a user meets
// (no permission, missing, disk full, ...); the system's own text otherwise.
std::string systemErrorText(int error);

} // namespace ocable::hostapp
