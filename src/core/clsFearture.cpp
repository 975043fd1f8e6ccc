#include "core/clsFearture.h"

#include "core/Log.h"

namespace ocable {

std::shared_ptr<clsFearture> clsFearture::getClone() const {
    auto copy = std::make_shared<clsFearture>();
    try {
        if (!ftr.isNull()) copy->ftr = ftr.clone();
    } catch (const std::exception& e) {
        // The text fields are still worth having.
        qCWarning(lcComponent, "要素 %s 的图形未能复制：%s", ftrKey.c_str(), e.what());
    }
    copy->isDelete = isDelete;
    copy->label = label;
    copy->ftrCode = ftrCode;
    copy->remark = remark;
    copy->ftrKey = ftrKey;
    copy->layerName = layerName;
    return copy;
}

} // namespace ocable
