#include "gui/browser/find_bar.h"

#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QShortcut>

#include "gui/browser/backup_tree_view.h"
#include "gui/browser/tree_model.h"

namespace orrelin::gui {
namespace {

// How long typing pauses before the tree is filtered.
constexpr int kPauseMs = 150;
constexpr int kProgressEveryMs = 200;

}  // namespace

FindBar::FindBar(BackupTreeModel& model, BackupTreeView& view, QWidget* parent)
    : QWidget(parent), model_(model), view_(view) {
    setObjectName(QStringLiteral("findBar"));
    auto* layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    field_ = new QLineEdit(this);
    field_->setObjectName(QStringLiteral("findField"));
    field_->setPlaceholderText(QStringLiteral("Find"));
    field_->setClearButtonEnabled(true);
    layout->addWidget(field_);
    status_ = new QLabel(this);
    status_->setObjectName(QStringLiteral("findStatus"));
    status_->hide();

    pause_.setSingleShot(true);
    pause_.setInterval(kPauseMs);
    connect(&pause_, &QTimer::timeout, this, &FindBar::runSearch);
    progress_.setInterval(kProgressEveryMs);
    connect(&progress_, &QTimer::timeout, this, &FindBar::showProgress);
    connect(field_, &QLineEdit::textChanged, this, &FindBar::textChanged);
    connect(field_, &QLineEdit::returnPressed, this, &FindBar::nextMatch);

    new QShortcut(QKeySequence::Find, this, this, &FindBar::focusField, Qt::WindowShortcut);
    new QShortcut(QKeySequence(Qt::Key_F3), this, this, &FindBar::nextMatch, Qt::WindowShortcut);
    new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this, this, &FindBar::previousMatch,
                  Qt::WindowShortcut);
    new QShortcut(QKeySequence(Qt::Key_Escape), field_, this, &FindBar::clear, Qt::WidgetShortcut);
    connect(view_.selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this](const QModelIndex& current) { remember(current); });
    connect(&build_, &BackgroundJob::finished, this, &FindBar::buildDone);
}

// A running build stops at its next check; it holds its own share of the backup.
FindBar::~FindBar() = default;

void FindBar::focusField() {
    field_->setFocus(Qt::ShortcutFocusReason);
    field_->selectAll();
}

void FindBar::clear() {
    field_->clear();
}

std::size_t FindBar::matchCount() const {
    return filtered_ && model_.filter() ? model_.filter()->total : 0;
}

// ---- the index ----

void FindBar::reset() {
    build_.cancel();
    index_.reset();
    pause_.stop();
    progress_.stop();
    waiting_ = false;
    const QSignalBlocker quiet(field_);
    field_->clear();
    status_->hide();
    filtered_ = false;
    expanded_.clear();
    currentBefore_.reset();
    current_.reset();
}

void FindBar::backupShown(const DecodeContext& context) {
    reset();
    if (!model_.tree().loaded()) return;
    // The copy shares the image and the record index with the window's tree.
    build_.start([tree = model_.tree(), context](BackgroundJob::Control& control) {
        control.total = tree.index().records.size();
        TextIndexOptions options;
        options.context = context;
        options.cancel = &control.cancelled;
        options.progress = &control.done;
        return std::make_shared<const TextIndex>(
            TextIndex::Build(tree.image(), tree.index(), options));
    });
}

void FindBar::buildDone() {
    index_ = build_.take<std::shared_ptr<const TextIndex>>();
    progress_.stop();
    Q_EMIT indexBuilt();
    if (waiting_) runSearch();
}

void FindBar::showProgress() {
    if (!build_.isBusy()) return;
    const std::uint64_t total = build_.total();
    const std::uint64_t done = build_.done();
    const int percent = total > 0 ? static_cast<int>(std::min(done, total) * 100 / total) : 0;
    status_->setText(QStringLiteral("Indexing: %1%").arg(percent));
    status_->show();
}

// ---- searching ----

