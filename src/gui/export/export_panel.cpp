#include "gui/export/export_panel.h"

#include <QComboBox>
#include <QCoreApplication>
#include <QHBoxLayout>
#include <QProgressDialog>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "gui/common/setting_keys.h"
#include "gui/common/single_byte.h"
#include "io/file_output.h"
#include "kinds/record_kinds.h"

namespace orrelin::gui {
namespace {

const QString kNothingSelected = QStringLiteral(
    "No information selected for export.\nPlease select any record then choose "
    "export option.");
const QString kNoRecordSelected = QStringLiteral(
    "No SMS, Address Book, Tasks, Calendar, Phone Calls record selected for "
    "export.\nPlease select any single record then hit the export menu.");
const QString kNoScopeChosen =
    QStringLiteral("Nothing was exported.\nPlease choose which records to export first.");

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// Progress steps of the dialog: records, scaled down when there are more than an int holds.
int Steps(std::uint64_t count, std::uint64_t total) {
    constexpr std::uint64_t kMax = 1u << 30;
    return static_cast<int>(total > kMax ? count / (total / kMax + 1) : count);
}

}  // namespace

ExportPanel::ExportPanel(MessageBoxes& messages, SettingsStore& settings,
                         std::function<Source()> source, QWidget* parent)
    : QGroupBox(QStringLiteral("Export to Text/CSV File"), parent),
      messages_(messages),
      settings_(settings),
      source_(std::move(source)),
      clock_(LocalTimeNow) {
    setObjectName(QStringLiteral("exportPanel"));
    auto* scopes = new QGroupBox(QStringLiteral("Export to Text"), this);
    auto* scopeLayout = new QVBoxLayout(scopes);
    for (int i = 0; i < 3; ++i) {
        scopeOptions_[i] = new QRadioButton(scopes);
        scopeOptions_[i]->setObjectName(QStringLiteral("scopeOption%1").arg(i));
        scopeLayout->addWidget(scopeOptions_[i]);
    }
    scopeOptions_[2]->setText(QStringLiteral("Export All"));

    for (const auto& info : kExportFormats) {
        if (info.panelRow < 0) continue;
        auto* button = new QPushButton(Latin1(info.caption), this);
        button->setObjectName(info.button.empty() ? QStringLiteral("export_") + Latin1(info.name)
                                                  : Latin1(info.button));
        button->setToolTip(QString::fromUtf8(info.description.data(),
                                             static_cast<qsizetype>(info.description.size())));
        connect(button, &QPushButton::clicked, this,
                [this, format = info.format] { exportStandard(format); });
        buttons_[static_cast<std::size_t>(info.format)] = button;
    }
    textButton_ = buttons_[static_cast<std::size_t>(ExportFormat::Text)];
    csvButton_ = buttons_[static_cast<std::size_t>(ExportFormat::Csv)];
    cancelButton_ = new QPushButton(QStringLiteral("Cancel"), this);
    cancelButton_->setObjectName(QStringLiteral("cancelButton"));

    // The version the vCard button writes, from the rows that share its name.
    vcardVersion_ = new QComboBox(this);
    vcardVersion_->setObjectName(QStringLiteral("vcardVersion"));
    vcardVersion_->setToolTip(QStringLiteral("The vCard version the vCard button writes"));
    for (const auto& info : kExportFormats) {
        if (info.name == InfoOf(ExportFormat::VCard).name)
            vcardVersion_->addItem(Latin1(info.version), static_cast<int>(info.format));
    }
    vcardVersion_->model()->sort(0);
    const int stored = vcardVersion_->findText(
        settings_.read(kVcardVersionSetting, Latin1(InfoOf(ExportFormat::VCard3).version)));
    vcardVersion_->setCurrentIndex(stored < 0 ? 0 : stored);
    connect(vcardVersion_, &QComboBox::currentTextChanged, this,
            [this](const QString& version) { settings_.write(kVcardVersionSetting, version); });

    // The window's own formats beside the standard ones, Cancel last; a second row takes
    // the formats for other programs, so the panel stays as narrow as the pane it sits in.
    auto* buttons = new QHBoxLayout;
    auto* moreButtons = new QHBoxLayout;
    for (const auto& info : kExportFormats) {
        QPushButton* button = buttons_[static_cast<std::size_t>(info.format)];
        if (!button) continue;
        (info.panelRow == 0 ? buttons : moreButtons)->addWidget(button);
        if (!info.version.empty()) buttons->addWidget(vcardVersion_);
    }
    buttons->addWidget(cancelButton_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(scopes);
    layout->addLayout(buttons);
    layout->addLayout(moreButtons);

    connect(cancelButton_, &QPushButton::clicked, this, &ExportPanel::closePanel);
    hide();
}

std::optional<int> ExportPanel::chosenScope() const {
    std::optional<int> chosen;
    for (int i = 0; i < 3; ++i) {
        if (scopeOptions_[i]->isChecked()) chosen = i;
    }
    return chosen;
}

void ExportPanel::openForSelection() {
    scopeOptions_[0]->hide();
    scopeOptions_[1]->hide();
    Source source = source_();
    std::optional<NodeId> parent;
    if (source.tree && source.selected) parent = source.tree->parent(*source.selected);
    if (!parent) {
        hide();
        messages_.show(window(), MessageIcon::Critical, QStringLiteral("Error"), kNothingSelected);
        return;
    }
    const BackupTree& tree = *source.tree;
    const bool inDatabase = tree.kind(*parent) == NodeKind::Database;
    const DatabaseNode* database = inDatabase ? &tree.database(*parent) : nullptr;
    if (!database || !FormatTakes(ExportFormat::Text, *database)) {
        messages_.show(window(), MessageIcon::Warning,
                       QStringLiteral("Please select record first:"), kNoRecordSelected);
        return;
    }
    const TextExportNames& names = KindInfoOf(*database->db).text;
    scopeOptions_[0]->setText(Latin1(names.selectedCaption));
    scopeOptions_[1]->setText(Latin1(names.allCaption));
    scopeOptions_[1]->show();
    scopeOptions_[0]->show();
    scopeOptions_[2]->show();
    show();
}

void ExportPanel::exportText() {
    runExport(ExportFormat::Text);
}
void ExportPanel::exportCsv() {
    runExport(ExportFormat::Csv);
}
void ExportPanel::closePanel() {
    hide();
}

// A format written in more than one version is written in the one chosen beside its button.
void ExportPanel::exportStandard(ExportFormat format) {
    if (!InfoOf(format).version.empty())
        format = static_cast<ExportFormat>(vcardVersion_->currentData().toInt());
    runExport(format);
}

void ExportPanel::runExport(ExportFormat format) {
    lastWritten_.clear();
    std::optional<int> scope = chosenScope();
    if (!scope) {
        messages_.show(window(), MessageIcon::Warning, kApplicationTitle, kNoScopeChosen);
        return;
    }
    Source source = source_();
    if (!source.tree) return;
    const BackupTree& tree = *source.tree;
    ExportRequest request;
    request.format = format;
    request.scope = static_cast<ExportScope>(*scope);
    // The records come from the selection now.
    request.node = ScopeNode(tree, request.scope, source.selected);
    request.context = source.context;
    request.eightBitPage = source.context.text.eightBitPage;
    const std::string path = ExportFileName(tree.path(), format, clock_());

    // The export runs here, between events; its dialog shows once it has taken a while.
    QProgressDialog progress(QStringLiteral("Exporting..."), QStringLiteral("Cancel"), 0, 0,
                             window());
    progress.setWindowTitle(kApplicationTitle);
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(progressDelay_);
    progress.setAutoReset(false);
    progress.setAutoClose(false);
    progress.setValue(0);
    // The name is one the program made: a file that took it meanwhile is never replaced.
    ExportResult result = ExportToFile(
        tree, request, path,
        [&progress](std::uint64_t done, std::uint64_t total) {
            if (progress.maximum() != Steps(total, total)) progress.setMaximum(Steps(total, total));
            progress.setValue(Steps(done, total));
            QCoreApplication::processEvents();
            return !progress.wasCanceled();
        },
        IfTaken::NextName);
    progress.close();

    QString shownPath = QString::fromStdString(result.path);
    switch (result.status) {
        case ExportStatus::Written: {
            lastWritten_ = shownPath;
            const ExportClosing closing = ClosingMessage(result.path, format, result.records, true);
            messages_.show(window(), closing.warns() ? MessageIcon::Warning : MessageIcon::None,
                           kApplicationTitle, QString::fromStdString(closing.text()));
            break;
        }
        case ExportStatus::Failed:
            messages_.show(window(), MessageIcon::Critical, kApplicationTitle,
                           QStringLiteral("The export file %1 could not be written: %2")
                               .arg(shownPath, QString::fromStdString(result.error)));
            break;
        case ExportStatus::Cancelled:
            break;
    }
}

}  // namespace orrelin::gui
