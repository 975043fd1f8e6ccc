#pragma once

#include <QJsonObject>
#include <QJsonValue>
#include <optional>

namespace ocable::hostapp {

// Automation steps on the controls of the plug-in's dialogs, done as a user
// does them, so that the dialog's own handlers run:
//   {"type": "WINDOW.BOX", "text": T, "enter": true}   selects the box's text and types T key by
//                                                      key (each key a change), then Enter if asked
//   {"click": "WINDOW.BUTTON"}                         clicks a button or check box
//   {"click": "WINDOW.LIST", "row": n, "double": true} clicks (double-clicks) a row of a list
//   {"click": "WINDOW.TABS", "tab": n}                 clicks a tab
// Nothing when the step is none of these; throws ScriptError for a bad one.
std::optional<QJsonValue> runFormStep(const QJsonObject& step);

} // namespace ocable::hostapp
