#include "resources/clsViewRecord.h"

namespace ocable {

std::shared_ptr<clsViewField> clsViewRecord::Add(std::shared_ptr<clsViewField> Objfield, const std::string& key) {
    try {
        return fields_.Add(std::move(Objfield), key);
    } catch (const std::exception&) {
        return nullptr;
    }
}

void clsViewRecord::Remove(const ItemArg& keyOrIndex) { fields_.Remove(keyOrIndex); }

std::shared_ptr<clsViewField> clsViewRecord::Item(const ItemArg& keyOrIndex) {
    auto* found = fields_.Item(keyOrIndex);
    return found ? *found : nullptr;
}

long clsViewRecord::count() const { return static_cast<long>(fields_.Count()); }

} // namespace ocable
