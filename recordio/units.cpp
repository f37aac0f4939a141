// The unit table, the console, and record transfer to files.
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cctype>
#include <cerrno>
#include <iostream>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "recordio/internal.h"

namespace fs = std::filesystem;

namespace rio {
namespace {

std::map<int, std::unique_ptr<Unit>> units;
std::istream* conIn = nullptr;
std::ostream* conOut = nullptr;
std::vector<std::string> commandArgs;
size_t nextArg = 0;

constexpr size_t kMaxTypedName = 260;
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
constexpr long kFuzzFileLimit = 1L << 20;
#endif

std::string Upper(std::string s) {
    for (char& c : s) c = static_cast<char>(std::toupper(static_cast<unsigned char>(c)));
    return s;
}

std::string Trim(const std::string& s) {
    size_t b = 0, e = s.size();
    while (b < e && (s[b] == ' ' || s[b] == '\t')) ++b;
    while (e > b && (s[e - 1] == ' ' || s[e - 1] == '\t')) --e;
    return s.substr(b, e - b);
}

std::string TrimRight(const char* c, int n) {
    while (n > 0 && c[n - 1] == ' ') --n;
    return std::string(c, c + n);
}

// A failed write: the unit's file will not replace the one it was to
// replace, and the run ends.
[[noreturn]] void WriteFailure(Unit& u, const char* kind) {
    u.failed = true;
    Raise(Err::WriteFailed, kind, u.name);
}

// Switches the stream of a file between reading and writing.
void Position(Unit& u, LastOp next) {
    if (u.last != LastOp::None && u.last != next && std::fseek(u.fp, 0, SEEK_CUR) != 0) {
        if (u.last == LastOp::Write) WriteFailure(u, next == LastOp::Write ? "WRITE" : "READ");
        Raise(Err::ReadFailed, next == LastOp::Write ? "WRITE" : "READ", u.name);
    }
    u.last = next;
}

// Moves a unit that is about to overwrite an existing file to a new file in
// the same folder that holds the file's records before the position `at`;
// the close puts it in the old file's place. A write that fails part-way (a
// full disk) so leaves the old file whole. False when no file can be created
// in that folder: the unit then writes in place.
bool StartReplacement(Unit& u, long at) {
    // (built by appending: g++ 12 warns falsely on "." + name)
    std::string leaf(1, '.');
    leaf.append(u.target.filename().string()).append(".korvo-XXXXXX");
    std::string name = (u.target.parent_path() / leaf).string();
    const int fd = mkstemp(name.data());
    if (fd < 0) {
        if (errno == EACCES || errno == EPERM || errno == EROFS) return false;
        WriteFailure(u, "WRITE");
    }
    struct stat st {};
    if (fstat(fileno(u.fp), &st) == 0) {
        (void)fchmod(fd, st.st_mode & 0777);
        if (fchown(fd, st.st_uid, st.st_gid) != 0) {
            // Only a privileged process may give the file away: it stays ours.
        }
    }
    std::FILE* nf = fdopen(fd, "w+b");
    bool ok = nf != nullptr;
    if (ok && at > 0) {
        char buf[8192];
        long left = at;
        ok = std::fseek(u.fp, 0, SEEK_SET) == 0;
        while (ok && left > 0) {
            const size_t want = static_cast<size_t>(std::min<long>(left, static_cast<long>(sizeof buf)));
            const size_t got = std::fread(buf, 1, want, u.fp);
            ok = got == want && std::fwrite(buf, 1, got, nf) == got;
            left -= static_cast<long>(got);
        }
    }
    if (!ok) {
        if (nf)
            std::fclose(nf);
        else
            close(fd);
        unlink(name.c_str());
        WriteFailure(u, "WRITE");
    }
    std::fclose(u.fp);  // only read so far
    u.fp = nf;
    u.temp = name;
    return true;
}

// A name for a blank file name: the next unused command-line argument, or
// what the user types at the prompt.
std::string BlankName(int unit) {
    if (nextArg < commandArgs.size()) return commandArgs[nextArg++];
    EndPendingLine(true);
    for (;;) {
        ConOut() << "File name missing or blank - please enter file name\r\nUNIT " << unit << "? ";
        FlushConsole();
        std::string line;
        if (!ReadRecord(CONSOLE, "OPEN", line)) Raise(Err::EndOfFile, "READ", "CON");
        linePending = false;
        if (line.size() > kMaxTypedName) line.resize(kMaxTypedName);
        line = Trim(line);
        if (!line.empty()) return line;
    }
}

bool ConnectedElsewhere(const fs::path& p) {
    for (const auto& [n, u] : units) {
        std::error_code ec;
        if (fs::equivalent(p, u->path, ec)) return true;
    }
    return false;
}

// Closes a unit. A replacement file takes the old file's place only when
// every write succeeded and it is safely on the disk; otherwise it is removed
// and the old file stays as it was.
void CloseFile(int unit, bool remove, bool report) {
    auto it = units.find(unit);
    if (it == units.end()) return;
    std::unique_ptr<Unit> u = std::move(it->second);
    units.erase(it);
    const bool replace = !u->temp.empty() && !remove && !u->failed;
    bool ok = true;
    if (replace) ok = std::fflush(u->fp) == 0 && fsync(fileno(u->fp)) == 0;
    ok = std::fclose(u->fp) == 0 && ok;
    std::error_code ec;
    if (!u->temp.empty()) {
        const bool placed = replace && ok && std::rename(u->temp.c_str(), u->target.c_str()) == 0;
        if (!placed) fs::remove(u->temp, ec);
        if (replace && !placed) ok = false;
    }
    if (remove) fs::remove(u->path, ec);
    // A unit whose write failed has had its report already.
    if (!ok && report && !remove && !u->failed) Raise(Err::WriteFailed, "CLOSE", u->name);
}

}  // namespace

bool linePending = false;

std::istream& ConIn() { return conIn ? *conIn : std::cin; }
std::ostream& ConOut() { return conOut ? *conOut : std::cout; }

void FlushConsole() {
    std::ostream& out = ConOut();
    out.flush();
    if (out.fail()) Raise(Err::WriteFailed, "WRITE", "CON");
}

void EndPendingLine(bool clear) {
    if (linePending) ConOut() << "\r\n";
    if (clear) linePending = false;
}

Unit* FindUnit(int unit) {
    auto it = units.find(unit);
    return it == units.end() ? nullptr : it->second.get();
}

bool ReadRecord(int unit, const char* kind, std::string& line) {
    line.clear();
    if (unit == CONSOLE) {
        std::istream& in = ConIn();
        FlushConsole();
        if (!std::getline(in, line)) {
            if (in.bad()) Raise(Err::ReadFailed, kind, "CON");
            if (line.empty()) return false;
        }
        if (!line.empty() && line.back() == '\r') line.pop_back();
        return true;
    }
    Unit* u = FindUnit(unit);
    if (!u) Raise(Err::NotConnected, kind, ReportName(unit));
    Position(*u, LastOp::Read);
    int c;
    bool any = false;
    while ((c = std::getc(u->fp)) != EOF) {
        any = true;
        if (c == '\n') break;
        line += static_cast<char>(c);
    }
    if (std::ferror(u->fp)) Raise(Err::ReadFailed, kind, u->name);
    if (!any) return false;
    if (!line.empty() && line.back() == '\r') line.pop_back();
    return true;
}

void WriteRecord(int unit, const std::string& rec) {
    if (unit == CONSOLE) {
        std::ostream& out = ConOut();
        const char cc = rec.empty() ? ' ' : rec[0];
        switch (cc) {
            case '0': out << (linePending ? "\r\n\r\n" : "\r\n"); break;
            case '1': out << "\r\n\f\r \r"; break;
            case '+': out << "\r"; break;
            default:
                if (linePending) out << "\r\n";
        }
        if (rec.size() > 1) out.write(rec.data() + 1, static_cast<std::streamsize>(rec.size() - 1));
        linePending = true;
        if (out.fail()) Raise(Err::WriteFailed, "WRITE", "CON");
        return;
    }
    Unit* u = FindUnit(unit);
    if (!u) Raise(Err::NotConnected, "WRITE", ReportName(unit));
    if (u->readOnly) Raise(Err::ReadOnly, "WRITE", u->name);
    Position(*u, LastOp::Write);
    if (!u->written) {
        // The first record written after an open or a rewind becomes the
        // last one of the file: cut the file here (an existing file is first
        // moved to its replacement, which ends at this position).
        const long at = std::ftell(u->fp);
        if (u->regular && at < 0) WriteFailure(*u, "WRITE");
        if (!(u->replaceAtClose && u->temp.empty() && StartReplacement(*u, at))) {
            if (std::fflush(u->fp) != 0) WriteFailure(*u, "WRITE");
            if (u->regular && ftruncate(fileno(u->fp), at) != 0) WriteFailure(*u, "WRITE");
        }
        u->written = true;
    }
    if (std::fwrite(rec.data(), 1, rec.size(), u->fp) != rec.size() || std::fwrite("\r\n", 1, 2, u->fp) != 2 ||
        std::ferror(u->fp))
        WriteFailure(*u, "WRITE");
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // A small disk: bounds the work of one fuzz input and exercises the
    // write-failure path.
    if (std::ftell(u->fp) > kFuzzFileLimit) WriteFailure(*u, "WRITE");
#endif
}

void CloseAllUnits(bool report) {
    std::optional<RunTimeError> first;
    while (!units.empty()) {
        const int n = units.begin()->first;
        try {
            CloseFile(n, false, report);
        } catch (const RunTimeError& e) {
            if (!first) first = e;
        }
    }
    if (first) throw *first;
}

void ResetUnits() {
    CloseAllUnits();
    linePending = false;
    commandArgs.clear();
    nextArg = 0;
}

}  // namespace rio

