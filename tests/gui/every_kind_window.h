#pragma once

// The main window over EveryKindBackup: its node ids and what its panes show.

#include <QGroupBox>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QStringList>

#include "gui/browser/detail_panes.h"
#include "gui/browser/main_window.h"

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

}  // namespace orrelin::gui::testing
