#pragma once

#include "core/KeyedCollection.h"
#include "core/clsViewRecord.h"

#include <memory>
#include <string>
#include <unordered_set>
#include <vector>

namespace ocable {

// The main window's store of drawn objects' rows, keyed "STA:" or "OCA:" +
// code, and the Chinese captions of their columns from the table dictionary.
// Nothing here raises to callers.
class clsResTree {
public:
    ~clsResTree();

    // Null when the key is taken; the first record stays.
    std::shared_ptr<clsViewRecord> Add(std::shared_ptr<clsViewRecord> ObjRecord, const std::string& KeyValue);
    void Remove(const ItemArg& keyOrIndex);
    std::shared_ptr<clsViewRecord> Item(const ItemArg& keyOrIndex);
    long count() const;
    bool checkItemExist(const std::string& itemKey);

    // Sets the field's Chinese caption from the dictionary of the table. The
    // dictionary of a table is read once; when several entries match, the
    // last one wins.
    void captionField(clsViewField& field, const std::string& table);
    // Every field of the record.
    void captionRecord(clsViewRecord& record);

    // Removes every record, first to last.
    void Clear();

private:
    void loadDictionary(const std::string& table);

    KeyedCollection<std::shared_ptr<clsViewRecord>> records_;
    // TABLENAME.ENFIELD.CHFIELD, each part trimmed, in the order read.
    std::vector<std::string> dictionary_;
    std::unordered_set<std::string> dictionaryTables_;
};

} // namespace ocable
