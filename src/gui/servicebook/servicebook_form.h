#pragma once

// The layout a service book entry is shown and edited in: its five identifying values on top,
// then a "Network" tab (HRT values, the gateway's address as four small fields, two ports) and
// a tab of web and other values. The details pane shows it read-only; the editor fills the
// same places with fields to edit.

#include <QString>

#include <cstddef>
#include <functional>

class QBoxLayout;
class QFormLayout;
class QTabWidget;
class QWidget;

namespace orrelin::gui {

// The names of the 22 value fields, by value index: the network block (0-10), the
// configuration block (11-16), then the entry's own name, UID, CID, User ID and description.
inline constexpr std::array<std::string_view, 22> kServiceBookFieldNames{"networkProviderCode",
                                                                         "wirelessNetwork",
                                                                         "networkName",
                                                                         "apn",
                                                                         "qos",
                                                                         "gatewayIp1",
                                                                         "gatewayIp2",
                                                                         "gatewayIp3",
                                                                         "gatewayIp4",
                                                                         "port1",
                                                                         "port2",
                                                                         "homePage",
                                                                         "dataSource",
                                                                         "dataSourceUid",
                                                                         "gatewayUrl",
                                                                         "configName",
                                                                         "configDescription",
                                                                         "entryName",
                                                                         "entryUid",
                                                                         "entryCid",
                                                                         "entryUserId",
                                                                         "entryDescription"};

// A form whose fields take the room beside their labels.
QFormLayout* ValueForm(QWidget* owner);

// Makes the widget of service book value `index` inside `parent`.
using ServiceBookField = std::function<QWidget*(QWidget* parent, std::size_t index)>;

struct ServiceBookTabCaptions {
    QString web;      // the second tab
    QString gateway;  // the label of value 14
};

// Lays the values out under `outer` (the top values, then the tabs, which take the spare
// height) and returns the tab widget, named "serviceBookTabs".
QTabWidget* LayOutServiceBook(QWidget* owner, QBoxLayout* outer, const ServiceBookField& field,
                              const ServiceBookTabCaptions& captions);

}  // namespace orrelin::gui
