#include "core/clsFearture.h"

namespace ocable {

std::shared_ptr<clsFearture> clsFearture::getClone() const {
    auto copy = std::make_shared<clsFearture>();
    try {
        if (!ftr.isNull()) copy->ftr = ftr.clone();
    } catch (const std::exception&) {
        // The text fields are still worth having.
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
