#include "core/clsResTree.h"

#include "core/Log.h"
#include "core/TextUtil.h"
#include "core/mPubFun.h"
#include "platform/db/SqlQuote.h"

namespace ocable {

clsResTree::~clsResTree() {
    Clear();
}

std::shared_ptr<clsViewRecord> clsResTree::Add(std::shared_ptr<clsViewRecord> ObjRecord,
                                               const std::string& KeyValue) {
    try {
        return records_.Add(std::move(ObjRecord), KeyValue);
    } catch (const std::exception&) {
        return nullptr;
    }
}

void clsResTree::Remove(const ItemArg& keyOrIndex) {
    records_.Remove(keyOrIndex);
}

std::shared_ptr<clsViewRecord> clsResTree::Item(const ItemArg& keyOrIndex) {
    auto* found = records_.Item(keyOrIndex);
    return found ? *found : nullptr;
}

long clsResTree::count() const {
    return static_cast<long>(records_.Count());
}

bool clsResTree::checkItemExist(const std::string& itemKey) {
    return records_.find(itemKey) != nullptr;
}

void clsResTree::loadDictionary(const std::string& table) {
    // A table without dictionary rows leaves nothing in the cache to find it
    // by, so the tables read are kept apart: each is read once however many
    // of its fields are captioned.
    if (!dictionaryTables_.insert(table).second) return;
    auto rs = mPubFun::openRecordset("SELECT * FROM tabledictionary WHERE TABLENAME=" + db::sqlQuote(table));
    if (!rs) return;
    try {
        for (; !rs->Eof(); rs->MoveNext())
            dictionary_.push_back(text::trim(rs->Fields("TABLENAME").toText()) + "." +
                                  text::trim(rs->Fields("ENFIELD").toText()) + "." +
                                  text::trim(rs->Fields("CHFIELD").toText()));
        rs->Close();
    } catch (const std::exception& e) {
        // Without a dictionary the fields keep their column names.
        qCWarning(lcComponent, "表字典 %s 读取不全：%s", table.c_str(), e.what());
    }
}

void clsResTree::captionField(clsViewField& field, const std::string& table) {
    loadDictionary(table);
    const std::string wanted = text::trim(table) + "." + field.FieldName;
    for (const auto& entry : dictionary_) {
        if (text::field(entry, ".", 1) + "." + text::field(entry, ".", 2) == wanted)
            field.CHFieldName = text::field(entry, ".", 3);
    }
}

void clsResTree::captionRecord(clsViewRecord& record) {
    for (auto& [key, field] : record.fields().entries())
        if (field) captionField(*field, record.tableName);
}

void clsResTree::Clear() {
    records_.Clear();
}

} // namespace ocable
