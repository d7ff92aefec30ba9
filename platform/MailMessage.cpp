// The mime functions (platform/MailComposer.h): the message as GMime builds and encodes it.
#include <fcntl.h>
#include <gmime/gmime.h>

#include <chrono>
#include <memory>
#include <mutex>

#include "platform/MailComposer.h"

namespace {

// Header texts stay on their line: a typed line break would otherwise start a new header,
// and GMime would faithfully encode it into the text.
std::string oneLine(const std::string& s) {
    std::string out = s;
    for (char& c : out)
        if (static_cast<unsigned char>(c) < 0x20 || c == 0x7f) c = ' ';
    return out;
}

void initMime() {
    static std::once_flag once;
    std::call_once(once, [] { g_mime_init(); });
}

struct Unref {
    void operator()(void* object) const {
        if (object) g_object_unref(object);
    }
};
template <class T>
using GPtr = std::unique_ptr<T, Unref>;

// The entries of an address list: split at the commas (and semicolons, which end only a
// group) that are not inside a quoted string, a comment, angle brackets or a group.
std::vector<std::string> listEntries(const std::string& text) {
    std::vector<std::string> out(1);
    bool quoted = false, group = false;
    int comment = 0, angle = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        const char c = text[i];
        if ((quoted || comment > 0) && c == '\\' && i + 1 < text.size()) {
            out.back() += c;
            out.back() += text[++i];
            continue;
        }
        if (quoted) {
            quoted = c != '"';
        } else if (c == '(') {
            ++comment;
        } else if (c == ')' && comment > 0) {
            --comment;
        } else if (comment == 0) {
            if (c == '"') {
                quoted = true;
            } else if (c == '<') {
                ++angle;
            } else if (c == '>' && angle > 0) {
                --angle;
            } else if (angle == 0 && c == ':') {
                group = true;
            } else if (angle == 0 && group && c == ';') {
                group = false;
            } else if (angle == 0 && !group && (c == ',' || c == ';')) {
                out.emplace_back();
                continue;
            }
        }
        out.back() += c;
    }
    return out;
}

// A mailbox's address as the envelope names it (the domain in its ASCII form); nothing
// when it is not one.
std::optional<std::string> envelopeAddress(InternetAddress* a) {
    if (!INTERNET_ADDRESS_IS_MAILBOX(a)) return std::nullopt;
    const char* addr = internet_address_mailbox_get_idn_addr(INTERNET_ADDRESS_MAILBOX(a));
    const std::string s = addr ? addr : "";
    const auto at = s.find('@');
    if (at == 0 || at == std::string::npos || at + 1 == s.size()) return std::nullopt;
    for (unsigned char c : s)
        if (c <= 0x20 || c == 0x7f || c == '<' || c == '>') return std::nullopt;
    return s;
}

// Every mailbox of a list, groups opened; nothing when one is not an address.
std::optional<std::vector<std::string>> mailboxes(InternetAddressList* list) {
    std::vector<std::string> out;
    for (int i = 0; i < internet_address_list_length(list); ++i) {
        InternetAddress* a = internet_address_list_get_address(list, i);
        if (INTERNET_ADDRESS_IS_GROUP(a)) {
            auto inner = mailboxes(internet_address_group_get_members(INTERNET_ADDRESS_GROUP(a)));
            if (!inner) return std::nullopt;
            out.insert(out.end(), inner->begin(), inner->end());
        } else if (auto one = envelopeAddress(a)) {
            out.push_back(*one);
        } else {
            return std::nullopt;
        }
    }
    return out;
}

// The entries joined by commas and read as one address list. GMime skips what it cannot
// read, so each entry is read on its own: one that is not exactly one address (or group)
// makes the list unreadable instead of silently shorter.
GPtr<InternetAddressList> addressList(const std::vector<std::string>& entries) {
    initMime();
    std::string text;
    for (const auto& e : entries) text += (text.empty() ? "" : ", ") + oneLine(e);
    GPtr<InternetAddressList> all(internet_address_list_new());
    for (const auto& entry : listEntries(text)) {
        if (entry.find_first_not_of(' ') == std::string::npos) continue;
        GPtr<InternetAddressList> one(internet_address_list_parse(nullptr, entry.c_str()));
        if (!one || internet_address_list_length(one.get()) != 1 || !mailboxes(one.get()))
            return nullptr;
        internet_address_list_append(all.get(), one.get());
    }
    return all;
}

}  // namespace

