#include "core/clsViewRecord.h"

#include "core/Log.h"

#include <unordered_set>

namespace ocable {

clsViewRecord::RowSource::RowSource(std::shared_ptr<const db::Recordset> rows) : rows_(std::move(rows)) {
    // Keys compare without regard to ASCII letter case, as the collection does.
    std::unordered_set<std::string> taken;
    for (int c = 0; c < rows_->FieldCount(); ++c) {
        std::string key = rows_->FieldName(c);
        for (char& ch : key)
            if (ch >= 'A' && ch <= 'Z') ch = static_cast<char>(ch - 'A' + 'a');
        if (key.empty() || taken.insert(key).second) ++fieldCount_;
    }
}

std::shared_ptr<clsViewField> clsViewRecord::addField(std::shared_ptr<clsViewField> field,
                                                      const std::string& key) const {
    try {
        return fields_.Add(std::move(field), key);
    } catch (const std::exception&) {
        return nullptr;
    }
}

void clsViewRecord::readRow() const {
    if (!source_) return;
    const auto source = std::move(source_);
    const db::Recordset& rows = source->rows();
    try {
        for (int c = 0; c < rows.FieldCount(); ++c) {
            const std::string& name = rows.FieldName(c);
            addField(std::make_shared<clsViewField>(clsViewField{"", name, rows.valueAt(row_, c).toText()}),
                     name);
        }
    } catch (const std::exception& e) {
        // The recordset was closed under the record: what was read stays.
        qCWarning(lcComponent, "%s 第 %zu 行的字段读取不全：%s", tableName.c_str(), row_ + 1, e.what());
    }
}

std::shared_ptr<clsViewField> clsViewRecord::Add(std::shared_ptr<clsViewField> Objfield,
                                                 const std::string& key) {
    readRow();
    return addField(std::move(Objfield), key);
}

void clsViewRecord::Remove(const ItemArg& keyOrIndex) {
    readRow();
    fields_.Remove(keyOrIndex);
}

std::shared_ptr<clsViewField> clsViewRecord::Item(const ItemArg& keyOrIndex) {
    readRow();
    auto* found = fields_.Item(keyOrIndex);
    return found ? *found : nullptr;
}

long clsViewRecord::count() const {
    return source_ ? source_->fieldCount() : static_cast<long>(fields_.Count());
}

const KeyedCollection<std::shared_ptr<clsViewField>>& clsViewRecord::fields() const {
    readRow();
    return fields_;
}

} // namespace ocable
