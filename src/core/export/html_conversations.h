#pragma once

// The HTML page's messages as conversations: one per number, in the order their numbers first
// appear, each in time order. The writers of a run note every message as they meet it (on
// either thread); once its database is done, its conversations are written in one go.

#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "decoders/decode_context.h"
#include "export/contact_names.h"
#include "ipd/record_index.h"

namespace orrelin {

struct ExportHead;
struct RecordItem;

// What is noted of a message until its conversation is written.
struct NotedMessage {
    std::uint32_t database;
    std::uint32_t row;
    std::uint64_t millis;  // when it reached the handheld, or left it
    RecordSpan span;
    // The number as NumberKey makes it: 0 for one to be read again when grouped.
    std::uint64_t key;
};

class HtmlConversations {
  public:
    HtmlConversations() = default;
    HtmlConversations(const HtmlConversations&) = delete;
    HtmlConversations& operator=(const HtmlConversations&) = delete;
    ~HtmlConversations();

    // Starts reading the names of the backup's contacts for the conversations' titles, on a
    // thread of its own; write() waits for them.
    void gatherNames(const ExportHead& head, const TextOptions& text);
    // Room for the notes of `messages` more messages; on any thread.
    void expect(std::size_t messages);
    // Notes a message's number and time for its conversation; on any thread.
    void note(const ExportHead& head, const RecordItem& item, const DecodeContext& context);
    // Writes the conversations of the messages noted of database `head.database`, their texts
    // read with `context`, handing what is written on to head.flush as it grows.
    void write(const ExportHead& head, const DecodeContext& context, std::string& out);

  private:
    std::mutex lock_;
    std::vector<NotedMessage> noted_;
    ContactNames names_;
    std::thread gatherer_;
};

}  // namespace orrelin
