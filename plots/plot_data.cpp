// Reading korvo's result files through the record reader.
//
// Record layout. A free-format record of more than four reals continues on
// the next line, so a record of N values takes ceil(N/4) lines: four values
// on each but the last, which holds the rest (1 to 4). A file edited by hand
// or exported from a spreadsheet may instead hold one record per line. The
// number of values per record is inferred thus:
//   1. A line with more than four values means one record per line: every
//      line must hold the same number of values.
//   2. Otherwise the first line with fewer than four values ends the first
//      record: N = 4 x (lines before it) + its count.
//   3. When every line holds four values, N = 4k for the smallest k whose
//      records have a strictly monotonic first column; if that gives fewer
//      than three records while a larger k would also fit, the file is
//      ambiguous.
// The whole file must then follow the layout of N, and the first column
// (speed, axial position, abscissa) must rise, or fall, strictly from record
// to record. --values N replaces the inference; the layout is still checked.
#include "plots/plot_data.h"

#include <cmath>
#include <filesystem>
#include <fstream>
#include <limits>
#include <sstream>

#include "model/model_file.h"
#include "recordio/recordio.h"

namespace fs = std::filesystem;

namespace {

constexpr int kDataUnit = 31;
constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();

std::string Where(const std::string& path, int line) { return path + ", line " + std::to_string(line) + ": "; }

// Checks that the file can be read and returns its lines (CR LF or LF).
std::vector<std::string> RawLines(const std::string& path) {
    std::error_code ec;
    const fs::file_status st = fs::status(path, ec);
    if (!fs::exists(st)) throw PlotError(path + ": no such file");
    if (fs::is_directory(st)) throw PlotError(path + ": is a folder, not a file");
    std::ifstream in(path, std::ios::binary);
    if (!in) throw PlotError(path + ": cannot be read");
    std::vector<std::string> lines;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        lines.push_back(line);
    }
    if (in.bad()) throw PlotError(path + ": read error");
    bool any = false;
    for (const auto& l : lines)
        if (l.find_first_not_of(" \t") != std::string::npos) any = true;
    if (!any) throw PlotError(path + ": the file is empty");
    return lines;
}

// Connects the unit to the file. A blank name takes the next command-line
// argument of the record layer, which carries names of any length.
void OpenData(int unit, const std::string& path) {
    std::string prog = "korvo-plot", name = path;
    char* args[] = {prog.data(), name.data()};
    SetCommandLine(2, args);
    if (OpenUnit(unit, Text14(), Text3("OLD"), true) != 0) throw PlotError(path + ": cannot be opened");
}

// Number of values on a line as the free-format reader splits it: blanks,
// tabs and commas separate, blanks around a comma form one separator, two
// commas enclose an empty value, r*v stands for r values. Slashes and
// quoted texts do not belong in a numeric file.
int CountValues(const std::string& s, const std::string& where) {
    int n = 0;
    bool afterValue = false;
    size_t i = 0;
    while (i < s.size()) {
        const char c = s[i];
        if (c == ' ' || c == '\t') {
            ++i;
        } else if (c == ',') {
            if (!afterValue) ++n;
            afterValue = false;
            ++i;
        } else if (c == '/' || c == '\'' || c == '"') {
            throw PlotError(where + "not a list of numbers: \"" + s + "\"");
        } else {
            const size_t b = i;
            while (i < s.size() && s[i] != ' ' && s[i] != '\t' && s[i] != ',') ++i;
            const std::string tok = s.substr(b, i - b);
            const size_t star = tok.find('*');
            int r = 1;
            if (star != std::string::npos && star > 0 && star < 7 &&
                tok.find_first_not_of("0123456789") == star)
                r = std::stoi(tok.substr(0, star));
            n += r;
            afterValue = true;
        }
    }
    return n;
}

bool Monotonic(const std::vector<float>& v, std::string& why) {
    if (v.size() < 2) return true;
    const bool up = v[1] > v[0];
    for (size_t i = 1; i < v.size(); ++i) {
        if (!std::isfinite(v[i]) || !(up ? v[i] > v[i - 1] : v[i] < v[i - 1])) {
            why = "record " + std::to_string(i + 1) + " starts with " + std::to_string(v[i]) + " after " +
                  std::to_string(v[i - 1]);
            return false;
        }
    }
    return true;
}

