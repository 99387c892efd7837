#include "export/html_conversations.h"

#include <algorithm>
#include <condition_variable>
#include <cstdint>
#include <deque>
#include <optional>
#include <thread>
#include <unordered_map>

#include "base/cores.h"
#include "decoders/sms_decoder.h"
#include "decoders/text_field.h"
#include "export/contact_names.h"
#include "export/export_writer.h"
#include "export/markup_text.h"
#include "ipd/ipd_image.h"

namespace orrelin {
namespace {

// Messages written at a time by one thread while the other writes the next ones.
constexpr std::size_t kMessagesAPiece = 2048;
// Pieces the second thread may have written ahead of the one joining them.
constexpr std::size_t kPiecesAhead = 4;

// A number's digits, their count and whether they are international as one value; 0 for a
// number that is no dialled number or has more digits than the value holds.
std::uint64_t NumberKey(std::string_view number) {
    constexpr std::size_t kMostDigits = 17;
    const auto read = ReadShortNumber(number);
    if (!read || read->count > kMostDigits) return 0;
    std::uint64_t value = 0;
    for (char c : read->digits())
        value = value * 10 + static_cast<std::uint64_t>(c - '0');
    return (value * 32 + read->count) * 2 + (read->international ? 1 : 0);
}

// The key of a number NumberKey gives none: its digits, or the text itself.
std::string OtherKey(std::string_view number) {
    const auto read = ReadDialledNumber(number);
    std::string key(read ? (read->international ? "+" : "") : "=");
    key += read ? std::string_view(read->digits) : number;
    return key;
}

// Room for n values, backed by large pages where the system has them: a large array is
// written all over at once, and small pages are each a fault.
template <typename T>
void ReserveLarge(std::vector<T>& values, std::size_t n) {
    values.reserve(n);
    AskForLargePages(values.data(), values.capacity() * sizeof(T));
}

bool Received(const SmsRecord& sms) {
    return sms[SmsRecord::Direction] == kSmsDirectionWords[1];
}

// Conversations by the NumberKey of their number: open addressing, key 0 a free slot.
class KeyTable {
  public:
    explicit KeyTable(std::size_t most) {
        while ((std::size_t{1} << bits_) < 2 * most)
            ++bits_;
        ReserveLarge(slots_, std::size_t{1} << bits_);
        slots_.resize(std::size_t{1} << bits_, {0, 0});
    }
    // The conversation of `key`, which is `next` when the key is new.
    std::uint32_t find(std::uint64_t key, std::uint32_t next) {
        const std::size_t mask = slots_.size() - 1;
        for (std::size_t at = (key * 0x9E3779B97F4A7C15ULL) >> (64 - bits_);;
             at = (at + 1) & mask) {
            auto& [slotKey, conversation] = slots_[at];
            if (slotKey == key) return conversation;
            if (slotKey == 0) {
                slotKey = key;
                conversation = next;
                return next;
            }
        }
    }

  private:
    unsigned bits_ = 4;
    std::vector<std::pair<std::uint64_t, std::uint32_t>> slots_;
};

struct Message {
    std::uint64_t millis;
    RecordSpan span;
};

struct Conversation {
    RecordSpan first;         // the message whose number it shows: the first in tree order
    std::uint32_t start = 0;  // its first message in the list of all, in time order
    std::uint32_t messages = 0;
};

// Writes conversations as the page shows them, one thread a writer.
class ConversationWriter {
  public:
    ConversationWriter(const ExportHead& head, const DecodeContext& context,
                       const ContactNames& names)
        : head_(head),
          names_(names),
          context_(context),
          times_(OffsetHours(head.request.context.timeZoneText), head.request.context.dateStyle) {}

    void write(std::string& out, const Conversation& conversation, const Message* messages) {
        // The message that shows the number; a conversation of one message reads it once.
        const bool one = conversation.messages == 1;
        const SmsRecord first = DecodeSms(head_.tree.image(), conversation.first, context_, one);
        const std::string& number = first[SmsRecord::Number];
        const std::string_view name = names_.find(number);
        out += "<details class=\"c\"><summary dir=\"auto\">";
        if (!name.empty()) {
            AppendMarkupText(out, name, false);
            out += " <small>";
            AppendMarkupText(out, number, false);
            out += "</small>";
        } else {
            AppendMarkupText(out, number.empty() ? std::string_view("(no number)") : number, false);
        }
        out += " <small>(";
        out += std::to_string(conversation.messages);
        out += ")</small></summary>\n<div class=\"t\">\n";
        if (one) {
            message(out, first);
        } else {
            for (std::uint32_t i = 0; i < conversation.messages; ++i) {
                message(out, DecodeSms(head_.tree.image(), messages[conversation.start + i].span,
                                       context_));
            }
        }
        out += "</div></details>\n";
    }

