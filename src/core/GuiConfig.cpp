#include "core/GuiConfig.h"

#include "core/Log.h"
#include "core/NetworkVocabulary.h"
#include "core/mPubFun.h"
#include "core/mPubVar.h"

#include <QString>

namespace ocable::GuiConfig {

namespace {

std::string readValue(const char* section, const char* key) {
    try {
        const auto file = configFilePath();
        if (!mPubVar::gobjCommon->fileExists(file)) return {};
        return mPubVar::gobjIniFile->readIniValue(file, section, key);
    } catch (const std::exception& e) {
        qCWarning(lcComponent, "配置项 %s/%s 未能读取，按缺省值处理：%s", section, key, e.what());
        return {};
    }
}

} // namespace

std::filesystem::path configFilePath() {
    const auto& [data, config, ini] = vocab::kConfigPath;
    return mPubFun::resolvePath(mPubVar::gobjSysEnv->getSystemDir(), {data, config, ini});
}

std::string areaNodeCaption() {
    const std::string value = readValue("CAPTION_VIEWOCABLENET", "CAPTION_RESTREE_SECONDNODE");
    return value.empty() ? std::string("二干") : value;
}

bool localTransByFiber() {
    return parseBoolean(readValue("LOCALTRANS", "LOCALTRANS_BY_FIBER"), true);
}

bool viewChannelMap() {
    return parseBoolean(readValue("MENU_VIEWS", "VIEW_CHANNELMAP"), false);
}

bool parseBoolean(const std::string& text, bool fallback) {
    const QString t = QString::fromStdString(text).trimmed().toLower();
    if (t == "true" || t == "1" || t == "yes" || t == "-1") return true;
    if (t == "false" || t == "0" || t == "no") return false;
    return fallback;
}

} // namespace ocable::GuiConfig