namespace mime {

std::optional<std::vector<std::string>> envelopeRecipients(const std::vector<std::string>& to) {
    auto list = addressList(to);
    if (!list) return std::nullopt;
    return mailboxes(list.get());
}

namespace {

// The message written to `out`; false when an address is not one, a file cannot be read or
// the stream refuses the bytes.
bool write(const MailDraft& draft, const std::string& from,
           std::chrono::system_clock::time_point date, const std::string& messageId, bool unsent,
           GMimeStream* out) {
    auto sender = addressList({from});
    auto to = addressList(draft.to);
    if (!sender || internet_address_list_length(sender.get()) != 1 || !to) return false;

    GPtr<GMimeMessage> m(g_mime_message_new(TRUE));
    internet_address_list_append(g_mime_message_get_addresses(m.get(), GMIME_ADDRESS_TYPE_FROM),
                                 sender.get());
    if (internet_address_list_length(to.get()) == 0) {
        // A draft without recipients says so, as mail programs write it.
        GPtr<InternetAddress> nobody(internet_address_group_new("undisclosed-recipients"));
        internet_address_list_add(to.get(), nobody.get());
    }
    internet_address_list_append(g_mime_message_get_addresses(m.get(), GMIME_ADDRESS_TYPE_TO),
                                 to.get());
    g_mime_message_set_subject(m.get(), oneLine(draft.subject).c_str(), "utf-8");
    GDateTime* when = g_date_time_new_from_unix_utc(std::chrono::system_clock::to_time_t(date));
    g_mime_message_set_date(m.get(), when);
    g_date_time_unref(when);
    std::string id = oneLine(messageId);
    if (id.size() > 1 && id.front() == '<' && id.back() == '>') id = id.substr(1, id.size() - 2);
    g_mime_message_set_message_id(m.get(), id.c_str());
    if (unsent) g_mime_object_set_header(GMIME_OBJECT(m.get()), "X-Unsent", "1", nullptr);

    GPtr<GMimeMultipart> parts(g_mime_multipart_new_with_subtype("mixed"));
    GPtr<GMimeTextPart> body(
        g_mime_text_part_new_with_subtype(draft.bodyIsHTML ? "html" : "plain"));
    g_mime_text_part_set_text(body.get(), draft.body.c_str());
    g_mime_part_set_content_encoding(GMIME_PART(body.get()), GMIME_CONTENT_ENCODING_BASE64);
    g_mime_multipart_add(parts.get(), GMIME_OBJECT(body.get()));
    for (const auto& a : draft.attachments) {
        std::string type = oneLine(a.mimeType);
        const auto slash = type.find('/');
        if (slash == std::string::npos || slash == 0 || slash + 1 == type.size())
            type = "application/octet-stream";
        GPtr<GMimePart> part(g_mime_part_new_with_type(type.substr(0, type.find('/')).c_str(),
                                                       type.substr(type.find('/') + 1).c_str()));
        g_mime_part_set_filename(part.get(), oneLine(a.fileName).c_str());
        // A file is read as the message is written, never whole; one that cannot be opened
        // leaves no message rather than one without it.
        GPtr<GMimeStream> bytes(
            a.path.empty()
                ? g_mime_stream_mem_new_with_buffer(a.bytes.data(), a.bytes.size())
                : g_mime_stream_fs_open(a.path.c_str(), O_RDONLY | O_CLOEXEC, 0, nullptr));
        if (!bytes) return false;
        GPtr<GMimeDataWrapper> content(
            g_mime_data_wrapper_new_with_stream(bytes.get(), GMIME_CONTENT_ENCODING_DEFAULT));
        g_mime_part_set_content(part.get(), content.get());
        g_mime_part_set_content_encoding(part.get(), GMIME_CONTENT_ENCODING_BASE64);
        g_mime_multipart_add(parts.get(), GMIME_OBJECT(part.get()));
    }
    g_mime_message_set_mime_part(m.get(), GMIME_OBJECT(parts.get()));

    GMimeFormatOptions* format = g_mime_format_options_clone(nullptr);
    g_mime_format_options_set_newline_format(format, GMIME_NEWLINE_FORMAT_DOS);
    const bool written = g_mime_object_write_to_stream(GMIME_OBJECT(m.get()), format, out) >= 0 &&
                         g_mime_stream_flush(out) == 0;
    g_mime_format_options_free(format);
    return written;
}

}  // namespace

std::optional<std::string> buildMessage(const MailDraft& draft, const std::string& from,
                                        std::chrono::system_clock::time_point date,
                                        const std::string& messageId, bool unsent) {
    GPtr<GMimeStream> out(g_mime_stream_mem_new());
    if (!write(draft, from, date, messageId, unsent, out.get())) return std::nullopt;
    GByteArray* array = g_mime_stream_mem_get_byte_array(GMIME_STREAM_MEM(out.get()));
    return std::string(reinterpret_cast<const char*>(array->data), array->len);
}

bool writeMessage(const MailDraft& draft, const std::string& from,
                  std::chrono::system_clock::time_point date, const std::string& messageId,
                  bool unsent, std::FILE* file) {
    initMime();
    GPtr<GMimeStream> out(g_mime_stream_file_new(file));
    g_mime_stream_file_set_owner(GMIME_STREAM_FILE(out.get()), FALSE);  // the caller closes it
    return write(draft, from, date, messageId, unsent, out.get());
}

}  // namespace mime
