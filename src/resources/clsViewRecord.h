#pragma once

#include "resources/clsViewField.h"
#include "shell/KeyedCollection.h"

#include <memory>
#include <string>

namespace ocable {

// One database row: the table it came from and its fields keyed by column
// name in column order. Nothing here raises to callers.
class clsViewRecord {
public:
    std::string tableName;

    // Adds under the key (none when empty) and returns the field; null when
    // the key is taken.
    std::shared_ptr<clsViewField> Add(std::shared_ptr<clsViewField> Objfield, const std::string& key);
    void Remove(const ItemArg& keyOrIndex);
    // Null for a missing key, a position out of range, or an argument that is
    // neither text nor a 16/32-bit integer.
    std::shared_ptr<clsViewField> Item(const ItemArg& keyOrIndex);
    long count() const;

    const KeyedCollection<std::shared_ptr<clsViewField>>& fields() const { return fields_; }

private:
    KeyedCollection<std::shared_ptr<clsViewField>> fields_;
};

} // namespace ocable
