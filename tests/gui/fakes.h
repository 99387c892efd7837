#pragma once

// Stand-ins for the desktop's message boxes, file dialogs and settings store: they answer from
// what the test put in and record what they were asked, so no modal window ever opens.

#include <QMap>
#include <QString>
#include <QStringList>
#include <deque>
#include <vector>

#include "gui/common/platform.h"

namespace orrelin::gui::testing {

struct ShownMessage {
    MessageIcon icon;
    QString title;
    QString text;
};

class FakeMessageBoxes : public MessageBoxes {
  public:
    void show(QWidget*, MessageIcon icon, const QString& title, const QString& text) override {
        shown.push_back({icon, title, text});
    }
    std::vector<ShownMessage> shown;
};

class FakeFileDialogs : public FileDialogs {
  public:
    // Answers in order; an empty text (or no answer left) is a cancelled dialog.
    std::deque<QString> openAnswers;
    std::deque<QString> saveAnswers;
    QStringList openFilters;
    QStringList saveFilters;
    // The folder each save dialog started in.
    QStringList saveFolders;

    QString openFile(QWidget*, const QString& filter) override {
        openFilters << filter;
        return Next(openAnswers);
    }
    QString saveFile(QWidget*, const QString& filter, const QString& folder) override {
        saveFilters << filter;
        saveFolders << folder;
        return Next(saveAnswers);
    }

  private:
    static QString Next(std::deque<QString>& answers) {
        if (answers.empty()) return {};
        QString answer = answers.front();
        answers.pop_front();
        return answer;
    }
};

class FakeSettingsStore : public SettingsStore {
  public:
    // "section/key" -> value
    QMap<QString, QString> values;
    int writes = 0;

    QString read(const QString& key, const QString& fallback) override {
        return values.value(key, fallback);
    }
    void write(const QString& key, const QString& value) override {
        values[key] = value;
        ++writes;
    }
};

// The three fakes as a Platform.
struct FakePlatform {
    FakeMessageBoxes messages;
    FakeFileDialogs files;
    FakeSettingsStore settings;
    Platform platform{messages, files, settings};
};

}  // namespace orrelin::gui::testing
