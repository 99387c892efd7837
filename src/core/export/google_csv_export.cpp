// The Google Contacts CSV export: the columns of the Google CSV form, one line per contact of
// the address books, UTF-8 without a byte order mark. Telephones and addresses fill the
// numbered groups in turn, each with its type; the PIN and the Facebook name are custom fields,
// the anniversary an event and the category the contact's group.

#include <array>
#include <string>
#include <vector>

#include "decoders/contact_decoder.h"
#include "export/contact_csv.h"
#include "export/export_writer.h"
#include "export/vcard_writer.h"

namespace orrelin {
namespace {

using C = ContactRecord;

constexpr std::size_t kPhoneGroups = 8;
constexpr std::size_t kAddressGroups = 2;

// The columns before the numbered groups, then each group's.
constexpr std::array<std::string_view, 29> kLeading{"Name",
                                                    "Given Name",
                                                    "Additional Name",
                                                    "Family Name",
                                                    "Yomi Name",
                                                    "Given Name Yomi",
                                                    "Additional Name Yomi",
                                                    "Family Name Yomi",
                                                    "Name Prefix",
                                                    "Name Suffix",
                                                    "Initials",
                                                    "Nickname",
                                                    "Short Name",
                                                    "Maiden Name",
                                                    "Birthday",
                                                    "Gender",
                                                    "Location",
                                                    "Billing Information",
                                                    "Directory Server",
                                                    "Mileage",
                                                    "Occupation",
                                                    "Hobby",
                                                    "Sensitivity",
                                                    "Priority",
                                                    "Subject",
                                                    "Notes",
                                                    "Language",
                                                    "Photo",
                                                    "Group Membership"};
constexpr std::array<std::string_view, 9> kAddressParts{
    "Type",        "Formatted", "Street",          "City", "PO Box", "Region",
    "Postal Code", "Country",   "Extended Address"};
constexpr std::array<std::string_view, 8> kOrganizationParts{
    "Type", "Name", "Yomi Name", "Title", "Department", "Symbol", "Location", "Job Description"};

struct Phone {
    C::Slot slot;
    std::string_view type;
};
constexpr std::array<Phone, kPhoneGroups> kPhones{{
    {C::Mobile, "Mobile"},
    {C::WorkPhone1, "Work"},
    {C::WorkPhone2, "Work"},
    {C::HomePhone1, "Home"},
    {C::HomePhone2, "Home"},
    {C::Fax, "Work Fax"},
    {C::Pager, "Pager"},
    {C::OtherNumber, "Other"},
}};

struct Address {
    std::string_view type;
    C::Slot street1, street2, city, state, zip, country;
};
constexpr std::array<Address, kAddressGroups> kAddresses{{
    {"Work", C::WorkAddress1, C::WorkAddress2, C::WorkCity, C::WorkState, C::WorkZip,
     C::WorkCountry},
    {"Home", C::HomeAddress1, C::HomeAddress2, C::HomeCity, C::HomeState, C::HomeZip,
     C::HomeCountry},
}};

std::vector<std::string> Header() {
    std::vector<std::string> names(kLeading.begin(), kLeading.end());
    names.emplace_back("E-mail 1 - Type");
    names.emplace_back("E-mail 1 - Value");
    for (std::size_t i = 1; i <= kPhoneGroups; ++i) {
        names.push_back("Phone " + std::to_string(i) + " - Type");
        names.push_back("Phone " + std::to_string(i) + " - Value");
    }
    for (std::size_t i = 1; i <= kAddressGroups; ++i)
        for (std::string_view part : kAddressParts)
            names.push_back("Address " + std::to_string(i) + " - " + std::string(part));
    for (std::string_view part : kOrganizationParts)
        names.push_back("Organization 1 - " + std::string(part));
    for (std::string_view group : {"Website 1", "Event 1", "Custom Field 1", "Custom Field 2"}) {
        names.push_back(std::string(group) + " - Type");
        names.push_back(std::string(group) + " - Value");
    }
    return names;
}

class GoogleCsvWriter final : public ExportWriter {
  public:
    GoogleCsvWriter(const ExportHead& head, std::string& out)
        : head_(head), out_(out), context_(UnicodeContext(head.request)), header_(Header()) {}

    void begin() override {
        std::vector<std::string_view> names(header_.begin(), header_.end());
        AppendCsvLine(names, out_);
    }

    void record(const RecordItem& item) override {
        const ContactRecord c =
            DecodeContact(head_.tree.image(), item.span, IsAllForm(item.db), context_);
        std::vector<std::string> row(header_.size());
        row[0] = FormattedContactName(c);
        row[1] = c[C::FirstName];
        row[3] = c[C::LastName];
        row[8] = c[C::Title];
        if (!c[C::Birthday].empty()) row[14] = CsvDate(c[C::Birthday]);
        row[25] = c[C::Notes];
        row[28] = c[C::Category];
        std::size_t at = kLeading.size();
        if (!c[C::Email].empty()) {
            row[at] = "Other";
            row[at + 1] = c[C::Email];
        }
        at += 2;
        std::size_t group = at;
        for (const Phone& phone : kPhones) {
            if (c[phone.slot].empty()) continue;
            row[group] = phone.type;
            row[group + 1] = c[phone.slot];
            group += 2;
        }
        at += 2 * kPhoneGroups;
        group = at;
        for (const Address& a : kAddresses) {
            if (c[a.street1].empty() && c[a.street2].empty() && c[a.city].empty() &&
                c[a.state].empty() && c[a.zip].empty() && c[a.country].empty())
                continue;
            row[group] = a.type;
            row[group + 2] = StreetLines(c[a.street1], c[a.street2]);
            row[group + 3] = c[a.city];
            row[group + 5] = c[a.state];
            row[group + 6] = c[a.zip];
            row[group + 7] = c[a.country];
            group += kAddressParts.size();
        }
        at += kAddressParts.size() * kAddressGroups;
        row[at + 1] = c[C::Company];
        row[at + 3] = c[C::Job];
        at += kOrganizationParts.size();
        pair(row, at, "", c[C::WebPage]);
        if (!c[C::Anniversary].empty())
            pair(row, at + 2, "Anniversary", CsvDate(c[C::Anniversary]));
        pair(row, at + 4, "BlackBerry PIN", c[C::Pin]);
        pair(row, at + 6, "Facebook", c[C::Facebook]);
        std::vector<std::string_view> fields(row.begin(), row.end());
        AppendCsvLine(fields, out_);
    }

  private:
    // A type and value column pair, both left empty without a value.
    static void pair(std::vector<std::string>& row, std::size_t at, std::string_view type,
                     const std::string& value) {
        if (value.empty()) return;
        row[at] = type;
        row[at + 1] = value;
    }

    const ExportHead& head_;
    std::string& out_;
    const DecodeContext context_;
    const std::vector<std::string> header_;
};

}  // namespace

std::unique_ptr<ExportWriter> MakeGoogleCsvWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<GoogleCsvWriter>(head, out);
}

}  // namespace orrelin
