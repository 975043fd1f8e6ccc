#include "QtTranslations.h"

#include "services/HostLog.h"

#include <QCoreApplication>
#include <QLibraryInfo>
#include <QLocale>
#include <QTranslator>

namespace ocable::hostapp {

QString installQtTranslations() {
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    auto* translator = new QTranslator(QCoreApplication::instance());
    for (const QLocale& locale : {QLocale::system(), QLocale(QLocale::Chinese, QLocale::China)}) {
        if (translator->load(locale, QStringLiteral("qtbase"), QStringLiteral("_"), folder)) {
            QCoreApplication::installTranslator(translator);
            return locale.name();
        }
    }
    delete translator;
    qCWarning(lcHost, "找不到 Qt 的中文翻译（%s 下的 qtbase_zh_CN.qm，Debian 软件包 qt6-translations-l10n）",
              qPrintable(folder));
    return {};
}

} // namespace ocable::hostapp
