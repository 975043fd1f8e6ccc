#pragma once

#include <QString>

namespace ocable::hostapp {

// Qt's own texts (the standard buttons "确定", "取消", "是", "否", the MDI
// window menu) in the user's language: Qt's translations for the system
// locale, else Chinese, since the whole application speaks Chinese. Returns
// the name of the locale loaded, or an empty text when none could be.
QString installQtTranslations();

} // namespace ocable::hostapp
