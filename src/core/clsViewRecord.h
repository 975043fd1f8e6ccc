#pragma once

#include "core/KeyedCollection.h"
#include "core/clsViewField.h"
#include "platform/db/Recordset.h"

#include <cstdint>
#include <memory>
#include <string>

namespace ocable {

// One database row: the table it came from and its fields keyed by column
// name in column order. Nothing here raises to callers.
//
// The map keeps a record of every drawn station and cable segment, a quarter
// of a million at the national scale, and looks at the fields of a few. So a
// record may stand for a row of a loaded recordset and make its fields from
// that row the first time any of them is asked for; from then on it is an
// ordinary record.
class clsViewRecord {
public:
    // The loaded rows that records of one table read their fields from. The
    // records share it and keep the recordset alive; it must not be closed
    // while a record still reads from it.
    class RowSource {
    public:
        explicit RowSource(std::shared_ptr<const db::Recordset> rows);
        const db::Recordset& rows() const { return *rows_; }
        // The fields a row gives: a column whose name an earlier column
        // already took is left out, as Add leaves out a key taken.
        long fieldCount() const { return fieldCount_; }

    private:
        std::shared_ptr<const db::Recordset> rows_;
        long fieldCount_ = 0;
    };

    clsViewRecord() = default;
    // A record of the row at rowIndex (see db::Recordset::rowIndex).
    clsViewRecord(std::shared_ptr<const RowSource> source, std::size_t rowIndex)
        : source_(std::move(source)), row_(rowIndex) {}

    std::string tableName;

    // Adds under the key (none when empty) and returns the field; null when
    // the key is taken.
    std::shared_ptr<clsViewField> Add(std::shared_ptr<clsViewField> Objfield, const std::string& key);
    void Remove(const ItemArg& keyOrIndex);
    // Null for a missing key, a position out of range, or an argument that is
    // neither text nor a 16/32-bit integer.
    std::shared_ptr<clsViewField> Item(const ItemArg& keyOrIndex);
    long count() const;

    const KeyedCollection<std::shared_ptr<clsViewField>>& fields() const;

    // The loaded row the record still reads from, or null once its fields
    // are made: a scan over every record can read the row's cells without
    // making fields for a quarter of a million records.
    const RowSource* rowSource() const { return source_.get(); }
    std::size_t rowIndex() const { return row_; }

private:
    // Makes the fields of the row, once; a row that can no longer be read
    // gives the fields read so far.
    void readRow() const;
    std::shared_ptr<clsViewField> addField(std::shared_ptr<clsViewField> field, const std::string& key) const;

    mutable std::shared_ptr<const RowSource> source_; // null once the fields are made
    std::size_t row_ = 0;
    mutable KeyedCollection<std::shared_ptr<clsViewField>> fields_;
};

} // namespace ocable
