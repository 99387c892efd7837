#pragma once

#include <QString>
#include <array>
#include <vector>

#include "browser/backup_tree.h"
#include "decoders/decode_context.h"
#include "decoders/servicebook_decoder.h"
#include "gui/common/value_field.h"
#include "kinds/raw_fields.h"
#include "kinds/record_kinds.h"

class QGroupBox;
class QLabel;
class QTabWidget;
class QTableWidget;
class QWidget;

namespace orrelin::gui {

class RecordPane;

// The panes that show the selected record, one per kind of record (the raw pane of the
// databases the program does not decode among them), each hidden until a record of its kind is
// shown; made from the kinds' pane rows.
class DetailPanes {
  public:
    explicit DetailPanes(QWidget* parent);

    // In the order they stack.
    std::array<QGroupBox*, kRecordKindCount> frames() const;

    // Decodes the record at `node` and shows it in the pane of its kind, or its raw fields in
    // the raw pane when the program does not decode its database. Shows nothing for the root, a
    // database node, or a record whose database the panes do not know by its (possibly edited)
    // name. With `rawToo` a decoded record's raw fields are shown below its pane as well.
    void showRecord(const BackupTree& tree, NodeId node, const DecodeContext& context,
                    bool rawToo = false);
    // Whether the record panes take their values as UTF-8 (full Unicode) from now on instead of
    // single-byte text; a pane of single-byte text (the service book's, which its editor edits)
    // keeps showing single-byte text.
    void setUnicode(bool unicode);
    // A table of the record's fields: type, length, bytes in hex, text reading.
    void showRaw(const std::vector<RawField>& fields);

    // The texts the service book pane shows now, by value index.
    std::array<QString, ServiceBookFields::kCount> serviceBookTexts() const;
    // The photo box of a kind's pane, or nothing.
    QLabel* photo(RecordKind kind) const { return photos_[static_cast<std::size_t>(kind)]; }
    QTableWidget* rawTable() const { return rawTable_; }

  private:
    void show(RecordKind kind, const RecordValues& values);
    QGroupBox* makeServiceBookPane(const PaneInfo& pane, QWidget* parent);
    QGroupBox* makeRawPane(const PaneInfo& pane, QWidget* parent);
    void addPhoto(RecordPane& pane, std::string_view name, RecordKind kind);

    // By kind.
    std::array<QGroupBox*, kRecordKindCount> frames_{};
    std::array<RecordPane*, kRecordKindCount> recordPanes_{};
    std::array<QLabel*, kRecordKindCount> photos_{};
    QTableWidget* rawTable_ = nullptr;
    std::array<ValueField, ServiceBookFields::kCount> serviceBookFields_;
};

}  // namespace orrelin::gui
