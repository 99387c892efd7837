#include "gui/common/unicode_option.h"

#include <QAction>
#include <QActionGroup>
#include <QMenu>

#include "gui/common/setting_keys.h"

namespace orrelin::gui {
namespace {

QString Latin1(std::string_view text) {
    return QString::fromLatin1(text.data(), static_cast<qsizetype>(text.size()));
}

// What the page's characters are for, after its number in the menu.
QString Script(CodePage page) {
    switch (page) {
        case CodePage::Cp1252:
            return QStringLiteral("Western");
        case CodePage::Cp1251:
            return QStringLiteral("Cyrillic");
        case CodePage::Cp1250:
            return QStringLiteral("Central European");
        case CodePage::Cp1253:
            return QStringLiteral("Greek");
        case CodePage::Cp1256:
            return QStringLiteral("Arabic");
    }
    return {};
}

}  // namespace

UnicodeOption::UnicodeOption(SettingsStore& settings, QMenu& optionsMenu, QObject* parent)
    : QObject(parent), settings_(settings) {
    show_ = optionsMenu.addAction(QStringLiteral("Show Full &Unicode"));
    show_->setObjectName(QStringLiteral("showFullUnicodeAction"));
    show_->setCheckable(true);
    show_->setChecked(settings_.read(kFullUnicodeSetting, QStringLiteral("0")) ==
                      QStringLiteral("1"));

    codePages_ = optionsMenu.addMenu(QStringLiteral("Code &Page for 8-bit Texts"));
    codePages_->setObjectName(QStringLiteral("codePageMenu"));
    auto* group = new QActionGroup(codePages_);
    const QString stored = settings_.read(kFullUnicodeCodePageSetting, QStringLiteral("1252"));
    const auto storedPage = CodePageByName(stored.toStdString());
    for (std::size_t i = 0; i < kCodePageNames.size(); ++i) {
        const auto& [number, page] = kCodePageNames[i];
        QAction* action = codePages_->addAction(Latin1(number) + QStringLiteral(" (") +
                                                Script(page) + QLatin1Char(')'));
        action->setObjectName(QStringLiteral("codePage") + Latin1(number));
        action->setCheckable(true);
        action->setChecked(page == storedPage.value_or(CodePage::Cp1252));
        group->addAction(action);
        pageActions_[i] = action;
        connect(action, &QAction::triggered, this, [this] {
            store();
            if (on()) Q_EMIT changed();
        });
    }
    codePages_->setEnabled(on());
    connect(show_, &QAction::toggled, this, [this](bool shown) {
        codePages_->setEnabled(shown);
        store();
        Q_EMIT changed();
    });
}

bool UnicodeOption::on() const {
    return show_->isChecked();
}

TextOptions UnicodeOption::textOptions() const {
    if (!on()) return {};
    TextOptions text{true, CodePage::Cp1252};
    for (std::size_t i = 0; i < kCodePageNames.size(); ++i) {
        if (pageActions_[i]->isChecked()) text.eightBitPage = kCodePageNames[i].second;
    }
    return text;
}

void UnicodeOption::store() {
    const QString shown = on() ? QStringLiteral("1") : QStringLiteral("0");
    settings_.write(kFullUnicodeSetting, shown);
    for (std::size_t i = 0; i < kCodePageNames.size(); ++i) {
        if (pageActions_[i]->isChecked())
            settings_.write(kFullUnicodeCodePageSetting, Latin1(kCodePageNames[i].first));
    }
}

}  // namespace orrelin::gui