// Lines of record r of N values in the wrapped layout.
int LinesPerRecord(int n) { return (n + 3) / 4; }

// Whether the counts follow the layout of n values per record (wrapped, or
// one record per line); on failure why names the first line that does not.
bool FollowsLayout(const std::vector<int>& counts, int n, bool& unwrapped, std::string& why) {
    unwrapped = n > 4;
    for (size_t i = 0; i < counts.size() && unwrapped; ++i) unwrapped = counts[i] == n;
    if (unwrapped) return true;
    const int per = LinesPerRecord(n);
    for (size_t i = 0; i < counts.size(); ++i) {
        const int k = static_cast<int>(i % static_cast<size_t>(per));
        const int want = k + 1 < per ? 4 : n - 4 * (per - 1);
        if (counts[i] != want) {
            why = "line " + std::to_string(i + 1) + " of the values holds " + std::to_string(counts[i]) +
                  " where " + std::to_string(want) + " were expected";
            return false;
        }
    }
    if (counts.size() % static_cast<size_t>(per) != 0) {
        why = "the last record is cut short";
        return false;
    }
    return true;
}

std::vector<float> FirstColumn(const std::vector<float>& first, int linesPerRecord) {
    std::vector<float> col;
    for (size_t i = 0; i < first.size(); i += static_cast<size_t>(linesPerRecord)) col.push_back(first[i]);
    return col;
}

std::string Expected(int n) {
    if (n <= 4) return "records of " + std::to_string(n) + " values, one per line";
    std::string lines;
    for (int k = 0; k < LinesPerRecord(n); ++k)
        lines += (k ? "+" : "") + std::to_string(k + 1 < LinesPerRecord(n) ? 4 : n - 4 * (LinesPerRecord(n) - 1));
    return "records of " + std::to_string(n) + " values (lines of " + lines + " values, or all on one line)";
}

}  // namespace

int InferValuesPerRecord(const std::vector<int>& counts, const std::vector<float>& first, int forced) {
    if (counts.empty()) throw PlotError("no values");
    std::string why;
    bool unwrapped = false;
    int n = forced;
    if (n <= 0) {
        int maxCount = 0, shortLine = -1;
        for (size_t i = 0; i < counts.size(); ++i) {
            maxCount = std::max(maxCount, counts[i]);
            if (shortLine < 0 && counts[i] < 4) shortLine = static_cast<int>(i);
        }
        if (maxCount > 4) {
            n = counts[0];
        } else if (shortLine >= 0) {
            n = 4 * shortLine + counts[static_cast<size_t>(shortLine)];
        } else {
            // Every line holds four values: the first column decides.
            // (k = all lines, a single record, always qualifies.)
            const int lines = static_cast<int>(counts.size());
            int k = 1;
            for (std::string ignore; lines % k != 0 || !Monotonic(FirstColumn(first, k), ignore);) ++k;
            if (lines / k < 3 && k < lines)
                throw PlotError("ambiguous layout: every line holds four values, and records of " +
                                std::to_string(4 * k) + " and of " + std::to_string(4 * lines) +
                                " values both fit; give the number with --values N");
            n = 4 * k;
        }
        if (!FollowsLayout(counts, n, unwrapped, why)) {
            if (maxCount > 4)
                throw PlotError("expected the same number of values on every line (" + std::to_string(n) +
                                " as on the first), or records wrapped after four values: " + why);
            throw PlotError("expected " + Expected(n) + " as the first record shows, but " + why);
        }
    } else if (!FollowsLayout(counts, n, unwrapped, why)) {
        throw PlotError("expected " + Expected(n) + " (--values " + std::to_string(n) + "), but " + why);
    }
    if (forced <= 0 && !Monotonic(FirstColumn(first, unwrapped ? 1 : LinesPerRecord(n)), why))
        throw PlotError("expected " + Expected(n) + " whose first column rises from record to record, but " + why +
                        "; give the number with --values N if the layout is right");
    return n;
}