  private:
    void message(std::string& out, const SmsRecord& sms) {
        const bool received = Received(sms);
        out +=
            received ? "<div class=\"m\"><p dir=\"auto\">" : "<div class=\"m o\"><p dir=\"auto\">";
        AppendMarkupText(out, sms[SmsRecord::Text], false);
        out += "</p><time>";
        if (received) {
            out += "Received ";
            time(out, sms.receivedUtc);
            if (sms.sentUtc) {
                out += " &middot; sent ";
                time(out, sms.sentUtc);
            }
        } else {
            out += "Sent ";
            time(out, sms.sentUtc);
        }
        out += "</time></div>\n";
    }

    void time(std::string& out, std::optional<std::int64_t> unixSeconds) {
        if (unixSeconds) AppendMarkupText(out, times_.text(*unixSeconds), false);
    }

    const ExportHead& head_;
    const ContactNames& names_;
    const DecodeContext& context_;
    ReadableTimes times_;
};

// Writes pieces 0 to count - 1 into `out` in order, on this thread and a second one. Each
// takes the next piece nobody has taken, at most kPiecesAhead past the next one to join; this
// thread writes the piece to join next straight into `out`, other pieces into buffers, and
// joins the pieces as they are done; `written` follows each piece joined.
template <typename Write, typename Written>
void WriteInTurns(std::size_t count, std::string& out, Write write, Written written) {
    std::mutex lock;
    std::condition_variable changed;
    std::size_t next = 0;    // the first piece nobody has taken
    std::size_t joined = 0;  // the pieces joined into `out`
    std::vector<std::string> done(count);
    std::vector<char> ready(count, 0);
    std::vector<std::string> spare;
    // Writes piece `i` into a buffer and leaves it to be joined; called with `hold` locked.
    auto ahead = [&](std::size_t thread, std::size_t i, std::unique_lock<std::mutex>& hold) {
        std::string bytes;
        if (!spare.empty()) {
            bytes = std::move(spare.back());
            spare.pop_back();
        }
        hold.unlock();
        write(thread, i, bytes);
        hold.lock();
        done[i] = std::move(bytes);
        ready[i] = 1;
        changed.notify_all();
    };
    std::thread helper([&] {
        std::unique_lock hold(lock);
        for (;;) {
            changed.wait(hold, [&] { return next >= count || next < joined + kPiecesAhead; });
            if (next >= count) return;
            ahead(1, next++, hold);
        }
    });
    std::unique_lock hold(lock);
    while (joined < count) {
        if (ready[joined]) {
            std::string bytes = std::move(done[joined]);
            hold.unlock();
            out += bytes;
            bytes.clear();
            written();
            hold.lock();
            spare.push_back(std::move(bytes));  // its room serves a later piece
        } else if (next == joined) {
            ++next;
            hold.unlock();
            write(0, joined, out);
            written();
            hold.lock();
        } else if (next < count && next < joined + kPiecesAhead) {
            ahead(0, next++, hold);
            continue;
        } else {
            changed.wait(hold, [&] { return ready[joined] != 0; });
            continue;
        }
        ++joined;
        changed.notify_all();
    }
    hold.unlock();
    helper.join();
}

// A database's noted messages in tree order. Each row is noted once: where the rows run
// without a gap (the whole database, one record), each goes straight to its place.
void PutInTreeOrder(std::vector<NotedMessage>& mine) {
    std::uint32_t firstRow = UINT32_MAX;
    std::uint32_t lastRow = 0;
    for (const NotedMessage& noted : mine) {
        firstRow = std::min(firstRow, noted.row);
        lastRow = std::max(lastRow, noted.row);
    }
    if (!mine.empty() && lastRow - firstRow + 1 == mine.size()) {
        std::vector<NotedMessage> placed;
        ReserveLarge(placed, mine.size());
        placed.resize(mine.size());
        for (const NotedMessage& noted : mine)
            placed[noted.row - firstRow] = noted;
        mine.swap(placed);
    } else {
        std::sort(mine.begin(), mine.end(),
                  [](const NotedMessage& a, const NotedMessage& b) { return a.row < b.row; });
    }
}

struct Grouped {
    std::vector<Conversation> conversations;
    std::vector<Message> messages;  // conversation by conversation
};

// Each message's conversation, numbered as their numbers first appear (`mine` in tree order),
// and the messages conversation by conversation, each in time order (equal times in tree
// order).
Grouped GroupConversations(const ExportHead& head, const DecodeContext& context,
                           std::vector<NotedMessage> mine) {
    Grouped grouped;
    std::vector<Conversation>& conversations = grouped.conversations;
    ReserveLarge(conversations, mine.size());
    std::vector<std::uint32_t> conversationOf;
    ReserveLarge(conversationOf, mine.size());
    conversationOf.resize(mine.size());
    KeyTable byKey(mine.size());
    std::unordered_map<std::string, std::uint32_t> byOtherKey;
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const auto next = static_cast<std::uint32_t>(conversations.size());
        std::uint32_t c;
        if (mine[i].key != 0) {
            c = byKey.find(mine[i].key, next);
        } else {
            const SmsRecord sms = DecodeSms(head.tree.image(), mine[i].span, context, false);
            c = byOtherKey.try_emplace(OtherKey(sms[SmsRecord::Number]), next).first->second;
        }
        if (c == next) conversations.push_back({mine[i].span, 0, 0});
        ++conversations[c].messages;
        conversationOf[i] = c;
    }
    std::uint32_t start = 0;
    for (Conversation& conversation : conversations) {
        conversation.start = start;
        start += conversation.messages;
    }
    std::vector<Message>& messages = grouped.messages;
    ReserveLarge(messages, mine.size());
    messages.resize(mine.size());
    std::vector<std::uint32_t> filled(conversations.size(), 0);
    for (std::size_t i = 0; i < mine.size(); ++i) {
        const Conversation& conversation = conversations[conversationOf[i]];
        messages[conversation.start + filled[conversationOf[i]]++] = {mine[i].millis, mine[i].span};
    }
    mine = {};
    conversationOf = {};
    for (const Conversation& conversation : conversations) {
        if (conversation.messages < 2) continue;
        std::stable_sort(messages.begin() + conversation.start,
                         messages.begin() + conversation.start + conversation.messages,
                         [](const Message& a, const Message& b) { return a.millis < b.millis; });
    }
    return grouped;
}

// Where pieces of whole conversations of about kMessagesAPiece messages each begin, and the
// end.
std::vector<std::size_t> PiecesOf(const std::vector<Conversation>& conversations) {
    std::vector<std::size_t> pieces{0};
    for (std::size_t c = 0, inPiece = 0; c < conversations.size(); ++c) {
        inPiece += conversations[c].messages;
        if (inPiece >= kMessagesAPiece && c + 1 < conversations.size()) {
            pieces.push_back(c + 1);
            inPiece = 0;
        }
    }
    pieces.push_back(conversations.size());
    return pieces;
}

}  // namespace

