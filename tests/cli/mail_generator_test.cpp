// The generator's email, bookmark, URL and time-zone records, read by their decoders, and its
// email records written as an mbox that Python's mail parsers read back (until the export
// command writes mbox itself, a small walk over the file stands in for it here).

#include <gtest/gtest.h>
#include <sys/wait.h>

#include <cstdlib>
#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "../core/export/python_run.h"
#include "decoders/browser_decoder.h"
#include "decoders/mail_decoder.h"
#include "decoders/timezone_decoder.h"
#include "export/mbox_writer.h"
#include "ipd/ipd_format.h"
#include "ipd/ipd_image.h"

namespace orrelin {
namespace {

namespace fs = std::filesystem;

struct Walked {
    std::vector<std::string> names;
    std::map<std::string, std::vector<RecordSpan>> spans;  // by database name
};

// The name table and every record's span of a file without damage or filler.
Walked Walk(const IpdImage& image) {
    Walked w;
    const std::size_t count =
        static_cast<std::size_t>(image[kCountOffset] << 8 | image[kCountOffset + 1]);
    std::size_t at = kIpdHeaderSize;
    for (std::size_t i = 0; i < count; ++i) {
        const std::size_t length = *ByteReader(image.bytes(), at).le16();
        w.names.emplace_back(reinterpret_cast<const char*>(image.bytes().data()) + at + 2,
                             length - 1);
        at += 2 + length;
    }
    while (at + kRecordFieldsAt <= image.fileLength()) {
        const std::size_t db = *ByteReader(image.bytes(), at).le16();
        const std::size_t length = *ByteReader(image.bytes(), at + kRecordLengthAt).le32();
        const std::size_t end = at + kRecordVersionAt + length;
        w.spans[w.names.at(db)].push_back({at + kRecordHandleAt, end - 1});
        at = end;
    }
    return w;
}

TEST(MailGenerator, RecordsDecodeAndTheirMboxParses) {
    const fs::path file = fs::path(::testing::TempDir()) / "mail-generator.ipd";
    const std::string command = std::string("\"") + ORRELIN_IPDGEN + "\" mail \"" + file.string() +
                                "\" --records 400 --seed 3";
    ASSERT_EQ(std::system(command.c_str()), 0);
    auto image = IpdImage::Read(file.string());
    fs::remove(file);
    ASSERT_TRUE(image);
    const Walked w = Walk(*image);
    EXPECT_EQ(w.spans.at("Messages").size(), 340u);
    EXPECT_EQ(w.spans.at("PIN Messages").size(), 40u);
    EXPECT_EQ(w.spans.at("Saved Email Messages").size(), 20u);

    DecodeContext context;
    context.text.unicode = true;
    std::string mbox;
    std::size_t htmlOnly = 0, wideSubjects = 0, unnamed = 0;
    for (const char* db : {"Messages", "PIN Messages", "Saved Email Messages"}) {
        for (RecordSpan span : w.spans.at(db)) {
            MailRecord m = DecodeMail(*image, span, context);
            ASSERT_FALSE(m.to.empty());
            ASSERT_TRUE(m.messageId);
            htmlOnly += m.plainBody.empty() && !m.htmlBody.empty();
            wideSubjects += m.subject.starts_with("\u0645");
            unnamed += m.to[0].name.empty();
            AppendMboxMessage(mbox, m);
        }
    }
    EXPECT_EQ(htmlOnly, 400u / 17 + 1);
    EXPECT_GT(wideSubjects, 0u);
    EXPECT_GT(unnamed, 0u);

    std::map<std::string, int> bookmarks;
    for (RecordSpan span : w.spans.at("Browser Bookmarks")) {
        BookmarkRecord b = DecodeBookmark(*image, span, context);
        EXPECT_EQ(b.items[BookmarkRecord::Name], "Site " + b.items[BookmarkRecord::Id]);
        EXPECT_EQ(b.url, "http://www.example.org/page/" + b.items[BookmarkRecord::Id]);
        ++bookmarks[b.items[BookmarkRecord::Folder]];
    }
    EXPECT_EQ(bookmarks["Work"], 4);
    EXPECT_EQ(bookmarks[""], 4);
    for (RecordSpan span : w.spans.at("Browser URLs"))
        EXPECT_TRUE(DecodeBrowserUrl(*image, span, context).url.starts_with("https://news."));
    TimeZoneRecord first = DecodeTimeZone(*image, w.spans.at("Time Zones").front(), context);
    EXPECT_EQ(first.name, "Newfoundland");
    EXPECT_EQ(first.utcOffsetMinutes, -210);

    if (!testing::PythonHas("mailbox")) GTEST_SKIP() << "no python3";
    const std::string script =
        "import runpy, sys\nsys.argv = ['check', sys.argv[1]]\n"
        "runpy.run_path('" ORRELIN_SOURCE_DIR
        "/scripts/check-mbox.py',"
        " run_name='__main__')\n";
    auto out = testing::RunPython(script, mbox);
    ASSERT_TRUE(out);
    EXPECT_EQ(*out, "400 messages\n");
}

}  // namespace
}  // namespace orrelin
