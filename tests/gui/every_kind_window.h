#pragma once

// The main window over EveryKindBackup: its node ids and what its panes show.

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>
#include <QTemporaryDir>
#include <QTreeView>
#include <memory>

#include "fakes.h"
#include "gui/browser/detail_panes.h"
#include "gui/browser/main_window.h"
#include "gui/browser/tree_model.h"
#include "test_backups.h"

namespace orrelin::gui::testing {

// Node ids of EveryKindBackup: the root, nine database nodes, then the records in file order.
enum Node : NodeId {
    SmsDb = 1,
    AddressAllDb,
    AddressDb,
    MemosDb,
    TasksDb,
    CalendarDb,
    CalendarAllDb,
    ServiceBookDb,
    CallsDb,
    SentSms,
    ReceivedSms,
    ContactAll,
    Contact,
    MemoEntry,
    TaskEntry,
    Appointment,
    AppointmentAll,
    ServiceEntry,
    PlacedCall,
    MissedCall,
};

inline QStringList VisibleFrames(MainWindow& window) {
    QStringList names;
    for (QGroupBox* frame : window.panes().frames()) {
        if (!frame->isHidden()) names << frame->objectName();
    }
    return names;
}

inline QString Field(MainWindow& window, const QString& name) {
    if (auto* line = window.findChild<QLineEdit*>(name)) return line->text();
    if (auto* box = window.findChild<QPlainTextEdit*>(name)) return box->toPlainText();
    return QStringLiteral("<no field %1>").arg(name);
}

// A main window with fake dialogs over EveryKindBackup, written once into a temporary folder. A
// test class inherits it and calls prepare() from initTestCase, renew() from init and drop()
// from cleanup.
class WindowFixture {
  protected:
    bool prepare() {
        qputenv("LC_ALL", "C");
        if (!dir_.isValid()) return false;
        backup_ = WriteBackup(dir_, QStringLiteral("every kind.ipd"), EveryKindBackup());
        return !backup_.isEmpty();
    }
    void renew() {
        fakes_ = std::make_unique<FakePlatform>();
        window_ = std::make_unique<MainWindow>(fakes_->platform);
    }
    void drop() {
        window_.reset();
        fakes_.reset();
    }
    MainWindow& open(const QString& path) {
        window_->openPath(path);
        window_->waitForOpen();
        return *window_;
    }
    void select(NodeId node) {
        window_->treeView().setCurrentIndex(window_->treeModel().indexOf(node));
    }

    QTemporaryDir dir_;
    QString backup_;
    std::unique_ptr<FakePlatform> fakes_;
    std::unique_ptr<MainWindow> window_;
};

}  // namespace orrelin::gui::testing
