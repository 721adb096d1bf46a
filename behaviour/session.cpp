// The session as texts: one record a line, fields apart by tabs, texts with
// their backslashes, tabs and line ends escaped, every number of the
// Worksheet as its bits (so it reads back exactly), and last a checksum of
// the lines after the header, so that a text cut short or altered is
// refused whole. The header names the format, which changes only when the
// records do; every format a released build wrote is read.
#include <algorithm>
#include <array>
#include <charconv>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <optional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "behaviour/window.h"
#include "report/report.h"

namespace behaviour {

namespace {

// Format 1 kept the whole session, the report too, under one key, with the
// program's version after its header; its blocks were 41 lines each.
constexpr std::string_view kFormat1 = "Quorvane session 1 ";
constexpr std::size_t kFormat1BlockLines = 41;
// Its controls, in the order it kept them, by name, so that a build with
// more controls or with others in between reads it too.
constexpr auto kFormat1Controls = std::to_array<std::string_view>(
    {"speakerPanel", "amplifierPanel", "limiterPanel", "diversosPanel", "speakerBrand", "speakerBrandCaption",
        "speakerModel", "speakerModelCaption", "speakerZnom", "speakerZnomCaption", "speakerPmax", "speakerPmaxCaption",
        "freqRec", "freqRecCaption", "freqDes", "freqDesCaption", "amplifierBrand", "amplifierBrandCaption",
        "amplifierModel", "amplifierModelCaption", "amplifierVin", "amplifierVinCaption", "amplifierZnom",
        "amplifierZnomCaption", "amplifierPmax", "amplifierPmaxCaption", "crestDb", "crestDbCaption", "limVolts",
        "limMillivolts", "limDbu", "limDbuRight", "limDbv", "limDbvRight", "attackSlow", "attackMedium", "attackFast",
        "releaseSlow", "releaseMedium", "releaseFast", "limVoltsCaption", "limMillivoltsNote", "limDbuCaption",
        "limDbvCaption", "attackSlowCaption", "attackSlowHeading", "attackMediumHeading", "attackFastHeading",
        "releaseSlowCaption", "statusLine1", "statusLine2", "statusLine3", "statusLine4", "statusLine5", "statusLine6",
        "speakerAceita", "amplifierAceita", "calcula", "recalcula", "listar", "sair", "voltar", "report"});
// Format 2 keeps the window's state under kSessionKey and each block under
// its own key, each block sealed with the previous block's checksum, so the
// state's record of the last one vouches for them all.
constexpr std::string_view kFormat2 = "Quorvane session 2";
constexpr std::string_view kBlockFormat2 = "Quorvane block 2";
const std::string kSessionKey = "quorvane-session";
constexpr std::string_view kCheck = "check\t";

// The Worksheet's numbers and texts as formats 1 and 2 keep them, in their
// order. A build that adds a value reads these and leaves its own at the
// start; one that writes others writes a format of its own.
using W = core::Worksheet;
constexpr std::array kFormat2Numbers{&W::SpkZnom, &W::SpkPmax, &W::FreqRec, &W::FreqDes, &W::AmpVin, &W::AmpZnom,
    &W::AmpPmax, &W::CrestDb, &W::SpkVavg, &W::AmpVmax, &W::SpkPavg, &W::GainLin, &W::SpkVpeak, &W::GainDb,
    &W::SpkPpeak, &W::CrestLin, &W::SpkVprog, &W::SpkPprog, &W::CrestMaxDb, &W::LimVout, &W::LimDbu, &W::LimDbv,
    &W::AttackSlow, &W::AttackMedium, &W::AttackFast, &W::ReleaseSlow, &W::ReleaseMedium, &W::ReleaseFast};
constexpr std::array kFormat2Texts{&W::SpkBrand, &W::SpkModel, &W::AmpBrand, &W::AmpModel};

constexpr const char* kNotResumed = "A sessão guardada nesta aba não pôde ser retomada: começa uma nova sessão.";
constexpr const char* kNotKept = "Esta aba não tem mais espaço para guardar a sessão: ela não sobreviverá se a "
                                 "página for recarregada. \u201cSair\u201d copia o relatório para o clipboard.";

std::string blockKey(std::size_t block) { return kSessionKey + ".block." + std::to_string(block + 1); }

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

// A header, its records and their checksum.
std::string sealed(std::string_view header, const std::string& body)
{
    return std::string(header) + '\n' + body + std::string(kCheck) + hex(checksum(body)) + '\n';
}

// The records after a text's header, if their checksum holds, one at a
// time, each with its tag.
class Reader {
public:
    // `text` without its header line.
    explicit Reader(std::string_view text)
    {
        const auto check = text.rfind(kCheck);
        if (check == std::string_view::npos ||
            text.substr(check) != std::string(kCheck) + hex(checksum(text.substr(0, check))) + '\n')
            return;
        body = text.substr(0, check);
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

// The text after `header`'s line, or nullopt.
std::optional<std::string_view> after(std::string_view text, std::string_view header)
{
    if (!text.starts_with(header))
        return std::nullopt;
    const auto end = text.find('\n');
    if (end == std::string_view::npos)
        return std::nullopt;
    return text.substr(end + 1);
}

// Of a control's state, what a session changes: the text of the controls
// whose text the window writes, the colour, the lock and whether it shows;
// the place and the size of text only where they left the start (the
// report's "Voltar", panel 4's last line). The rest, captions and layout,
// is the build's own, so a newer build draws a session with its own.
bool textIsTheSessions(ControlId id)
{
    const Layout& l = Window::controls();
    const Kind kind = l.controls[id].kind;
    return kind == Kind::Entry || kind == Kind::Result ||
        std::find(l.statusLines.begin(), l.statusLines.end(), id) != l.statusLines.end();
}

Fields fieldsOf(ControlId id, const ControlState& s)
{
    const ControlState& start = Window::controls().controls[id].start;
    const auto str = [](auto n) { return std::to_string(n); };
    const bool moved = s.place != start.place || s.fontPoints != start.fontPoints;
    Fields f{Window::controls().controls[id].objectName, textIsTheSessions(id) ? s.text : "",
        str(static_cast<int>(s.colour)), str(int{s.readOnly}), str(int{s.hidden})};
    const std::array place{s.place.left, s.place.top, s.place.width, s.place.height, s.fontPoints};
    std::transform(
        place.begin(), place.end(), std::back_inserter(f), [&](int n) { return moved ? str(n) : std::string(); });
    return f;
}

// A state read back over the control's start, from its fields: text,
// colour, read-only, hidden, and the place and size of text (all empty for
// the start's).
std::optional<ControlState> stateOver(ControlId id, const Fields& f)
{
    constexpr int kMost = INT32_MAX;
    ControlState s = Window::controls().controls[id].start;
    const auto colour = numberIn(f[1], 0, static_cast<int>(kColourCount) - 1);
    const auto readOnly = flag(f[2]), hidden = flag(f[3]);
    if (!colour || !readOnly || !hidden)
        return std::nullopt;
    if (textIsTheSessions(id))
        s.text = f[0];
    s.colour = static_cast<Colour>(*colour);
    s.readOnly = *readOnly;
    s.hidden = *hidden;
    if (std::all_of(f.begin() + 4, f.end(), [](const std::string& n) { return n.empty(); }))
        return s;
    std::array<std::optional<int>, 5> n;
    std::transform(f.begin() + 4, f.end(), n.begin(), [](const std::string& v) { return numberIn(v, -kMost, kMost); });
    if (!std::all_of(n.begin(), n.end(), [](const auto& v) { return v.has_value(); }))
        return std::nullopt;
    s.place = {*n[0], *n[1], *n[2], *n[3]};
    s.fontPoints = *n[4];
    return s;
}

ControlId idOf(std::string_view objectName)
{
    const auto& controls = Window::controls().controls;
    const auto found = std::find_if(
        controls.begin(), controls.end(), [objectName](const Control& c) { return c.objectName == objectName; });
    return found == controls.end() ? kNoControl : static_cast<ControlId>(found - controls.begin());
}

std::vector<ControlState> startStates()
{
    const auto& controls = Window::controls().controls;
    std::vector<ControlState> states(controls.size());
    std::transform(controls.begin(), controls.end(), states.begin(), [](const Control& c) { return c.start; });
    return states;
}

// The Worksheet's numbers as their bits, and its texts, as formats 1 and 2
// keep them.
bool readWorksheet(core::Worksheet& ws, const std::optional<Fields>& numbers, const std::optional<Fields>& texts)
{
    if (!numbers || !texts)
        return false;
    for (std::size_t i = 0; i < kFormat2Numbers.size(); ++i) {
        const auto bits = numberIn<std::uint32_t>((*numbers)[i], 0, UINT32_MAX, 16);
        if (!bits)
            return false;
        ws.*kFormat2Numbers[i] = floatOf(*bits);
    }
    for (std::size_t i = 0; i < kFormat2Texts.size(); ++i)
        ws.*kFormat2Texts[i] = (*texts)[i];
    return true;
}

// The records both formats open with: the decimal separator, the focus,
// the block count, whether the report was copied and one more field of
// each format's own, and the Worksheet, read into `ws`.
struct Opening {
    char separator;     // cppcheck-suppress unusedStructMember ; read by the window's readers
    std::string focus;  // cppcheck-suppress unusedStructMember ; read by the window's readers
    std::int32_t count;
    bool copied;       // cppcheck-suppress unusedStructMember ; read by the window's readers
    std::string last;  // cppcheck-suppress unusedStructMember ; read by the window's readers
};

std::optional<Opening> readOpening(Reader& in, core::Worksheet& ws)
{
    const auto separator = in.next("separator", 1);
    const auto focus = in.next("focus", 1);
    const auto blocks = in.next("blocks", 3);
    const auto numbers = in.next("numbers", kFormat2Numbers.size());
    const auto texts = in.next("texts", kFormat2Texts.size());
    if (!separator || (*separator)[0].size() != 1 || !focus || !blocks || !readWorksheet(ws, numbers, texts))
        return std::nullopt;
    const auto count = numberIn<std::int32_t>((*blocks)[0], 1, INT32_MAX);
    const auto copied = flag((*blocks)[1]);
    if (!count || !copied)
        return std::nullopt;
    return Opening{(*separator)[0][0], (*focus)[0], *count, *copied, (*blocks)[2]};
}

}  // namespace

std::string startFailure(std::string_view what)
{
    return "O Quorvane carregou, mas não pôde começar (" + std::string(what) + "). Recarregue a página.";
}

std::string Window::stateRecord() const
{
    Record r;
    r.add("separator", {std::string(1, nf.decimalSeparator)});
    r.add("focus", {controls().controls[focused].objectName});
    r.add("blocks",
        {std::to_string(AdjustCount), std::to_string(int{onClipboard}), blockSums.empty() ? "" : blockSums.back()});
    const WorksheetValues& values = worksheetValues();
    Fields numbers(values.numbers.size()), texts(values.texts.size());
    std::transform(values.numbers.begin(), values.numbers.end(), numbers.begin(),
        [this](core::WorksheetNumber n) { return hex(bitsOf(ws.*n)); });
    std::transform(
        values.texts.begin(), values.texts.end(), texts.begin(), [this](core::WorksheetText t) { return ws.*t; });
    r.add("numbers", numbers);
    r.add("texts", texts);
    r.add("title", {report.front()});
    for (ControlId id = 0; id < states.size(); ++id)
        r.add("control", fieldsOf(id, states[id]));
    return sealed(kFormat2, r.out);
}

// A block's lines, after the checksum of the block before it.
std::string Window::blockRecord(std::size_t block) const
{
    Record r;
    r.add("after", {block == 0 ? "" : blockSums[block - 1]});
    const std::size_t end = block + 1 < blockCount() ? blockStarts[block + 1] : report.size();
    for (std::size_t i = blockStarts[block]; i < end; ++i)
        r.add("report", {report[i]});
    return sealed(kBlockFormat2, r.out);
}

StoreSteps Window::sessionSteps()
{
    StoreSteps steps;
    if (std::exchange(clearStore, false)) {
        steps.push_back({StoreStep::Kind::Clear, kSessionKey, {}});
        blockSums.clear();
    }
    if (sessionOver || storeFull)
        return steps;
    while (blockSums.size() < blockCount()) {
        std::string record = blockRecord(blockSums.size());
        blockSums.push_back(hex(checksum(record)));
        steps.push_back({StoreStep::Kind::Set, blockKey(blockSums.size() - 1), std::move(record)});
    }
    steps.push_back({StoreStep::Kind::Set, kSessionKey, stateRecord()});
    return steps;
}

Effects Window::storeRefused()
{
    if (!storeFull) {
        storeFull = true;
        clearStore = true;
        say(Effect::Kind::Notice, kNotKept);
    }
    return std::exchange(effects, {});
}

Effects Window::resume(const StoreReader& read)
{
    const std::optional<std::string> kept = read(kSessionKey);
    if (kept && !readSession(*kept, read)) {
        clearStore = true;
        say(Effect::Kind::Notice, kNotResumed);
    }
    return redraw();
}

bool Window::readSession(const std::string& state, const StoreReader& read)
{
    Window next = *this;
    const bool read1 = next.readFormat1(state);
    if (!read1 && !next.readFormat2(state, read))
        return false;
    // The title, then whole blocks, one for each "Calcula" before this one.
    if (next.blockCount() + 1 != static_cast<std::uint64_t>(next.AdjustCount) || next.report.empty())
        return false;
    next.reportLinesGiven = 0;
    *this = std::move(next);
    return true;
}

bool Window::readFormat1(std::string_view snapshot)
{
    const auto text = after(snapshot, kFormat1);
    if (!text)
        return false;
    Reader in(*text);
    const auto opening = readOpening(in, ws);
    if (!opening)
        return false;
    nf.decimalSeparator = opening->separator;
    AdjustCount = opening->count;
    onClipboard = opening->copied;
    // Its controls, each state whole: text, place, colour, size of text,
    // read-only, hidden; one this build does not have is passed over, and
    // one it did not have keeps its start. Its focus was a control's index.
    const auto focusAt = numberIn<std::size_t>(opening->focus, 0, kFormat1Controls.size() - 1);
    if (!focusAt)
        return false;
    const ControlId focusId = idOf(kFormat1Controls[*focusAt]);
    focused = focusId == kNoControl ? controls().id(core::Entry::SpkBrand) : focusId;
    states = startStates();
    for (const std::string_view name : kFormat1Controls) {
        const auto f = in.next("control", 9);
        if (!f)
            return false;
        const ControlId id = idOf(name);
        if (id == kNoControl)
            continue;
        // Read as format 2 is: the place and size of text where they left the start.
        const Control& control = controls().controls[id];
        const Place& at = control.start.place;
        const Fields start{std::to_string(at.left), std::to_string(at.top), std::to_string(at.width),
            std::to_string(at.height), std::to_string(control.start.fontPoints)};
        Fields read{(*f)[0], (*f)[5], (*f)[7], (*f)[8], (*f)[1], (*f)[2], (*f)[3], (*f)[4], (*f)[6]};
        if (std::equal(start.begin(), start.end(), read.begin() + 4))
            std::fill(read.begin() + 4, read.end(), "");
        const auto s = stateOver(id, read);
        if (!s)
            return false;
        states[id] = *s;
    }
    report.clear();
    blockStarts.clear();
    while (!in.atEnd()) {
        const auto line = in.next("report", 1);
        if (!line)
            return false;
        if (!report.empty() && (report.size() - 1) % kFormat1BlockLines == 0)
            blockStarts.push_back(report.size());
        report.push_back((*line)[0]);
    }
    // Its blocks were kept in its one text: they are stored anew.
    blockSums.clear();
    return report.size() == 1 + blockCount() * kFormat1BlockLines;
}

bool Window::readFormat2(std::string_view state, const StoreReader& read)
{
    const auto text = after(state, kFormat2);
    if (!text)
        return false;
    Reader in(*text);
    const auto opening = readOpening(in, ws);
    const auto title = in.next("title", 1);
    if (!opening || !title)
        return false;
    nf.decimalSeparator = opening->separator;
    AdjustCount = opening->count;
    onClipboard = opening->copied;
    // Controls by name: one this build does not have is passed over, and
    // one the session does not name keeps its start.
    states = startStates();
    while (!in.atEnd()) {
        const auto f = in.next("control", 10);
        if (!f)
            return false;
        const ControlId id = idOf(f->front());
        if (id == kNoControl)
            continue;
        const auto s = stateOver(id, Fields(f->begin() + 1, f->end()));
        if (!s)
            return false;
        states[id] = *s;
    }
    const ControlId focusId = idOf(opening->focus);
    focused = focusId == kNoControl ? controls().id(core::Entry::SpkBrand) : focusId;
    report = {(*title)[0]};
    blockStarts.clear();
    blockSums.clear();
    // Each block vouches for the one before it, and the state for the last.
    std::string lastCheck;
    for (std::int32_t b = 1; b < AdjustCount; ++b) {
        const auto block = read(blockKey(static_cast<std::size_t>(b - 1)));
        const auto body = block ? after(*block, kBlockFormat2) : std::nullopt;
        if (!body)
            return false;
        Reader lines(*body);
        const auto before = lines.next("after", 1);
        if (!before || (*before)[0] != lastCheck)
            return false;
        blockStarts.push_back(report.size());
        while (!lines.atEnd()) {
            const auto line = lines.next("report", 1);
            if (!line)
                return false;
            report.push_back((*line)[0]);
        }
        if (report.size() == blockStarts.back())
            return false;
        lastCheck = hex(checksum(*block));
        blockSums.push_back(lastCheck);
    }
    return opening->last == lastCheck;
}

}  // namespace behaviour