std::vector<NumberLine> ReadNumberLines(const std::string& path, int skip) {
    const std::vector<std::string> raw = RawLines(path);
    std::vector<NumberLine> out;
    OpenData(kDataUnit, path);
    try {
        for (size_t i = 0; i < raw.size(); ++i) {
            const int lineNo = static_cast<int>(i) + 1;
            if (lineNo <= skip) {
                Text1 text;
                (void)ReadWithStatus(kDataUnit, "(A1)", text);
                continue;
            }
            const int n = CountValues(raw[i], Where(path, lineNo));
            BeginRead(kDataUnit, FREE, true);
            NumberLine line{lineNo, std::vector<float>(static_cast<size_t>(n), kNaN)};
            int st = 0;
            for (int k = 0; k < n && st == 0; ++k) st = ReadReal(line.values[static_cast<size_t>(k)]);
            if (st == 0) st = EndRead();
            if (st != 0)
                throw PlotError(Where(path, lineNo) + "not a list of numbers: \"" + raw[i] + "\"");
            if (n > 0) out.push_back(std::move(line));
        }
    } catch (...) {
        CloseUnit(kDataUnit);
        throw;
    }
    CloseUnit(kDataUnit);
    if (out.empty()) throw PlotError(path + ": the file holds no numbers");
    return out;
}

RecordTable ReadRecords(const std::string& path, int forced) {
    const std::vector<NumberLine> lines = ReadNumberLines(path);
    std::vector<int> counts;
    std::vector<float> first;
    for (const auto& l : lines) {
        counts.push_back(static_cast<int>(l.values.size()));
        first.push_back(l.values[0]);
    }
    RecordTable t;
    t.path = path;
    try {
        t.values = InferValuesPerRecord(counts, first, forced);
    } catch (const PlotError& e) {
        throw PlotError(path + ": " + e.what());
    }
    std::vector<float> rec;
    for (const auto& l : lines) {
        rec.insert(rec.end(), l.values.begin(), l.values.end());
        if (static_cast<int>(rec.size()) == t.values) {
            for (float v : rec)
                if (!std::isfinite(v)) ++t.nonFinite;
            t.rows.push_back(std::move(rec));
            rec.clear();
        }
    }
    return t;
}

Orbit ReadOrbit(const std::string& path) {
    Orbit o;
    o.path = path;
    for (const auto& l : ReadNumberLines(path)) {
        const size_t n = l.values.size();
        const float mark = n == 3 ? l.values[2] : 0.0f;
        if ((n != 2 && n != 3) || (n == 3 && !(mark >= 0.0f && mark < 1.0e6f && mark == std::floor(mark))))
            throw PlotError(Where(path, l.number) +
                            "expected an orbit point: x, y and, at a timing mark, its number");
        if (n == 3) o.marks.emplace_back(static_cast<int>(o.x.size()), static_cast<int>(mark));
        o.x.push_back(l.values[0]);
        o.y.push_back(l.values[1]);
    }
    if (o.x.size() < 3) throw PlotError(path + ": an orbit needs at least three points");
    return o;
}

