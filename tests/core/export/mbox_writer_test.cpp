#include <gtest/gtest.h>

#include <string>

#include "export/mbox_writer.h"
#include "python_run.h"

namespace orrelin {
namespace {

MailRecord Message() {
    MailRecord m;
    m.from = {"Ann Lee", "ann@example.org"};
    m.to = {{"Bob", "bob@example.org"}, {"", "cy@example.org"}};
    m.subject = "Lunch";
    m.plainBody = "Hello\r\nworld";
    m.messageId = 42;
    return m;
}

std::string Mbox(const MailRecord& m, bool crlf = false) {
    std::string out;
    AppendMboxMessage(out, m, MboxOptions{crlf});
    return out;
}

TEST(MboxWriter, OneMessage) {
    EXPECT_EQ(Mbox(Message()),
              "From ann@example.org Thu Jan  1 00:00:00 1970\n"
              "From: \"Ann Lee\" <ann@example.org>\n"
              "To: \"Bob\" <bob@example.org>,\n <cy@example.org>\n"
              "Subject: Lunch\n"
              "Message-ID: <42@orrelin.invalid>\n"
              "MIME-Version: 1.0\n"
              "Content-Type: text/plain; charset=utf-8\n"
              "Content-Transfer-Encoding: 7bit\n"
              "\n"
              "Hello\n"
              "world\n"
              "\n");
}

TEST(MboxWriter, HeadersOfEachShape) {
    struct Case {
        const char* what;
        void (*change)(MailRecord&);
        std::string expected;  // a part of the output
    };
    const Case cases[] = {
        {"date when known", [](MailRecord& m) { m.dateUtc = 1268640000; },
         "From ann@example.org Mon Mar 15 08:00:00 2010\n"},
        {"date header", [](MailRecord& m) { m.dateUtc = 1268640000; },
         "Date: Mon, 15 Mar 2010 08:00:00 +0000\n"},
        {"non-ASCII subject", [](MailRecord& m) { m.subject = "Gr\u00fc\u00dfe"; },
         "Subject: =?utf-8?B?R3LDvMOfZQ==?=\n"},
        {"quotes in a name", [](MailRecord& m) { m.from.name = "A \"B\" \\C"; },
         "From: \"A \\\"B\\\" \\\\C\" <ann@example.org>\n"},
        {"name without address",
         [](MailRecord& m) {
             m.cc = {{"Dee", ""}};
         },
         "Cc: \"Dee\":;\n"},
        {"sender without from",
         [](MailRecord& m) {
             m.sender = m.from;
             m.from = {};
         },
         "From ann@example.org Thu"},
        {"no sender at all", [](MailRecord& m) { m.from = {}; },
         "From MAILER-DAEMON Thu Jan  1 00:00:00 1970\nFrom: undisclosed-sender:;\n"},
        {"id from the unique id",
         [](MailRecord& m) {
             m.messageId.reset();
             m.uniqueId = 7;
         },
         "Message-ID: <uid-7@orrelin.invalid>\n"},
        {"HTML only",
         [](MailRecord& m) {
             m.plainBody.clear();
             m.htmlBody = "<p>Hi</p>";
         },
         "Content-Type: text/html; charset=utf-8\nContent-Transfer-Encoding: 7bit\n\n<p>Hi</p>\n"},
        {"8-bit body", [](MailRecord& m) { m.plainBody = "caf\u00e9"; },
         "Content-Transfer-Encoding: 8bit\n"},
        {"From lines quoted",
         [](MailRecord& m) { m.plainBody = "From me\n>From you\n>>From x\nFromage\n"; },
         "\n\n>From me\n>>From you\n>>>From x\nFromage\n\n"},
    };
    for (const Case& c : cases) {
        MailRecord m = Message();
        c.change(m);
        const std::string out = Mbox(m);
        EXPECT_NE(out.find(c.expected), std::string::npos) << c.what << "\n" << out;
    }
    MailRecord undated = Message();
    EXPECT_EQ(Mbox(undated).find("Date:"), std::string::npos);
}

TEST(MboxWriter, LongLinesGoQuotedPrintable) {
    MailRecord m = Message();
    m.plainBody = std::string(1200, 'x') + "\nFrom the start\n>quoted\nend= ";
    const std::string out = Mbox(m);
    EXPECT_NE(out.find("Content-Transfer-Encoding: quoted-printable\n"), std::string::npos);
    const std::string body = out.substr(out.find("\n\n") + 2);
    std::size_t longest = 0;
    for (std::size_t at = 0; at < body.size();) {
        std::size_t end = body.find('\n', at);
        const std::string line = body.substr(at, end - at);
        longest = std::max(longest, line.size());
        EXPECT_FALSE(line.starts_with("From") || line.starts_with(">")) << line;
        at = end + 1;
    }
    EXPECT_LE(longest, 76u);
    EXPECT_NE(body.find("=46rom the start\n=3Equoted\nend=3D=20\n"), std::string::npos);
}

TEST(MboxWriter, CrlfThroughout) {
    MailRecord m = Message();
    m.plainBody = "a\nb\rc\r\nd";
    m.subject = std::string(60, '\xc3');  // not UTF-8, still encoded and folded
    const std::string out = Mbox(m, true);
    for (std::size_t i = 0; i < out.size(); ++i) {
        if (out[i] == '\n') {
            EXPECT_EQ(out[i - 1], '\r') << i;
        }
        if (out[i] == '\r') {
            EXPECT_EQ(out[i + 1], '\n') << i;
        }
    }
    EXPECT_NE(out.find("\r\n\r\na\r\nb\r\nc\r\nd\r\n\r\n"), std::string::npos);
}

// What Python's mailbox and email packages read back from messages of every shape.
TEST(MboxWriter, PythonReadsEveryMessage) {
    if (!testing::PythonHas("mailbox")) GTEST_SKIP() << "no python3";
    std::string mbox;
    MailRecord plain = Message();
    plain.subject = "Gr\u00fc\u00dfe \u0645\u0631\u062d\u0628\u0627 " + std::string(80, 'a');
    plain.from.name = "\u0416\u0443\u043a, \"Ivan\"";
    plain.cc = {{"Dee", ""}};
    plain.plainBody = "From me\n>From you\ncaf\u00e9";
    AppendMboxMessage(mbox, plain);
    MailRecord html = Message();
    html.plainBody.clear();
    html.htmlBody = "<html><p>Hi</p></html>";
    html.dateUtc = 1268640000;
    AppendMboxMessage(mbox, html);
    MailRecord longLines = Message();
    longLines.plainBody = std::string(2000, 'y') + "\n>From z\n";
    AppendMboxMessage(mbox, longLines);

    const std::string script =
        "import runpy, sys\nsys.argv = ['check', sys.argv[1], '--json']\n"
        "runpy.run_path('" ORRELIN_SOURCE_DIR
        "/scripts/check-mbox.py',"
        " run_name='__main__')\n";
    auto out = testing::RunPython(script, mbox);
    ASSERT_TRUE(out);
    for (const char* part : {
             "\"subject\": \"Gr\u00fc\u00dfe \u0645\u0631\u062d\u0628\u0627 aaaa",
             "\"from\": \"\\\"\u0416\u0443\u043a, \\\\\\\"Ivan\\\\\\\"\\\" <ann@example.org>\"",
             "\"cc\": \"Dee:;\"",
             "\"body\": \"From me\\n>From you\\ncaf\u00e9\\n\"",
             "\"content_type\": \"text/html\"",
             "\"date\": \"Mon, 15 Mar 2010 08:00:00 +0000\"",
             "\"message_id\": \"<42@orrelin.invalid>\"",
             "yyyy\\n>From z\\n\"",
         })
        EXPECT_NE(out->find(part), std::string::npos) << part << "\n" << *out;
}

}  // namespace
}  // namespace orrelin