void FindBar::textChanged() {
    if (field_->text().isEmpty()) {
        pause_.stop();
        progress_.stop();
        waiting_ = false;
        status_->hide();
        restoreTree();
        return;
    }
    pause_.start();
}

void FindBar::searchNow() {
    if (!pause_.isActive()) return;
    pause_.stop();
    runSearch();
}

void FindBar::runSearch() {
    const QString text = field_->text();
    if (text.isEmpty()) return;
    if (!index_) {
        if (!build_.isBusy()) return;  // no backup shown
        waiting_ = true;
        showProgress();
        progress_.start();
        return;
    }
    waiting_ = false;
    progress_.stop();
    const std::vector<SearchMatch> matches = index_->search(text.toUtf8().toStdString());
    auto filter = std::make_shared<const TreeFilter>(MakeTreeFilter(model_.tree(), matches));
    const std::size_t total = filter->total;
    applyFilter(std::move(filter));
    status_->setText(total == 0   ? QStringLiteral("No matches")
                     : total == 1 ? QStringLiteral("1 match")
                                  : QStringLiteral("%1 matches").arg(total));
    status_->show();
    Q_EMIT searched(total);
}

void FindBar::remember(const QModelIndex& current) {
    if (resetting_ || !current.isValid()) return;
    current_ = BackupTreeModel::nodeOf(current);
}

void FindBar::selectRemembered() {
    if (!current_) return;
    const QModelIndex index = model_.indexOf(*current_);
    if (!index.isValid()) return;
    view_.setCurrentQuietly(index);
    view_.scrollTo(index);
}

void FindBar::applyFilter(std::shared_ptr<const TreeFilter> filter) {
    const BackupTree& tree = model_.tree();
    if (!filtered_) {
        expanded_.clear();
        for (NodeId node = 0; node <= tree.index().databases.size(); ++node) {
            if (view_.isExpanded(model_.indexOf(node))) expanded_.insert(node);
        }
        currentBefore_ = current_;
        scrollBefore_ = view_.verticalScrollBar()->value();
        filtered_ = true;
    }
    resetting_ = true;
    model_.setFilter(filter);
    resetting_ = false;
    view_.expand(model_.indexOf(BackupTree::kRoot));
    for (std::uint32_t database : filter->databases)
        view_.expand(model_.indexOf(tree.databaseNode(database)));
    selectRemembered();
}

void FindBar::restoreTree() {
    if (!filtered_) return;
    filtered_ = false;
    resetting_ = true;
    model_.setFilter(nullptr);
    resetting_ = false;
    const BackupTree& tree = model_.tree();
    for (NodeId node = 0; node <= tree.index().databases.size(); ++node)
        view_.setExpanded(model_.indexOf(node), expanded_.contains(node));
    // A record chosen among the matches stays chosen, so its database is opened to show it.
    const bool moved = current_ != currentBefore_;
    if (moved && current_) {
        if (const auto parent = tree.parent(*current_)) view_.expand(model_.indexOf(*parent));
    }
    if (current_) view_.setCurrentQuietly(model_.indexOf(*current_));
    view_.doItemsLayout();
    if (moved && current_) {
        view_.scrollTo(model_.indexOf(*current_));
    } else {
        view_.verticalScrollBar()->setValue(scrollBefore_);
    }
}

void FindBar::nextMatch() {
    step(true);
}

void FindBar::previousMatch() {
    step(false);
}

void FindBar::step(bool forward) {
    searchNow();
    const TreeFilter* filter = filtered_ ? model_.filter() : nullptr;
    if (!filter || filter->total == 0) return;
    const std::size_t total = filter->total;
    const auto rank = current_ ? filter->rankOf(model_.tree(), *current_) : std::nullopt;
    std::size_t n = forward ? 0 : total - 1;
    if (rank) n = forward ? (*rank + 1) % total : (*rank + total - 1) % total;
    const QModelIndex index = model_.indexOf(filter->nth(n));
    view_.setCurrentIndex(index);
    view_.scrollTo(index);
}

}  // namespace orrelin::gui
