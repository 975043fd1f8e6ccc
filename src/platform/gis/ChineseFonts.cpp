#include "platform/gis/ChineseFonts.h"

#include <QFont>
#include <QStringList>

#include <mutex>

namespace ocable::gis {

void installChineseFontSubstitutions() {
    static std::once_flag once;
    std::call_once(once, [] {
        const QStringList serif{"Noto Serif CJK SC", "Noto Sans CJK SC"};
        const QStringList sans{"Noto Sans CJK SC", "Noto Serif CJK SC"};
        for (const char* name : {"宋体", "SimSun", "新宋体", "NSimSun", "仿宋", "FangSong", "楷体", "KaiTi"})
            QFont::insertSubstitutions(QString::fromUtf8(name), serif);
        for (const char* name : {"黑体", "SimHei", "微软雅黑", "Microsoft YaHei"})
            QFont::insertSubstitutions(QString::fromUtf8(name), sans);
    });
}

} // namespace ocable::gis