HtmlConversations::~HtmlConversations() {
    if (gatherer_.joinable()) gatherer_.join();
}

void HtmlConversations::gatherNames(const ExportHead& head, const TextOptions& text) {
    if (gatherer_.joinable()) return;
    if (UsableCores() <= 1) {  // a build without threads
        names_ = CollectContactNames(head.tree, text);
        return;
    }
    gatherer_ =
        std::thread([this, &tree = head.tree, text] { names_ = CollectContactNames(tree, text); });
}

void HtmlConversations::expect(std::size_t messages) {
    std::lock_guard hold(lock_);
    ReserveLarge(noted_, noted_.size() + messages);
}

void HtmlConversations::note(const ExportHead& head, const RecordItem& item,
                             const DecodeContext& context) {
    // The direction, times and number alone: the texts are read when written.
    const SmsHead sms = ReadSmsHead(head.tree.image(), item.span);
    const auto millis = sms.sentByUser ? sms.sentMillis : sms.receivedMillis;
    const NotedMessage noted{static_cast<std::uint32_t>(item.database),
                             static_cast<std::uint32_t>(item.row), millis.value_or(0), item.span,
                             NumberKey(EightBitText(sms.number, true, context.text))};
    std::lock_guard hold(lock_);
    noted_.push_back(noted);
}

void HtmlConversations::write(const ExportHead& head, const DecodeContext& context,
                              std::string& out) {
    if (gatherer_.joinable()) gatherer_.join();
    // The messages of this database.
    std::vector<NotedMessage> mine;
    {
        std::lock_guard hold(lock_);
        auto others = std::stable_partition(
            noted_.begin(), noted_.end(),
            [&](const NotedMessage& n) { return n.database == head.database; });
        if (others == noted_.end()) {
            mine.swap(noted_);
        } else {
            mine.assign(noted_.begin(), others);
            noted_.erase(noted_.begin(), others);
        }
    }
    PutInTreeOrder(mine);
    const Grouped grouped = GroupConversations(head, context, std::move(mine));
    const std::vector<std::size_t> pieces = PiecesOf(grouped.conversations);
    const std::size_t count = pieces.size() - 1;
    ConversationWriter writers[2] = {{head, context, names_}, {head, context, names_}};
    auto write = [&](std::size_t thread, std::size_t piece, std::string& into) {
        for (std::size_t c = pieces[piece]; c < pieces[piece + 1]; ++c)
            writers[thread].write(into, grouped.conversations[c], grouped.messages.data());
    };
    auto written = [&] {
        if (head.flush) head.flush();
    };
    if (count >= 2 && UsableCores() > 1) {
        WriteInTurns(count, out, write, written);
    } else {
        for (std::size_t piece = 0; piece < count; ++piece) {
            write(0, piece, out);
            written();
        }
    }
}

}  // namespace orrelin
