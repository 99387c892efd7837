#pragma once

// The core headers come before Qt's, whose keyword macros would otherwise reach them.
#include "browser/backup_tree.h"
#include "decoders/decode_context.h"
#include "export/export_engine.h"

#include <QGroupBox>
#include <array>
#include <ctime>
#include <functional>
#include <optional>

#include "gui/common/platform.h"

class QComboBox;
class QPushButton;
class QRadioButton;

namespace orrelin::gui {

// The export panel: three options (the selected record, all records of its database, every
// exportable record of the file) and the buttons that write them to a text, CSV, vCard,
// iCalendar, JSON, Android message or call log, or HTML file next to the opened backup. The option
// the user chose stays chosen across openings of the panel; the captions of the first two follow
// the database of the record selected when the panel was last opened. What is written follows the
// selection when a button is pressed.
class ExportPanel : public QGroupBox {
    Q_OBJECT
  public:
    // What an export reads at the moment a button is pressed.
    struct Source {
        const BackupTree* tree = nullptr;
        std::optional<NodeId> selected;
        DecodeContext context;
    };

    // The vCard version chosen beside the vCard button is kept in `settings`.
    ExportPanel(MessageBoxes& messages, SettingsStore& settings, std::function<Source()> source,
                QWidget* parent = nullptr);

    QRadioButton* scopeOption(int index) const { return scopeOptions_[index]; }
    QPushButton* textButton() const { return textButton_; }
    QPushButton* csvButton() const { return csvButton_; }
    QPushButton* cancelButton() const { return cancelButton_; }
    // The standard formats' buttons: "vCard", "iCalendar", "JSON", "Android SMS",
    // "Android Calls", "HTML".
    QPushButton* standardButton(ExportFormat format) const {
        return buttons_[static_cast<std::size_t>(format)];
    }

    // The vCard version the vCard button writes ("3.0" or "4.0"): the last one chosen, at first
    // 3.0, the version every contacts importer takes.
    QComboBox* vcardVersionBox() const { return vcardVersion_; }

    // The index of the chosen option (the last chosen of 0, 1, 2), or nothing.
    std::optional<int> chosenScope() const;

    // The time export names are made from; the local time unless a test fixes it.
    void setClock(std::function<std::tm()> clock) { clock_ = std::move(clock); }
    // How long an export runs before its progress dialog shows.
    void setProgressDelay(int milliseconds) { progressDelay_ = milliseconds; }
    // The file the last export wrote, "" when it wrote none.
    const QString& lastWritten() const { return lastWritten_; }

  public Q_SLOTS:
    // The Export command: opens the panel for the record selected in the tree, or says why
    // it cannot.
    void openForSelection();
    void exportText();
    void exportCsv();
    void closePanel();
    void exportStandard(ExportFormat format);

  private:
    // Runs the export of the chosen option in `format` behind the progress dialog and reports
    // how it ended.
    void runExport(ExportFormat format);

    MessageBoxes& messages_;
    SettingsStore& settings_;
    std::function<Source()> source_;
    std::function<std::tm()> clock_;
    int progressDelay_ = 500;
    QRadioButton* scopeOptions_[3] = {};
    QPushButton* textButton_ = nullptr;
    QPushButton* csvButton_ = nullptr;
    QPushButton* cancelButton_ = nullptr;
    QComboBox* vcardVersion_ = nullptr;
    std::array<QPushButton*, kExportFormats.size()> buttons_{};
    QString lastWritten_;
};

}  // namespace orrelin::gui
