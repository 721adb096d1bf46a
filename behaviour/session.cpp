// The session as text: one record a line, fields apart by tabs, texts with
// their backslashes, tabs and line ends escaped, every number of the
// Worksheet as its bits (so it reads back exactly), and last a checksum of
// the lines after the header, so that a snapshot cut short or altered is
// refused whole.
#include <algorithm>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "behaviour/window.h"
#include "report/report.h"

namespace behaviour {

namespace {

constexpr std::string_view kHeader = "Quorvane session 1 " QUORVANE_VERSION;
constexpr std::string_view kCheck = "check\t";

using Fields = std::vector<std::string>;

void appendEscaped(std::string& out, std::string_view text)
{
    for (const char c : text) {
        switch (c) {
        case '\\':
            out += "\\\\";
            break;
        case '\t':
            out += "\\t";
            break;
        case '\n':
            out += "\\n";
            break;
        case '\r':
            out += "\\r";
            break;
        default:
            out += c;
        }
    }
}

// Fields of one line; nullopt for an escape the writer never makes.
std::optional<Fields> splitLine(std::string_view line)
{
    Fields fields(1);
    for (std::size_t i = 0; i < line.size(); ++i) {
        const char c = line[i];
        if (c == '\t') {
            fields.emplace_back();
        } else if (c != '\\') {
            fields.back() += c;
        } else if (++i < line.size()) {
            const std::string_view escapes = "\\\\t\tn\nr\r";
            const auto at = escapes.find(line[i]);
            if (at == std::string_view::npos || at % 2 != 0)
                return std::nullopt;
            fields.back() += escapes[at + 1];
        } else {
            return std::nullopt;
        }
    }
    return fields;
}

struct Record {
    std::string out;
    void add(std::string_view tag, const Fields& fields)
    {
        out += tag;
        for (const std::string& f : fields) {
            out += '\t';
            appendEscaped(out, f);
        }
        out += '\n';
    }
};

std::uint64_t checksum(std::string_view text)
{
    std::uint64_t hash = 0xcbf29ce484222325U;  // FNV-1a
    for (const char c : text) {
        hash ^= static_cast<unsigned char>(c);
        hash *= 0x100000001b3U;
    }
    return hash;
}

// A float's bits and back (emscripten's library has no std::bit_cast).
std::uint32_t bitsOf(float f)
{
    std::uint32_t bits = 0;
    std::memcpy(&bits, &f, sizeof bits);
    return bits;
}

float floatOf(std::uint32_t bits)
{
    float f = 0;
    std::memcpy(&f, &bits, sizeof f);
    return f;
}

template <typename Number> std::string hex(Number n)
{
    char digits[2 * sizeof(Number)];
    auto [end, ec] = std::to_chars(std::begin(digits), std::end(digits), n, 16);
    (void)ec;  // the buffer holds every value of the type
    return {digits, end};
}

// A whole field as a number of the type, in [low, high].
template <typename Number>
std::optional<Number> numberIn(const std::string& field, Number low, Number high, int base = 10)
{
    Number n{};
    const auto [end, ec] = std::from_chars(field.data(), field.data() + field.size(), n, base);
    if (ec != std::errc() || end != field.data() + field.size() || field.empty() || n < low || n > high)
        return std::nullopt;
    return n;
}

std::optional<bool> flag(const std::string& field)
{
    if (field != "0" && field != "1")
        return std::nullopt;
    return field == "1";
}

// The lines after a snapshot's header, if their checksum holds, one at a
// time, each with its tag.
class Reader {
public:
    explicit Reader(std::string_view snapshot)
    {
        const auto check = snapshot.rfind(kCheck);
        if (check == std::string_view::npos ||
            snapshot.substr(check) != std::string(kCheck) + hex(checksum(snapshot.substr(0, check))) + '\n')
            return;
        body = snapshot.substr(0, check);
        ok = true;
    }
    // The next line's fields after `tag`, exactly `count` of them.
    std::optional<Fields> next(std::string_view tag, std::size_t count)
    {
        const auto end = body.find('\n');
        if (!ok || end == std::string_view::npos)
            return std::nullopt;
        const std::string_view line = body.substr(0, end);
        body.remove_prefix(end + 1);
        auto fields = splitLine(line);
        if (!fields || fields->front() != tag || fields->size() != count + 1)
            return std::nullopt;
        fields->erase(fields->begin());
        return fields;
    }
    bool atEnd() const { return ok && body.empty(); }

private:
    std::string_view body;
    bool ok = false;
};

Fields fieldsOf(const ControlState& s)
{
    const auto str = [](auto n) { return std::to_string(n); };
    return {s.text, str(s.place.left), str(s.place.top), str(s.place.width), str(s.place.height),
        str(static_cast<int>(s.colour)), str(s.fontPoints), str(int{s.readOnly}), str(int{s.hidden})};
}

std::optional<ControlState> stateOf(const Fields& f)
{
    constexpr int kMost = INT32_MAX;
    const auto left = numberIn(f[1], -kMost, kMost), top = numberIn(f[2], -kMost, kMost);
    const auto width = numberIn(f[3], -kMost, kMost), height = numberIn(f[4], -kMost, kMost);
    const auto colour = numberIn(f[5], 0, static_cast<int>(kColourCount) - 1);
    const auto points = numberIn(f[6], -kMost, kMost);
    const auto readOnly = flag(f[7]), hidden = flag(f[8]);
    if (!left || !top || !width || !height || !colour || !points || !readOnly || !hidden)
        return std::nullopt;
    return ControlState{
        f[0], {*left, *top, *width, *height}, static_cast<Colour>(*colour), *points, *readOnly, *hidden};
}

}  // namespace

std::string Window::snapshot() const
{
    if (sessionOver)
        return {};
    Record r;
    r.add("separator", {std::string(1, nf.decimalSeparator)});
    r.add("focus", {std::to_string(focused)});
    r.add("blocks", {std::to_string(AdjustCount), std::to_string(int{onClipboard}), std::to_string(reportLinesGiven)});
    const WorksheetValues& values = worksheetValues();
    Fields numbers(values.numbers.size()), texts(values.texts.size());
    std::transform(values.numbers.begin(), values.numbers.end(), numbers.begin(),
        [this](core::WorksheetNumber n) { return hex(bitsOf(ws.*n)); });
    std::transform(
        values.texts.begin(), values.texts.end(), texts.begin(), [this](core::WorksheetText t) { return ws.*t; });
    r.add("numbers", numbers);
    r.add("texts", texts);
    for (const ControlState& s : states)
        r.add("control", fieldsOf(s));
    for (const std::string& line : report)
        r.add("report", {line});
    return std::string(kHeader) + '\n' + r.out + std::string(kCheck) + hex(checksum(r.out)) + '\n';
}

bool Window::restore(std::string_view snapshot)
{
    // Another version's snapshot may hold other controls or values.
    if (!snapshot.starts_with(std::string(kHeader) + '\n'))
        return false;
    Reader in(snapshot.substr(kHeader.size() + 1));
    Window next = *this;
    const auto& values = worksheetValues();
    const auto separator = in.next("separator", 1);
    const auto focusRecord = in.next("focus", 1);
    const auto blocks = in.next("blocks", 3);
    const auto numbers = in.next("numbers", values.numbers.size());
    const auto texts = in.next("texts", values.texts.size());
    if (!separator || (*separator)[0].size() != 1 || !focusRecord || !blocks || !numbers || !texts)
        return false;
    const auto focusId = numberIn<ControlId>((*focusRecord)[0], 0, states.size() - 1);
    const auto count = numberIn<std::int32_t>((*blocks)[0], 1, INT32_MAX);
    const auto copied = flag((*blocks)[1]);
    const auto given = numberIn<std::size_t>((*blocks)[2], 0, SIZE_MAX);
    if (!focusId || !count || !copied || !given)
        return false;
    next.nf.decimalSeparator = (*separator)[0][0];
    next.focused = *focusId;
    next.AdjustCount = *count;
    next.onClipboard = *copied;
    for (std::size_t i = 0; i < values.numbers.size(); ++i) {
        const auto bits = numberIn<std::uint32_t>((*numbers)[i], 0, UINT32_MAX, 16);
        if (!bits)
            return false;
        next.ws.*values.numbers[i] = floatOf(*bits);
    }
    for (std::size_t i = 0; i < values.texts.size(); ++i)
        next.ws.*values.texts[i] = (*texts)[i];
    for (ControlState& s : next.states) {
        const auto fields = in.next("control", 9);
        const auto read = fields ? stateOf(*fields) : std::nullopt;
        if (!read)
            return false;
        s = *read;
    }
    next.report.clear();
    while (!in.atEnd()) {
        const auto line = in.next("report", 1);
        if (!line)
            return false;
        next.report.push_back((*line)[0]);
    }
    // The title, and a whole block for each "Calcula" before this one.
    if (next.report.size() != 1 + static_cast<std::uint64_t>(*count - 1) * report::kBlockLineCount ||
        *given > next.report.size())
        return false;
    next.reportLinesGiven = *given;
    *this = std::move(next);
    return true;
}

}  // namespace behaviour