Animation ReadAnimation(const std::string& path) {
    const std::vector<std::string> raw = RawLines(path);
    auto has = [&](size_t i, const char* text) { return i < raw.size() && raw[i].find(text) != std::string::npos; };
    if (!has(0, "TITLE:") || !has(1, "NUMBER OF STEPS") || !has(3, "NUMBER OF STATIONS") ||
        !has(5, "ROTOR LENGTH") || !has(7, "LENGTH OF SHAFT ELEMENTS"))
        throw PlotError(path + ": not an animation file (expected the header TITLE:, NUMBER OF STEPS, "
                               "NUMBER OF STATIONS, ROTOR LENGTH, LENGTH OF SHAFT ELEMENTS)");
    Animation a;
    OpenData(kDataUnit, path);
    try {
        Text50 title;
        Text1 skip;
        int32_t nsta = 0;
        float length = 0.0f;
        auto check = [&](int st, int line) {
            if (st != 0) throw PlotError(Where(path, line) + "unreadable animation header");
        };
        check(ReadWithStatus(kDataUnit, "(9X,A50)", title), 1);
        // Lines 2 to 4: the step count, which shows as asterisks when it does
        // not fit its field, is not needed.
        for (int line = 2; line <= 4; ++line) check(ReadWithStatus(kDataUnit, "(A1)", skip), line);
        check(ReadWithStatus(kDataUnit, FREE, nsta), 5);
        if (nsta < 2 || nsta > MAXROWS) throw PlotError(Where(path, 5) + "the number of stations must be 2 to 99");
        check(ReadWithStatus(kDataUnit, "(A1)", skip), 6);
        check(ReadWithStatus(kDataUnit, FREE, length), 7);
        check(ReadWithStatus(kDataUnit, "(A1)", skip), 8);
        check(ReadWithStatus(kDataUnit, "(A1)", skip), 9);
        a.title = title.trimmed();
        a.z.push_back(0.0f);
        for (int i = 1; i < nsta; ++i) {
            int32_t element = 0;
            float len = 0.0f;
            check(ReadWithStatus(kDataUnit, FREE, element, len), 9 + i);
            a.z.push_back(a.z.back() + len);
        }
    } catch (...) {
        CloseUnit(kDataUnit);
        throw;
    }
    CloseUnit(kDataUnit);
    // The records follow the header lines; they are read as a table of
    // known width from the first line after the header.
    const int header = 9 + static_cast<int>(a.z.size()) - 1;
    if (static_cast<int>(raw.size()) <= header) throw PlotError(path + ": the animation file holds no speed records");
    const std::vector<NumberLine> data = ReadNumberLines(path, header);
    std::vector<int> counts;
    std::vector<float> first;
    for (const auto& l : data) {
        counts.push_back(static_cast<int>(l.values.size()));
        first.push_back(l.values[0]);
    }
    const int n = 1 + 4 * static_cast<int>(a.z.size());
    try {
        InferValuesPerRecord(counts, first, n);
    } catch (const PlotError& e) {
        throw PlotError(path + ": " + e.what());
    }
    std::vector<float> rec;
    for (const auto& l : data) {
        rec.insert(rec.end(), l.values.begin(), l.values.end());
        if (static_cast<int>(rec.size()) == n) {
            for (float v : rec)
                if (!std::isfinite(v)) ++a.nonFinite;
            a.rows.push_back(std::move(rec));
            rec.clear();
        }
    }
    return a;
}

namespace {

// The text of a refusal as korvo shows it on its console, written by the
// record formatter into a string.
std::string RefusalText(const Message& msg) {
    std::ostringstream text;
    SetConsoleStreams(nullptr, &text);
    msg.Write(CONSOLE);
    CloseUnit(CONSOLE);  // ends the line, so that nothing is left pending
    SetConsoleStreams(nullptr, nullptr);
    std::string t = text.str();
    while (!t.empty() && (t.back() == '\n' || t.back() == '\r')) t.pop_back();
    return t;
}

}  // namespace

void ReadModelFile(const std::string& path, RotorModel& m) {
    RawLines(path);
    OpenData(kDataUnit, path);
    Message msg;
    try {
        msg = ReadModel(kDataUnit, m);
    } catch (const RunTimeError& e) {
        CloseUnit(kDataUnit);
        std::string report = e.what();
        while (!report.empty() && (report.back() == '\n' || report.back() == '\r')) report.pop_back();
        throw PlotError(path + ": not a readable model file: " + report);
    }
    CloseUnit(kDataUnit);
    if (msg) throw PlotError(path + ": model refused:" + RefusalText(msg));
}

ReportInfo ReadReport(const std::string& path) {
    const std::vector<std::string> raw = RawLines(path);
    ReportInfo info;
    if (raw[0].find("V A R N H O L T") == std::string::npos && raw.size() > 1 &&
        raw[1].find("V A R N H O L T") == std::string::npos)
        throw PlotError(path + ": not a run report");
    for (const auto& l : raw) {
        if (l.find("LB/IN**2") != std::string::npos) info.iunits = 1;
        if (l.find("KG/MM**2") != std::string::npos) info.iunits = 2;
    }
    OpenData(kDataUnit, path);
    try {
        for (const auto& l : raw) {
            if (l.rfind("  FREQ. [RPM]", 0) == 0) {
                float a = kNaN, b = kNaN;
                if (ReadWithStatus(kDataUnit, "(23X,G12.4,25X,G12.4)", a, b) != 0)
                    throw PlotError(path + ": unreadable frequency line \"" + l + "\"");
                info.freqRpm.push_back(a);
                info.freqRpm.push_back(b);
            } else {
                Text1 skip;
                (void)ReadWithStatus(kDataUnit, "(A1)", skip);
            }
        }
    } catch (...) {
        CloseUnit(kDataUnit);
        throw;
    }
    CloseUnit(kDataUnit);
    return info;
}
