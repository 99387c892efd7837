#include "gui/splitmerge/frm_merge.h"

#include <QApplication>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "gui/splitmerge/check_tree_model.h"
#include "gui/splitmerge/frm_split.h"
#include "gui/splitmerge/write_progress.h"
#include "splitmerge/merge.h"

namespace orrelin::gui {

FrmMerge::FrmMerge(Platform platform, const BackupTree& mainTree, std::function<QString()> mainPath,
                   QWidget* parent)
    : QWidget(parent, Qt::Window),
      platform_(platform),
      mainPath_(std::move(mainPath)),
      first_(mainTree),
      smIPD_(new QLineEdit(this)),
      smBrowse_(new QPushButton(QStringLiteral("..."), this)),
      tvwfTree_(new CheckTreeView(this)),
      tvwsTree_(new CheckTreeView(this)),
      btnMerge_(new QPushButton(QStringLiteral("Merge Selected"), this)),
      btnExit_(new QPushButton(QStringLiteral("Exit"), this)) {
    setWindowTitle(kCaption);
    setAttribute(Qt::WA_DeleteOnClose);
    auto* label1 = new QLabel(QStringLiteral("Merge the IPD files"), this);
    auto* label3 = new QLabel(QStringLiteral("Choose second IPD file"), this);
    auto* label2 = new QLabel(
        QStringLiteral("You can use this form for both merging 2 IPDs or split from one IPD "
                       "file. For splitting, you don't need to choose the second IPD file."),
        this);
    label2->setWordWrap(true);
    label1->setObjectName(QStringLiteral("Label1"));
    label2->setObjectName(QStringLiteral("Label2"));
    label3->setObjectName(QStringLiteral("Label3"));
    smIPD_->setObjectName(QStringLiteral("smIPD"));
    smIPD_->setReadOnly(true);
    smBrowse_->setObjectName(QStringLiteral("smBrowse"));
    tvwfTree_->setObjectName(QStringLiteral("tvwfTree"));
    tvwsTree_->setObjectName(QStringLiteral("tvwsTree"));
    btnMerge_->setObjectName(QStringLiteral("btnMerge"));
    btnExit_->setObjectName(QStringLiteral("btnExit"));

    auto* second = new QHBoxLayout;
    second->addWidget(label3);
    second->addWidget(smIPD_, 1);
    second->addWidget(smBrowse_);
    auto* trees = new QHBoxLayout;
    trees->addWidget(tvwfTree_);
    trees->addWidget(tvwsTree_);
    auto* buttons = new QHBoxLayout;
    buttons->addWidget(label2, 1);
    buttons->addWidget(btnMerge_);
    buttons->addWidget(btnExit_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(label1);
    layout->addLayout(second);
    layout->addLayout(trees, 1);
    layout->addLayout(buttons);
    resize(760, 520);

    tvwfTree_->checkModel().setTree(&first_);
    connect(smBrowse_, &QPushButton::clicked, this, &FrmMerge::smBrowse_Click);
    connect(btnMerge_, &QPushButton::clicked, this, &FrmMerge::btnMerge_Click);
    connect(btnExit_, &QPushButton::clicked, this, &FrmMerge::btnExit_Click);
}

bool FrmMerge::LoadSecondIpd(const QString& path) {
    smIPD_->setText(path);
    tvwsTree_->checkModel().setTree(nullptr);
    second_.reset();
    QApplication::setOverrideCursor(Qt::WaitCursor);
    auto loaded = orrelin::LoadSecondIpd(LocalPath(path));
    QApplication::restoreOverrideCursor();
    if (!loaded) {
        platform_.messages.show(this, MessageIcon::Warning, kCaption,
                                QStringLiteral("Cannot read ") + path + QStringLiteral(": ") +
                                    QString::fromLocal8Bit(loaded.error()));
        return false;
    }
    second_ = std::move(*loaded);
    tvwsTree_->checkModel().setTree(&*second_);
    return true;
}

void FrmMerge::smBrowse_Click() {
    const QString path = platform_.files.openFile(this, kIpdFilter);
    if (path.isEmpty()) return;
    LoadSecondIpd(path);
}

void FrmMerge::btnMerge_Click() {
    // A database that outgrows 2-byte handles is refused before a name is asked for.
    if (auto warning = TooManyMergedRecords(PlanMerge(first_, secondTree()))) {
        platform_.messages.show(this, MessageIcon::Warning, kCaption,
                                QString::fromStdString(*warning));
        return;
    }
    const QString target = platform_.files.saveFile(this, kIpdFilter);
    if (target.isEmpty()) return;
    std::vector<std::string> opened;
    if (mainPath_) {
        const QString current = mainPath_();
        if (!current.isEmpty()) opened.push_back(LocalPath(current));
    }
    WriteOutcome outcome;
    {
        WriteProgress progress(this, QStringLiteral("Merging..."));
        outcome = WriteMerge(first_, secondTree(), LocalPath(target), progress.callback(), opened);
    }
    ShowWriteOutcome(platform_, this, outcome, kDoneTitle, kCaption);
}

void FrmMerge::btnExit_Click() {
    close();
}

}  // namespace orrelin::gui
