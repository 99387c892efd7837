#pragma once

#include <QString>
#include <QWidget>
#include <array>
#include <optional>

#include "gui/common/platform.h"
#include "servicebook/servicebook_save.h"

class QGroupBox;
class QLineEdit;
class QPlainTextEdit;
class QPushButton;
class QTabWidget;

namespace orrelin::gui {

// The service book editor: the 22 values of one entry in the layout of the main window's
// Service Book pane, the entry's record as hex text, and two saves that write a new backup
// next to the opened one. It keeps the entry it was opened for, so a save is not affected by
// what the main tree selects or opens meanwhile.
class ServiceBookEditor : public QWidget {
    Q_OBJECT
  public:
    explicit ServiceBookEditor(Platform platform, QWidget* parent = nullptr);

    // Fills the editor for the record node `node` of `tree` with the texts the main pane shows.
    // Returns false (and leaves the editor as it was) for a node that is no record.
    bool open(const BackupTree& tree, NodeId node, const std::array<QString, 22>& texts);

    QGroupBox* entryFrame = nullptr;
    QTabWidget* tabs = nullptr;
    // The entry's record as hex text.
    QPlainTextEdit* recordHex = nullptr;
    QPushButton* saveEntryButton = nullptr;
    QPushButton* saveAllButton = nullptr;
    QPushButton* exitButton = nullptr;
    // The field of value `i`.
    QLineEdit* field(std::size_t i) const { return fields_[i]; }

    // The node the editor was opened for.
    std::optional<NodeId> entryNode() const;

  public Q_SLOTS:
    void saveEntry();
    void saveAllEntries();
    void exitClicked();

  private:
    void save(ServiceBookSaveKind kind);
    // Brings the value to correct into view.
    void showField(std::size_t field);

    Platform platform_;
    std::array<QLineEdit*, ServiceBookFields::kCount> fields_{};
    std::optional<ServiceBookEntry> entry_;
};

}  // namespace orrelin::gui
