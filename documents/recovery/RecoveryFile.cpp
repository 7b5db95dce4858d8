#include "RecoveryFile.h"

#include "Rtf.h"

#include <charconv>

namespace vela::recovery {
namespace {

constexpr std::string_view Magic = "VELA RECOVERY 1\n";
constexpr std::string_view End = "end\n";

void appendField(std::string& out, std::string_view name, std::string_view bytes) {
    out.append(name).append(" ").append(std::to_string(bytes.size())).append("\n").append(bytes).append("\n");
}

/// Reads the file's fields in order; any mismatch leaves it failed for good.
class Reader {
public:
    explicit Reader(std::string_view bytes) : m_rest(bytes) {}

    /// Takes `expected` when it comes next; otherwise leaves everything as it was.
    bool skip(std::string_view expected) {
        if (!m_ok || !m_rest.starts_with(expected)) return false;
        m_rest.remove_prefix(expected.size());
        return true;
    }
    bool literal(std::string_view expected) {
        m_ok = m_ok && m_rest.starts_with(expected);
        if (m_ok) m_rest.remove_prefix(expected.size());
        return m_ok;
    }
    /// A number followed by one of `terminators`; lastTerminator() tells which.
    template <typename Number> Number number(std::string_view terminators) {
        Number value{};
        if (!m_ok) return value;
        const auto [end, error] = std::from_chars(m_rest.data(), m_rest.data() + m_rest.size(), value);
        m_ok = error == std::errc() && end != m_rest.data() && end < m_rest.data() + m_rest.size() &&
               terminators.find(*end) != std::string_view::npos;
        if (m_ok) {
            m_last = *end;
            m_rest.remove_prefix(std::size_t(end - m_rest.data()) + 1);
        }
        return value;
    }
    char lastTerminator() const { return m_last; }
    std::string field(std::string_view name) {
        if (!literal(name) || !literal(" ")) return {};
        const auto length = number<std::uint64_t>("\n");
        m_ok = m_ok && length < m_rest.size(); // the bytes and their line end
        if (!m_ok) return {};
        std::string value(m_rest.substr(0, std::size_t(length)));
        m_rest.remove_prefix(std::size_t(length));
        literal("\n");
        return value;
    }
    bool atEnd() const { return m_ok && m_rest.empty(); }
    bool ok() const { return m_ok; }

private:
    std::string_view m_rest;
    bool m_ok = true;
    char m_last = 0;
};

} // namespace

std::string encode(const RecoveryContent& content) {
    std::string out;
    out.reserve(content.rtf.size() + content.sourcePath.size() + 200);
    out.append(Magic);
    out.append("saved ").append(std::to_string(content.savedAtMs)).append("\n");
    appendField(out, "source", content.sourcePath);
    if (const auto& f = content.sourceFile)
        out.append("file ")
            .append(std::to_string(f->size) + " " + std::to_string(f->modifiedSeconds) + " " +
                    std::to_string(f->modifiedNanoseconds) + " " + std::to_string(f->inode) + " " +
                    std::to_string(f->device) + " " + std::to_string(f->changedSeconds) + " " +
                    std::to_string(f->changedNanoseconds))
            .append("\n");
    else
        out.append("file none\n");
    appendField(out, "rtf", content.rtf);
    out.append(End);
    return out;
}

std::optional<RecoveryContent> decode(std::string_view bytes) {
    Reader in(bytes);
    RecoveryContent content;
    in.literal(Magic);
    in.literal("saved ");
    content.savedAtMs = in.number<std::int64_t>("\n");
    content.sourcePath = in.field("source");
    in.literal("file ");
    if (!in.skip("none\n")) {
        files::FileIdentity f;
        f.size = in.number<std::int64_t>(" ");
        f.modifiedSeconds = in.number<std::int64_t>(" ");
        f.modifiedNanoseconds = in.number<std::int64_t>(" ");
        f.inode = in.number<std::uint64_t>(" ");
        f.device = in.number<std::uint64_t>(" \n");
        // Copies of earlier versions end here; without a change time the file counts as changed.
        if (in.ok() && in.lastTerminator() == ' ') {
            f.changedSeconds = in.number<std::int64_t>(" ");
            f.changedNanoseconds = in.number<std::int64_t>("\n");
        }
        content.sourceFile = f;
    }
    content.rtf = in.field("rtf");
    in.literal(End);
    // The pane's content is RTF from our own writer; anything else is no copy of it.
    if (!in.atEnd() || !rtf::looksLikeRtf(content.rtf)) return std::nullopt;
    return content;
}

} // namespace vela::recovery
