#pragma once

#include <QJsonObject>

namespace ocable::hostapp {

// The automation dump's "forms": for every window of the plug-in (and the
// host's view windows) that exists, whether it is shown, its caption and its
// named controls with their type, text, state, list items and current item;
// a property grid also lists its rows with their kind, choices and colour.
QJsonObject dumpForms();

} // namespace ocable::hostapp
