#pragma once
// Entry points of the model-file and whole-session fuzz targets, shared with
// their regression tests. Both run the program's own routines in-process on
// the fuzz input and return an empty string or a description of the broken
// invariant; crashes and undefined behaviour are left to the sanitizers.
#include <cstdint>
#include <fstream>
#include <sstream>
#include <streambuf>
#include <string>
#include <utility>
#include <vector>

#include "analyses/analyses.h"
#include "analyses/results.h"
#include "driver/analysis_run.h"
#include "driver/shared_storage.h"
#include "fuzz/harness_common.h"
#include "inputs99/front_end.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

namespace fuzzh {

// ---------------------------------------------------------------------------
// Model data file. The input is the file; it is read through the file-input
// dialog. A model that is accepted must respect every table limit; it is then
// saved and read back, and must come back field by field (reals to the 7
// significant digits of the free format).

inline std::string CompareModels(const RotorModel& a, const RotorModel& b) {
    auto real = [](float x, float y) { return SameAfterFreeFormat(x, y); };
    if (!(a.TITLE == b.TITLE)) return "title";
    if (a.NSTA != b.NSTA || a.NDISC != b.NDISC || a.NBRG != b.NBRG || a.NPED != b.NPED || a.NCM != b.NCM)
        return "counts";
    if (a.IUNITS != b.IUNITS || a.ISPARE != b.ISPARE || a.NSPEED != b.NSPEED) return "units or NSPEED";
    for (int i = 1; i <= a.NSTA - 1; ++i)
        for (int c = 1; c <= 5; ++c)
            if (!real(a.SHAFT(i, c), b.SHAFT(i, c))) return "SHAFT(" + std::to_string(i) + ")";
    for (int i = 1; i <= a.NDISC; ++i) {
        if (a.DSTA(i) != b.DSTA(i)) return "DSTA";
        for (int c = 1; c <= 6; ++c)
            if (!real(a.DISC(i, c), b.DISC(i, c))) return "DISC";
    }
    for (int i = 1; i <= a.NBRG; ++i)
        if (a.BSTA(i) != b.BSTA(i) || !real(a.BWT(i), b.BWT(i))) return "bearings";
    for (int i = 1; i <= a.NPED; ++i) {
        if (a.PSTA(i) != b.PSTA(i) || !real(a.PWT(i), b.PWT(i))) return "pedestals";
        for (int c = 1; c <= 4; ++c)
            if (!real(a.PEDC(i, c), b.PEDC(i, c))) return "PEDC";
    }
    for (int i = 1; i <= a.NCM; ++i)
        if (a.WSTA(i) != b.WSTA(i) || !real(a.WWT(i), b.WWT(i))) return "added weights";
    if (!real(a.E, b.E) || !real(a.Rho, b.Rho)) return "material";
    for (int j = 1; j <= a.NSPEED; ++j) {
        if (!real(a.SPEED(j), b.SPEED(j))) return "SPEED";
        for (int i = 1; i <= a.NBRG; ++i)
            for (int c = 1; c <= 8; ++c)
                if (!real(a.BCOEF(j, i, c), b.BCOEF(j, i, c))) return "BCOEF";
    }
    for (int i = 1; i <= a.NSTA; ++i)
        if (!real(a.UNBAMP(i), b.UNBAMP(i)) || !real(a.UNBPHS(i), b.UNBPHS(i))) return "unbalance";
    return {};
}

// Runs the file-input dialog on the file name with the answers after it;
// returns the run-time error report, or "" when the dialog returned.
inline std::string ReadModelFileDialog(const std::string& name, std::string& screen, bool& ended) {
    std::istringstream in(name + "\n\n\n");
    std::ostringstream out;
    SetConsoleStreams(&in, &out);
    ended = false;
    std::string report;
    try {
        FileInputDialog(false);
    } catch (const RunTimeError& e) {
        ended = true;
        report = e.what();
        ShutDownUnits();
    }
    screen = out.str();
    SetConsoleStreams(nullptr, nullptr);
    return report;
}

inline std::string RunModelFileInput(const uint8_t* data, size_t size) {
    WorkIn work;
    ClearScratch();
    std::ofstream("model.dat", std::ios::binary).write(reinterpret_cast<const char*>(data),
                                                        static_cast<std::streamsize>(size));
    ResetSharedStorage();
    std::string screen;
    bool ended = false;
    const std::string report = ReadModelFileDialog("model.dat", screen, ended);
    if (ended) {
        ResetRecordIo();
        if (report.rfind("\r\nrun-time error F", 0) != 0 || report.find("READ(model.dat)") == std::string::npos)
            return "unexpected run-time error report: " + report;
        if (FRONT.HAVEDATA != 0) return "a model was taken from a file that could not be read";
        return {};
    }
    if (FRONT.HAVEDATA == 0) {
        ResetRecordIo();
        if (screen.find(" IS REFUSED ***") == std::string::npos) return "no model and no refusal";
        return {};
    }
    // An accepted model respects the table limits.
    if (ModelLimitViolation(MODEL)) return "accepted beyond the limits";
    if (ModelStationViolation(MODEL)) return "accepted with bad stations";
    if (!PedestalsAtBearings(MODEL)) return "accepted with a pedestal away from the bearings";
    for (int j = 2; j <= MODEL.NSPEED; ++j)
        if (!(MODEL.SPEED(j) > MODEL.SPEED(j - 1))) return "accepted with speeds not rising";
    bool anyUnb = false;
    for (int i = 1; i <= MODEL.NSTA; ++i) anyUnb = anyUnb || MODEL.UNBAMP(i) != 0.0f;
    if (FRONT.HAVEUNB != (anyUnb ? 1 : 0)) return "HAVEUNB does not match the unbalance table";

    // Save it and read the copy back into an empty model.
    static RotorModel first;
    first = MODEL;
    {
        std::istringstream in("copy.dat\n");
        std::ostringstream out;
        SetConsoleStreams(&in, &out);
        try {
            SaveModelDialog();
            CloseUnit(UNIT_MODEL);
        } catch (const RunTimeError& e) {
            SetConsoleStreams(nullptr, nullptr);
            ResetRecordIo();
            return std::string("saving the model failed: ") + e.what();
        }
        SetConsoleStreams(nullptr, nullptr);
    }
    ResetSharedStorage();
    const std::string report2 = ReadModelFileDialog("copy.dat", screen, ended);
    ResetRecordIo();
    if (ended) return "the saved model cannot be read: " + report2;
    if (FRONT.HAVEDATA != 1) return "the saved model is refused: " + screen;
    if (std::string f = CompareModels(first, MODEL); !f.empty()) return "saved and read back, " + f + " differs";
    return {};
}

// ---------------------------------------------------------------------------
// Whole session. The input is the console: the main loop runs the front end
// and the analyses on it in the scratch folder (prepared with the given
// files) until the stop, a run-time error (the end of the input is one), or
// the output budget is spent. The budget bounds the work of one input: speed
// sweeps and refused answers both print.

struct OutputBudgetSpent {};

class BudgetBuf : public std::streambuf {
public:
    explicit BudgetBuf(size_t bytes) : left_(bytes) {}
    size_t used = 0;

protected:
    int overflow(int c) override {
        if (c == traits_type::eof()) return traits_type::not_eof(c);
        Spend(1);
        return c;
    }
    std::streamsize xsputn(const char*, std::streamsize n) override {
        Spend(static_cast<size_t>(n));
        return n;
    }

private:
    void Spend(size_t n) {
        used += n;
        if (spent_) return;
        if (n > left_) {
            spent_ = true;  // once: the shutdown that follows may still print
            throw OutputBudgetSpent{};
        }
        left_ -= n;
    }
    size_t left_;
    bool spent_ = false;
};

using SessionFiles = std::vector<std::pair<std::string, std::string>>;

inline constexpr size_t kSessionOutputBudget = 1u << 20;

inline std::string RunSessionInput(const uint8_t* data, size_t size, const SessionFiles& files) {
    WorkIn work;
    ClearScratch();
    for (const auto& [name, text] : files) std::ofstream(name, std::ios::binary) << text;
    ResetSharedStorage();
    std::istringstream in(std::string(reinterpret_cast<const char*>(data), size));
    BudgetBuf buf(kSessionOutputBudget);
    std::ostream out(&buf);
    out.exceptions(std::ios::badbit);  // the budget's exception reaches the harness
    SetConsoleStreams(&in, &out);
    std::string result;
    try {
        for (;;) {
            RunFrontEnd();
            if (OPTS.MAINOPT == 7)
                RunCurveFit();
            else
                RunAnalysis();
        }
    } catch (const ProgramStop& stop) {
        if (stop.status != 0) result = "stop with status " + std::to_string(stop.status);
    } catch (const RunTimeError& e) {
        const std::string t = e.what();
        if (t.rfind("\r\nrun-time error ", 0) != 0) result = "malformed run-time error report: " + t;
        ShutDownUnits();
    } catch (const OutputBudgetSpent&) {
        out.exceptions(std::ios::goodbit);
        out.clear();
        ShutDownUnits();
    }
    out.exceptions(std::ios::goodbit);
    out.clear();
    ResetRecordIo();
    SetConsoleStreams(nullptr, nullptr);
    return result;
}

}  // namespace fuzzh
