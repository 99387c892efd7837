// The Outlook contacts CSV export: the columns of Outlook's contact import template, one line
// per contact of the address books, UTF-8 behind a byte order mark (without one Outlook reads
// the file in the system's code page). The template has no column for the PIN, which is written
// as a last line of the notes.

#include <array>

#include "decoders/contact_decoder.h"
#include "export/contact_csv.h"
#include "export/export_writer.h"

namespace orrelin {
namespace {

using C = ContactRecord;

constexpr std::string_view kUtf8ByteOrderMark = "\xEF\xBB\xBF";

constexpr std::array<std::string_view, 61> kColumns{"First Name",
                                                    "Middle Name",
                                                    "Last Name",
                                                    "Title",
                                                    "Suffix",
                                                    "Nickname",
                                                    "Given Yomi",
                                                    "Surname Yomi",
                                                    "E-mail Address",
                                                    "E-mail 2 Address",
                                                    "E-mail 3 Address",
                                                    "Home Phone",
                                                    "Home Phone 2",
                                                    "Business Phone",
                                                    "Business Phone 2",
                                                    "Mobile Phone",
                                                    "Car Phone",
                                                    "Other Phone",
                                                    "Primary Phone",
                                                    "Pager",
                                                    "Business Fax",
                                                    "Home Fax",
                                                    "Other Fax",
                                                    "Company Main Phone",
                                                    "Callback",
                                                    "Radio Phone",
                                                    "Telex",
                                                    "TTY/TDD Phone",
                                                    "IMAddress",
                                                    "Job Title",
                                                    "Department",
                                                    "Company",
                                                    "Office Location",
                                                    "Manager's Name",
                                                    "Assistant's Name",
                                                    "Assistant's Phone",
                                                    "Company Yomi",
                                                    "Business Street",
                                                    "Business City",
                                                    "Business State",
                                                    "Business Postal Code",
                                                    "Business Country/Region",
                                                    "Home Street",
                                                    "Home City",
                                                    "Home State",
                                                    "Home Postal Code",
                                                    "Home Country/Region",
                                                    "Other Street",
                                                    "Other City",
                                                    "Other State",
                                                    "Other Postal Code",
                                                    "Other Country/Region",
                                                    "Personal Web Page",
                                                    "Spouse",
                                                    "Schools",
                                                    "Hobby",
                                                    "Location",
                                                    "Web Page",
                                                    "Birthday",
                                                    "Anniversary",
                                                    "Notes"};

// The column of a name in kColumns (the names are known at compile time).
constexpr std::size_t Column(std::string_view name) {
    for (std::size_t i = 0; i < kColumns.size(); ++i)
        if (kColumns[i] == name) return i;
    return kColumns.size();
}

// Columns filled straight from a slot.
struct Plain {
    std::size_t column;
    C::Slot slot;
};
constexpr std::array<Plain, 24> kPlain{{
    {Column("First Name"), C::FirstName},
    {Column("Last Name"), C::LastName},
    {Column("Title"), C::Title},
    {Column("E-mail Address"), C::Email},
    {Column("Home Phone"), C::HomePhone1},
    {Column("Home Phone 2"), C::HomePhone2},
    {Column("Business Phone"), C::WorkPhone1},
    {Column("Business Phone 2"), C::WorkPhone2},
    {Column("Mobile Phone"), C::Mobile},
    {Column("Other Phone"), C::OtherNumber},
    {Column("Pager"), C::Pager},
    {Column("Business Fax"), C::Fax},
    {Column("Job Title"), C::Job},
    {Column("Company"), C::Company},
    {Column("Business City"), C::WorkCity},
    {Column("Business State"), C::WorkState},
    {Column("Business Postal Code"), C::WorkZip},
    {Column("Business Country/Region"), C::WorkCountry},
    {Column("Home City"), C::HomeCity},
    {Column("Home State"), C::HomeState},
    {Column("Home Postal Code"), C::HomeZip},
    {Column("Home Country/Region"), C::HomeCountry},
    {Column("Web Page"), C::WebPage},
    {Column("Notes"), C::Notes},
}};

class OutlookCsvWriter final : public ExportWriter {
  public:
    OutlookCsvWriter(const ExportHead& head, std::string& out)
        : head_(head), out_(out), context_(UnicodeContext(head.request)) {}

    void begin() override {
        out_.append(kUtf8ByteOrderMark);
        AppendCsvLine(kColumns, out_);
    }

    void record(const RecordItem& item) override {
        const ContactRecord c =
            DecodeContact(head_.tree.image(), item.span, IsAllForm(item.db), context_);
        std::array<std::string, kColumns.size()> row;
        for (const Plain& plain : kPlain)
            row[plain.column] = c[plain.slot];
        row[Column("Business Street")] = StreetLines(c[C::WorkAddress1], c[C::WorkAddress2]);
        row[Column("Home Street")] = StreetLines(c[C::HomeAddress1], c[C::HomeAddress2]);
        if (!c[C::Birthday].empty()) row[Column("Birthday")] = CsvDate(c[C::Birthday]);
        if (!c[C::Anniversary].empty()) row[Column("Anniversary")] = CsvDate(c[C::Anniversary]);
        if (!c[C::Pin].empty()) {
            std::string& notes = row[Column("Notes")];
            if (!notes.empty()) notes += '\n';
            notes += "BlackBerry PIN: " + c[C::Pin];
        }
        std::array<std::string_view, kColumns.size()> fields;
        for (std::size_t i = 0; i < row.size(); ++i)
            fields[i] = row[i];
        AppendCsvLine(fields, out_);
    }

  private:
    const ExportHead& head_;
    std::string& out_;
    const DecodeContext context_;
};

}  // namespace

std::unique_ptr<ExportWriter> MakeOutlookCsvWriter(const ExportHead& head, std::string& out) {
    return std::make_unique<OutlookCsvWriter>(head, out);
}

}  // namespace orrelin