using namespace rio;

int OpenUnit(int unit, const Text14& name, const Text3& status, bool errReturn) {
    std::string fname = TrimRight(name.c, Text14::size());
    auto failed = [&](Err e) -> int {
        if (errReturn) return ErrNumber(e);
        Raise(e, "OPEN", fname.empty() ? std::to_string(unit) : fname);
    };
    if (unit <= 0) return failed(Err::BadUnit);
    if (Trim(fname).empty()) fname = BlankName(unit);
#ifdef FUZZING_BUILD_MODE_UNSAFE_FOR_PRODUCTION
    // Fuzz inputs name files in the current directory only.
    if (fname.find('/') != std::string::npos) return failed(Err::OpenFailed);
#endif
    const std::string st = Upper(Trim(TrimRight(status.c, Text3::size())));
    // Opening a connected unit first closes its old connection.
    CloseFile(unit, false, true);

    std::error_code ec;
    fs::path p = fs::absolute(fs::path(fname), ec);
    if (ec) return failed(Err::OpenFailed);
    const fs::file_status fst = fs::status(p, ec);
    const bool exists = fs::exists(fst);

    auto u = std::make_unique<Unit>();
    u->number = unit;
    u->name = fname;
    u->path = p;
    if (st == "OLD" || (st == "UNK" && exists)) {
        if (!exists) return failed(Err::FileNotFound);
        if (fs::is_directory(fst)) return failed(Err::NotAFile);
        if (ConnectedElsewhere(p)) return failed(Err::FileConnected);
        u->fp = std::fopen(p.c_str(), "r+b");
        if (!u->fp && (errno == EACCES || errno == EROFS || errno == EPERM)) {
            // Kept readable: a write to it ends the run.
            u->fp = std::fopen(p.c_str(), "rb");
            u->readOnly = u->fp != nullptr;
        }
        if (!u->fp) return failed(Err::OpenFailed);
        u->regular = fs::is_regular_file(fst);
        u->replaceAtClose = u->regular && !u->readOnly;
        u->target = fs::canonical(p, ec);
        if (ec) u->target = p;
    } else if (st == "NEW" || st == "UNK") {
        if (exists) return failed(Err::FileExists);
        u->fp = std::fopen(p.c_str(), "w+bx");
        if (!u->fp) return failed(errno == EEXIST ? Err::FileExists : Err::OpenFailed);
        u->created = true;
    } else {
        return failed(Err::BadStatus);
    }
    units[unit] = std::move(u);
    return 0;
}

void CloseUnit(int unit, const char* disposition) {
    if (unit == CONSOLE) {
        EndPendingLine(true);
        FlushConsole();
        return;
    }
    const bool remove = disposition && Upper(Trim(disposition)) == "DELETE";
    CloseFile(unit, remove, true);
}

void DiscardUnit(int unit) {
    Unit* u = FindUnit(unit);
    if (!u) return;
    u->failed = true;  // nothing written takes the place of the old file
    CloseFile(unit, u->created, false);
}

void RewindUnit(int unit) {
    Unit* u = FindUnit(unit);
    if (!u) return;
    if (std::fseek(u->fp, 0, SEEK_SET) != 0) WriteFailure(*u, "REWIND");
    u->written = false;
    u->last = LastOp::None;
}

bool UnitIsOpen(int unit) { return unit == CONSOLE || FindUnit(unit) != nullptr; }

bool UnitIsWritable(int unit) {
    const Unit* u = FindUnit(unit);
    return unit == CONSOLE || (u && !u->readOnly);
}

void SetCommandLine(int argc, char** argv) {
    commandArgs.clear();
    nextArg = 0;
    for (int i = 1; i < argc; ++i) commandArgs.emplace_back(argv[i]);
}

void SetConsoleStreams(std::istream* in, std::ostream* out) {
    conIn = in;
    conOut = out;
}
