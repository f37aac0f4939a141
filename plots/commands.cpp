// The commands of korvo-plot: each reads its files, builds the picture and
// the CSV table, and reports what it marked.
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <memory>

#include "plots/derived.h"
#include "plots/figure.h"
#include "plots/plot_data.h"
#include "plots/plots.h"

namespace fs = std::filesystem;

namespace {

constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
constexpr double kPi = 3.14159265358979323846;

// What a command produces.
struct Drawing {
    std::vector<Figure> figures;
    std::vector<std::string> outputs;  // one per figure (a GIF takes all)
    std::vector<std::string> header;
    std::vector<std::vector<double>> rows;
    std::vector<std::string> summary;
};

std::string Name(const std::string& path) { return fs::path(path).filename().string(); }

std::string Fixed(double v, int digits = 0) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.*f", digits, v);
    return buf;
}

std::string Short(double v) {
    char buf[48];
    std::snprintf(buf, sizeof buf, "%.3g", v);
    return buf;
}

std::string List(const std::vector<double>& v, const std::string& unit) {
    std::string s;
    for (double x : v) s += (s.empty() ? "" : ", ") + Fixed(x);
    return s.empty() ? "none" : s + " " + unit;
}

void NonFinite(const std::string& path, int n, std::vector<std::string>& warnings) {
    if (n > 0)
        warnings.push_back(path + ": " + std::to_string(n) + (n == 1 ? " value is" : " values are") +
                           " not a finite number, drawn as gaps");
}

// Units of the model named with --model (0 when none).
int ModelUnits(const PlotOptions& o) {
    if (o.model.empty()) return 0;
    auto m = std::make_unique<RotorModel>();
    ReadModelFile(o.model, *m);
    return m->IUNITS;
}

std::string AmplitudeUnit(int iunits) { return iunits == 1 ? "mils" : iunits == 2 ? "µm" : ""; }
std::string WithUnit(const std::string& name, const std::string& unit) {
    return unit.empty() ? name : name + " [" + unit + "]";
}

bool SameColumn(const RecordTable& a, const RecordTable& b) {
    if (a.rows.size() != b.rows.size()) return false;
    for (size_t i = 0; i < a.rows.size(); ++i)
        if (std::fabs(a.rows[i][0] - b.rows[i][0]) > 1e-4f * std::max(1.0f, std::fabs(a.rows[i][0]))) return false;
    return true;
}

Series Line(const std::string& title, const std::string& with, std::vector<std::vector<double>> rows) {
    Series s;
    s.title = title;
    s.with = with;
    s.rows = std::move(rows);
    return s;
}

// Label placement beside a marked point: to its right, or to its left in
// the right third of the axis; dy lines up.
std::string Beside(double x, double lo, double hi, double dy) {
    const bool right = x > lo + 0.68 * (hi - lo);
    return std::string(right ? "right offset -1.2," : "left offset 1.2,") + std::to_string(dy) + " boxed";
}

std::string Range(const char* axis, double lo, double hi) {
    if (!(hi > lo)) {
        lo -= 1;
        hi += 1;
    }
    return std::string("set ") + axis + "range [" + std::to_string(lo) + ":" + std::to_string(hi) + "]";
}

// ---------------------------------------------------------------------------

Drawing Campbell(const PlotOptions& o, std::vector<std::string>& warnings) {
    const RecordTable re = ReadRecords(o.inputs[0], o.values), im = ReadRecords(o.inputs[1], o.values);
    NonFinite(re.path, re.nonFinite, warnings);
    NonFinite(im.path, im.nonFinite, warnings);
    if (re.values < 2) throw PlotError(re.path + ": expected the speed and at least one eigenvalue per record");
    if (re.values != im.values || !SameColumn(re, im))
        throw PlotError(im.path + ": does not match " + re.path +
                        " (expected the same speeds and the same number of eigenvalues per record)");
    bool positive = false;
    for (const auto& r : im.rows)
        for (size_t k = 1; k < r.size(); ++k) positive = positive || r[k] > 0;
    if (!positive)
        throw PlotError(im.path + ": holds no positive imaginary part; expected the real-part file first, then "
                                  "the imaginary-part file");
    std::vector<EigenStep> steps;
    for (size_t i = 0; i < re.rows.size(); ++i) {
        EigenStep s;
        s.speed = re.rows[i][0];
        for (int k = 1; k < re.values; ++k) {
            s.re.push_back(re.rows[i][static_cast<size_t>(k)]);
            s.im.push_back(im.rows[i][static_cast<size_t>(k)]);
        }
        steps.push_back(std::move(s));
    }
    const std::vector<WhirlCurve> curves = FollowModes(steps);
    const std::vector<Crossing> crossings = SynchronousCrossings(steps);
    double onset = 0;
    const bool haveOnset = OnsetOfInstability(steps, onset);

    Drawing d;
    Figure fig;
    fig.title = o.title.empty() ? "Campbell diagram and stability - " + Name(re.path) + ", " + Name(im.path) : o.title;
    Panel top, bottom;
    top.height = 0.58;
    bottom.height = 0.42;
    top.ylabel = "Whirl frequency [RPM]";
    bottom.ylabel = "Log. decrement [-]";
    bottom.xlabel = "Rotor speed [RPM]";
    double lo = steps.front().speed, hi = steps.back().speed, fmax = 0;
    if (lo > hi) std::swap(lo, hi);
    std::vector<int> curveOf(steps.size() * static_cast<size_t>(re.values), -1);
    for (size_t c = 0; c < curves.size(); ++c) {
        std::vector<std::vector<double>> f, dec;
        for (size_t k = 0; k < curves[c].index.size(); ++k) {
            const size_t s = static_cast<size_t>(curves[c].first) + k;
            const size_t i = static_cast<size_t>(curves[c].index[k]);
            curveOf[s * static_cast<size_t>(re.values) + i] = static_cast<int>(c) + 1;
            const double w = WhirlRpm(steps[s].im[i]);
            if (std::isfinite(w)) fmax = std::max(fmax, w);
            f.push_back({steps[s].speed, w});
            dec.push_back({steps[s].speed, LogDecrement(steps[s].re[i], steps[s].im[i])});
        }
        const std::string style = "linespoints lw 1.5 pt 7 ps 0.45 lc " + Colour(static_cast<int>(c));
        top.series.push_back(Line(c == 0 ? "whirl frequencies" : "", style, std::move(f)));
        bottom.series.push_back(Line(c == 0 ? "log. decrements" : "", style, std::move(dec)));
    }
    top.series.push_back(Line("1X line", "lines dt 2 lw 1.5 lc rgb 'black'", {{lo, lo}, {hi, hi}}));
    std::vector<std::vector<double>> marks;
    std::vector<double> critical;
    for (const Crossing& c : crossings) {
        marks.push_back({c.speed, c.speed});
        critical.push_back(c.speed);
        top.labels.push_back({c.speed, c.speed, 0, Fixed(c.speed) + " RPM", Beside(c.speed, lo, hi, -0.9)});
    }
    if (!marks.empty())
        top.series.push_back(Line("critical speeds", "points pt 6 ps 2 lw 2 lc rgb 'black'", marks));
    top.settings = {Range("x", lo, hi), Range("y", 0, std::max(fmax, hi) * 1.05), "set key outside right top",
                    "set format x ''"};
    top.rmargin = bottom.rmargin = 27;
    bottom.series.push_back(Line("stability limit", "lines lw 1 lc rgb 'black'", {{lo, 0}, {hi, 0}}));
    if (haveOnset) {
        bottom.series.push_back(
            Line("onset", "points pt 9 ps 2.2 lc rgb '#d62728'", {{onset, 0.0}}));
        bottom.labels.push_back({onset, 0, 0, "onset " + Fixed(onset) + " RPM", Beside(onset, lo, hi, -1.2)});
    }
    bottom.settings = {Range("x", lo, hi), "set key outside right top"};
    fig.panels = {top, bottom};
    d.figures.push_back(std::move(fig));

    d.header = {"speed [RPM]"};
    for (int k = 1; k < re.values; ++k)
        for (const char* col : {"real part %d [1/s]", "imaginary part %d [rad/s]", "whirl frequency %d [RPM]",
                                "log. decrement %d [-]", "curve %d [-]"}) {
            char buf[64];
            std::snprintf(buf, sizeof buf, col, k);
            d.header.push_back(buf);
        }
    for (size_t s = 0; s < steps.size(); ++s) {
        std::vector<double> row{steps[s].speed};
        for (size_t i = 0; i < steps[s].re.size(); ++i) {
            const double r = steps[s].re[i], m = steps[s].im[i];
            row.insert(row.end(), {r, m, WhirlRpm(m), LogDecrement(r, m),
                                   static_cast<double>(curveOf[s * static_cast<size_t>(re.values) + i])});
        }
        d.rows.push_back(std::move(row));
    }
    d.summary.push_back("campbell: " + std::to_string(steps.size()) + " speeds, " + std::to_string(re.values - 1) +
                        " eigenvalues each, " + std::to_string(curves.size()) + " curves");
    d.summary.push_back("critical speeds (1X crossings): " + List(critical, "RPM"));
    if (haveOnset)
        d.summary.push_back("onset of instability (log. decrement zero): " + Fixed(onset) + " RPM");
    else if (onset != 0)
        d.summary.push_back("unstable from the first speed, " + Fixed(onset) + " RPM");
    else
        d.summary.push_back("stable over the whole range");
    return d;
}

// ---------------------------------------------------------------------------

Drawing Modes(const PlotOptions& o, std::vector<std::string>& warnings) {
    std::vector<RecordTable> files;
    for (const auto& p : o.inputs) {
        files.push_back(ReadRecords(p, o.values));
        NonFinite(p, files.back().nonFinite, warnings);
        if (files.back().values < 2)
            throw PlotError(p + ": expected the axial position and at least one mode per record");
        if (files.size() > 1 && !SameColumn(files[0], files.back()))
            throw PlotError(p + ": its stations differ from those of " + files[0].path);
    }
    ReportInfo info;
    if (!o.report.empty()) {
        info = ReadReport(o.report);
        if (info.freqRpm.empty()) throw PlotError(o.report + ": holds no undamped natural frequencies");
    }
    const std::string len = info.iunits == 1 ? "in" : info.iunits == 2 ? "mm" : "";
    Drawing d;
    Figure fig;
    fig.title = o.title.empty() ? "Mode shapes - " + Name(files[0].path) : o.title;
    Panel p;
    p.xlabel = WithUnit("Axial position", len);
    p.ylabel = "Mode shape, x translation [-]";
    p.rmargin = 27;
    const RecordTable& t0 = files[0];
    std::string tics;
    for (size_t s = 0; s < t0.rows.size(); ++s)
        tics += (s ? ", " : "") + std::string("\"") + std::to_string(s + 1) + "\" " + std::to_string(t0.rows[s][0]);
    const double z0 = t0.rows.front()[0], z1 = t0.rows.back()[0];
    p.settings = {Range("x", std::min(z0, z1), std::max(z0, z1)), "set x2range [] writeback",
                  "set x2tics (" + tics + ") nomirror", "set xtics nomirror", "set x2label 'Station'",
                  "set link x2", "set key outside right top", "set offsets 0,0,graph 0.05,graph 0.05"};
    d.header = {"station [-]", WithUnit("axial position", len)};
    for (size_t s = 0; s < t0.rows.size(); ++s) d.rows.push_back({static_cast<double>(s + 1), t0.rows[s][0]});
    int mode = 0;
    for (const auto& t : files)
        for (int c = 1; c < t.values; ++c) {
            ++mode;
            std::vector<std::vector<double>> rows;
            for (size_t s = 0; s < t.rows.size(); ++s) {
                rows.push_back({t.rows[s][0], t.rows[s][static_cast<size_t>(c)]});
                d.rows[s].push_back(t.rows[s][static_cast<size_t>(c)]);
            }
            std::string title = "mode " + std::to_string(mode);
            if (static_cast<size_t>(mode) <= info.freqRpm.size())
                title += ": " + Fixed(info.freqRpm[static_cast<size_t>(mode) - 1]) + " RPM";
            d.header.push_back("mode " + std::to_string(mode) + " [-]");
            p.series.push_back(
                Line(title, "linespoints lw 2 pt 7 ps 0.8 lc " + Colour(mode - 1), std::move(rows)));
        }
    p.series.push_back(Line("", "lines lw 1 lc rgb 'black'", {{z0, 0}, {z1, 0}}));
    fig.panels = {p};
    d.figures.push_back(std::move(fig));
    d.summary.push_back("modes: " + std::to_string(mode) + " modes at " + std::to_string(t0.rows.size()) +
                        " stations");
    return d;
}

// ---------------------------------------------------------------------------

Drawing Response(const PlotOptions& o, std::vector<std::string>& warnings) {
    struct Input {
        RecordTable t;
        bool phase;
    };
    std::vector<Input> in;
    auto add = [&](const std::string& path, int kind) {
        RecordTable t = ReadRecords(path, o.values);
        NonFinite(path, t.nonFinite, warnings);
        if (t.values < 2) throw PlotError(path + ": expected the speed and at least one value per record");
        bool negative = false, beyond = false;
        for (const auto& r : t.rows)
            for (size_t k = 1; k < r.size(); ++k) {
                negative = negative || r[k] < 0;
                beyond = beyond || std::fabs(r[k]) > 180.001f;
            }
        const bool phase = kind == 0 ? negative : kind == 1;
        if (phase && beyond) throw PlotError(path + ": phases beyond +-180 degrees: not an unbalance response file");
        if (!phase && negative)
            throw PlotError(path + ": negative amplitudes: not an amplitude file (give phase files with --phases)");
        in.push_back({std::move(t), phase});
    };
    for (const auto& p : o.inputs) add(p, 0);
    for (const auto& p : o.amplitudes) add(p, 2);
    for (const auto& p : o.phases) add(p, 1);
    const std::string unit = AmplitudeUnit(ModelUnits(o));
    bool anyAmp = false, anyPhase = false;
    double lo = 1e300, hi = -1e300;
    for (const auto& i : in) {
        (i.phase ? anyPhase : anyAmp) = true;
        for (const auto& r : i.t.rows) {
            lo = std::min(lo, static_cast<double>(r[0]));
            hi = std::max(hi, static_cast<double>(r[0]));
        }
    }
    Drawing d;
    Figure fig;
    fig.title = o.title.empty() ? "Unbalance response - " + Name(in[0].t.path) : o.title;
    Panel amp, ph;
    amp.ylabel = WithUnit("Amplitude", unit);
    ph.ylabel = "Phase [deg]";
    amp.settings = {Range("x", lo, hi), "set key outside right top"};
    amp.rmargin = ph.rmargin = 26;
    if (o.log) amp.settings.push_back("set logscale y");
    ph.settings = {Range("x", lo, hi), "set yrange [-180:180]", "set ytics 90", "set key outside right top"};
    if (anyAmp && anyPhase) {
        amp.height = 0.6;
        ph.height = 0.4;
        amp.settings.push_back("set format x ''");
    }
    (anyPhase ? ph : amp).xlabel = "Rotor speed [RPM]";
    std::vector<std::vector<double>> peakMarks;
    std::vector<std::string> peakText;
    int curve = 0;
    bool sameSpeeds = true;
    for (const auto& i : in) sameSpeeds = sameSpeeds && SameColumn(in[0].t, i.t);
    if (sameSpeeds)
        for (const auto& r : in[0].t.rows) d.rows.push_back({r[0]});
    d.header = {"speed [RPM]"};
    for (const auto& i : in) {
        const RecordTable& t = i.t;
        for (int c = 1; c < t.values; ++c, ++curve) {
            const std::string name = Name(t.path) + (t.values > 2 ? " #" + std::to_string(c) : "");
            d.header.push_back(name + (i.phase ? " phase [deg]" : " " + WithUnit("amplitude", unit)));
            std::vector<std::vector<double>> rows;
            std::vector<double> y;
            for (size_t s = 0; s < t.rows.size(); ++s) {
                const double v = t.rows[s][static_cast<size_t>(c)];
                // A phase that wraps round does not draw a line across the panel.
                if (i.phase && s > 0 && std::fabs(v - y.back()) > 180.0) rows.push_back({});
                rows.push_back({t.rows[s][0], v});
                y.push_back(v);
                if (sameSpeeds) d.rows[s].push_back(v);
            }
            const std::string style = "lines lw 2 lc " + Colour(curve);
            if (i.phase) {
                ph.series.push_back(Line(name, style, std::move(rows)));
                continue;
            }
            amp.series.push_back(Line(name, style, std::move(rows)));
            for (int k : Peaks(y, 2)) {
                const double sp = t.rows[static_cast<size_t>(k)][0], v = y[static_cast<size_t>(k)];
                peakMarks.push_back({sp, v});
                peakText.push_back(name + " " + Fixed(sp) + " RPM " + Short(v) + (unit.empty() ? "" : " " + unit));
            }
        }
    }
    if (!peakMarks.empty())
        amp.series.push_back(Line("peaks", "points pt 7 ps 1.3 lc rgb 'black'", peakMarks));
    // One label per peak speed, with the largest amplitude there.
    std::sort(peakMarks.begin(), peakMarks.end());
    for (size_t k = 0; k < peakMarks.size(); ++k)
        if (k + 1 == peakMarks.size() || peakMarks[k + 1][0] != peakMarks[k][0])
            amp.labels.push_back({peakMarks[k][0], peakMarks[k][1], 0,
                                  Fixed(peakMarks[k][0]) + " RPM, " + Short(peakMarks[k][1]) +
                                      (unit.empty() ? "" : " " + unit),
                                  Beside(peakMarks[k][0], lo, hi, 0.7)});
    if (anyAmp) fig.panels.push_back(amp);
    if (anyPhase) fig.panels.push_back(ph);
    d.figures.push_back(std::move(fig));
    if (!sameSpeeds && !o.csv.empty())
        throw PlotError("--csv needs response files of the same speeds: " + in.back().t.path + " differs from " +
                        in[0].t.path);
    d.summary.push_back("response: " + std::to_string(curve) + " curves over " + Fixed(lo) + " to " + Fixed(hi) +
                        " RPM");
    for (const auto& p : peakText) d.summary.push_back("peak: " + p);
    return d;
}

// ---------------------------------------------------------------------------

Drawing Orbits(const PlotOptions& o, std::vector<std::string>&) {
    const std::string unit = AmplitudeUnit(ModelUnits(o));
    Drawing d;
    Figure fig;
    fig.title = o.title.empty() ? "Orbits - " + Name(o.inputs[0]) : o.title;
    Panel p;
    p.xlabel = WithUnit("x", unit);
    p.ylabel = WithUnit("y", unit);
    p.settings = {"set size ratio -1", "set key outside right top",
                  "set offsets graph 0.08, graph 0.08, graph 0.08, graph 0.08"};
    p.rmargin = 34;
    std::vector<std::vector<double>> marks;
    size_t most = 0;
    std::vector<Orbit> orbits;
    for (const auto& path : o.inputs) orbits.push_back(ReadOrbit(path));
    d.header = {"point [-]"};
    for (size_t k = 0; k < orbits.size(); ++k) {
        const Orbit& orb = orbits[k];
        most = std::max(most, orb.x.size());
        const double area = SweptArea(orb.x, orb.y);
        double extent = 0;
        for (size_t i = 0; i < orb.x.size(); ++i)
            extent = std::max(extent, std::hypot(static_cast<double>(orb.x[i]), static_cast<double>(orb.y[i])));
        const std::string dir = std::fabs(area) <= 1e-4 * extent * extent ? "no whirl (straight line)"
                                : area > 0                                ? "forward whirl"
                                                                          : "backward whirl";
        std::vector<std::vector<double>> rows;
        for (size_t i = 0; i < orb.x.size(); ++i) rows.push_back({orb.x[i], orb.y[i]});
        rows.push_back({orb.x[0], orb.y[0]});
        p.series.push_back(Line(Name(orb.path) + ": " + dir, "lines lw 2 lc " + Colour(static_cast<int>(k)), rows));
        // The direction of travel, from the first point.
        const size_t n = std::max<size_t>(1, orb.x.size() / 25);
        const double dx = orb.x[n] - orb.x[0], dy = orb.y[n] - orb.y[0];
        Series arrow = Line("", "vectors head filled size screen 0.025,25 lw 2.5 lc " + Colour(static_cast<int>(k)),
                            {{orb.x[0], orb.y[0], dx, dy}});
        arrow.columns = "1:2:3:4";
        p.series.push_back(arrow);
        for (const auto& [i, mark] : orb.marks) {
            marks.push_back({orb.x[static_cast<size_t>(i)], orb.y[static_cast<size_t>(i)]});
            p.labels.push_back({orb.x[static_cast<size_t>(i)], orb.y[static_cast<size_t>(i)], 0,
                                std::to_string(mark), "offset 0.8,0.8"});
        }
        d.summary.push_back("orbit " + orb.path + ": " + dir + ", " + std::to_string(orb.x.size()) + " points, " +
                            std::to_string(orb.marks.size()) + " timing marks");
        const std::string name = Name(orb.path);
        for (const char* c : {" x", " y", " mark"}) d.header.push_back(name + c + (c[1] == 'm' ? " [-]" : unit.empty() ? "" : " [" + unit + "]"));
    }
    if (!marks.empty()) p.series.push_back(Line("timing marks", "points pt 7 ps 1.1 lc rgb 'black'", marks));
    p.series.push_back(Line("", "points pt 1 ps 2 lc rgb 'black'", {{0, 0}}));
    for (size_t i = 0; i < most; ++i) {
        std::vector<double> row{static_cast<double>(i + 1)};
        for (const auto& orb : orbits) {
            double mark = kNaN;
            for (const auto& [k, m] : orb.marks)
                if (static_cast<size_t>(k) == i) mark = m;
            if (i < orb.x.size())
                row.insert(row.end(), {orb.x[i], orb.y[i], mark});
            else
                row.insert(row.end(), {kNaN, kNaN, kNaN});
        }
        d.rows.push_back(std::move(row));
    }
    fig.panels = {p};
    d.figures.push_back(std::move(fig));
    return d;
}

// ---------------------------------------------------------------------------

Drawing Coefficients(const PlotOptions& o, std::vector<std::string>& warnings) {
    const RecordTable k = ReadRecords(o.inputs[0], o.values), c = ReadRecords(o.inputs[1], o.values);
    NonFinite(k.path, k.nonFinite, warnings);
    NonFinite(c.path, c.nonFinite, warnings);
    for (const RecordTable* t : {&k, &c})
        if (t->values != 5)
            throw PlotError(t->path + ": expected records of the speed and four coefficients, not " +
                            std::to_string(t->values) + " values");
    if (!SameColumn(k, c)) throw PlotError(c.path + ": its speeds differ from those of " + k.path);
    const int iunits = ModelUnits(o);
    const std::string ku = iunits == 1 ? "lb/in" : iunits == 2 ? "kg/mm" : "";
    const std::string cu = iunits == 1 ? "lb-s/in" : iunits == 2 ? "kg-s/mm" : "";
    Drawing d;
    Figure fig;
    fig.title = o.title.empty() ? "Bearing coefficients - " + Name(k.path) + ", " + Name(c.path) : o.title;
    Panel ps, pd;
    ps.ylabel = WithUnit("Stiffness", ku);
    pd.ylabel = WithUnit("Damping", cu);
    pd.xlabel = "Rotor speed [RPM]";
    const double lo = std::min(k.rows.front()[0], k.rows.back()[0]), hi = std::max(k.rows.front()[0], k.rows.back()[0]);
    ps.settings = {Range("x", lo, hi), "set key outside right top", "set format x ''", "set format y '%.3g'",
                   "set offsets 0,0,graph 0.05,graph 0.05"};
    pd.settings = {Range("x", lo, hi), "set key outside right top", "set format y '%.3g'",
                   "set offsets 0,0,graph 0.05,graph 0.05"};
    ps.rmargin = pd.rmargin = 12;
    const char* names[2][4] = {{"Sxx", "Sxy", "Syx", "Syy"}, {"Cxx", "Cxy", "Cyx", "Cyy"}};
    d.header = {"speed [RPM]"};
    for (int f = 0; f < 2; ++f) {
        const RecordTable& t = f == 0 ? k : c;
        for (int j = 1; j <= 4; ++j) {
            std::vector<std::vector<double>> rows;
            for (const auto& r : t.rows) rows.push_back({r[0], r[static_cast<size_t>(j)]});
            (f == 0 ? ps : pd)
                .series.push_back(Line(names[f][j - 1],
                                       "linespoints lw 2 pt " + std::to_string(4 + 2 * j) + " ps 0.7 lc " +
                                           Colour(j - 1) + (j == 4 ? " dt 2" : ""),
                                       rows));
            d.header.push_back(WithUnit(names[f][j - 1], f == 0 ? ku : cu));
        }
    }
    for (size_t i = 0; i < k.rows.size(); ++i) {
        std::vector<double> row{k.rows[i][0]};
        for (int j = 1; j <= 4; ++j) row.push_back(k.rows[i][static_cast<size_t>(j)]);
        for (int j = 1; j <= 4; ++j) row.push_back(c.rows[i][static_cast<size_t>(j)]);
        d.rows.push_back(std::move(row));
    }
    fig.panels = {ps, pd};
    d.figures.push_back(std::move(fig));
    d.summary.push_back("coefficients: " + std::to_string(k.rows.size()) + " speeds from " + Fixed(lo) + " to " +
                        Fixed(hi) + " RPM");
    return d;
}

// ---------------------------------------------------------------------------

Drawing AnimationPictures(const PlotOptions& o, std::vector<std::string>& warnings) {
    const Animation a = ReadAnimation(o.inputs[0]);
    NonFinite(o.inputs[0], a.nonFinite, warnings);
    const std::string unit = AmplitudeUnit(ModelUnits(o));
    const size_t nsta = a.z.size();
    std::vector<size_t> chosen;
    if (o.haveSpeed) {
        size_t best = 0;
        for (size_t i = 1; i < a.rows.size(); ++i)
            if (std::fabs(a.rows[i][0] - o.speed) < std::fabs(a.rows[best][0] - o.speed)) best = i;
        chosen.push_back(best);
    } else {
        for (size_t i = 0; i < a.rows.size(); ++i) chosen.push_back(i);
    }
    Drawing d;
    const bool gif = FormatOf(o.output) == ImageFormat::Gif;
    const fs::path out(o.output);
    const std::string len = unit == "mils" ? "in" : unit == "µm" ? "mm" : "";
    for (size_t n = 0; n < chosen.size(); ++n) {
        const std::vector<float>& r = a.rows[chosen[n]];
        double amax = 0;
        for (size_t s = 0; s < nsta; ++s)
            amax = std::max({amax, std::fabs(static_cast<double>(r[1 + 4 * s])), std::fabs(static_cast<double>(r[3 + 4 * s]))});
        if (!(amax > 0) || !std::isfinite(amax)) amax = 1;
        Figure fig;
        fig.title = (o.title.empty() ? (a.title.empty() ? Name(o.inputs[0]) : a.title) : o.title) + " - " +
                    Fixed(r[0]) + " RPM";
        Panel p;
        p.threeD = true;
        p.xlabel = WithUnit("Axial position", len);
        p.ylabel = WithUnit("x", unit);
        p.zlabel = WithUnit("y", unit);
        p.settings = {"set view 62,28,1,1.1", "set xyplane 0", "set key at screen 0.98,0.92 right top",
                      Range("y", -amax * 1.1, amax * 1.1), Range("z", -amax * 1.1, amax * 1.1),
                      Range("x", a.z.front(), a.z.back()), "set ticslevel 0", "set grid"};
        std::vector<std::vector<double>> orbits, shaft, axis{{a.z.front(), 0, 0}, {a.z.back(), 0, 0}};
        for (size_t s = 0; s < nsta; ++s) {
            const double ax = r[1 + 4 * s], px = r[2 + 4 * s] * kPi / 180, ay = r[3 + 4 * s],
                         py = r[4 + 4 * s] * kPi / 180;
            for (int k = 0; k <= 72; ++k) {
                const double th = 2 * kPi * k / 72;
                orbits.push_back({a.z[s], ax * std::sin(th + px), ay * std::sin(th + py)});
            }
            orbits.push_back({});
            shaft.push_back({a.z[s], ax * std::sin(px), ay * std::sin(py)});
        }
        p.series.push_back(Line("rotor axis", "lines dt 2 lc rgb 'black'", axis));
        p.series.push_back(Line("station orbits", "lines lw 1.5 lc " + Colour(0), orbits));
        p.series.push_back(Line("deflected shaft (reference instant)", "linespoints lw 3 pt 7 ps 0.8 lc " + Colour(1), shaft));
        for (auto& s : p.series) s.columns = "1:2:3";
        fig.panels = {p};
        d.figures.push_back(std::move(fig));
        if (!gif) {
            std::string name = o.output;
            if (chosen.size() > 1) {
                char idx[32];
                std::snprintf(idx, sizeof idx, "_%03zu", n + 1);
                name = (out.parent_path() / (out.stem().string() + idx + out.extension().string())).string();
            }
            d.outputs.push_back(name);
        }
    }
    d.header = {"speed [RPM]"};
    for (size_t s = 1; s <= nsta; ++s)
        for (const char* q : {"x amplitude", "x phase", "y amplitude", "y phase"}) {
            const bool phase = q[2] == 'p';
            d.header.push_back("station " + std::to_string(s) + " " + q + " [" + (phase ? "deg" : unit.empty() ? "-" : unit) + "]");
        }
    for (const auto& r : a.rows) d.rows.emplace_back(r.begin(), r.end());
    d.summary.push_back("animation: " + std::to_string(nsta) + " stations, " + std::to_string(a.rows.size()) +
                        " speeds, " + std::to_string(chosen.size()) + (gif ? " frames" : " pictures"));
    return d;
}

// ---------------------------------------------------------------------------

Drawing Fit(const PlotOptions& o, std::vector<std::string>& warnings) {
    const RecordTable t = ReadRecords(o.inputs[0], o.values);
    NonFinite(t.path, t.nonFinite, warnings);
    if (t.values < 2 || t.values > 5)
        throw PlotError(t.path + ": expected the abscissa and one to four fitted columns per record, not " +
                        std::to_string(t.values) + " values");
    Drawing d;
    Figure fig;
    fig.title = o.title.empty() ? "Fitted curves - " + Name(t.path) : o.title;
    Panel p;
    p.xlabel = "Abscissa";
    p.ylabel = "Fitted value";
    p.settings = {"set key outside right top"};
    p.rmargin = 30;
    d.header = {"abscissa [-]"};
    // Columns whose size differs from the first one's by more than ten times
    // go on the right-hand axis.
    std::vector<double> size(static_cast<size_t>(t.values), 0.0);
    for (const auto& r : t.rows)
        for (size_t c = 1; c < r.size(); ++c)
            if (std::isfinite(r[c])) size[c] = std::max(size[c], std::fabs(static_cast<double>(r[c])));
    std::vector<bool> right(static_cast<size_t>(t.values), false);
    for (size_t c = 2; c < size.size(); ++c)
        right[c] = size[c] > 0 && size[1] > 0 && (size[c] > 10 * size[1] || 10 * size[c] < size[1]);
    if (std::find(right.begin(), right.end(), true) != right.end())
        p.settings.insert(p.settings.end(), {"set y2tics", "set ytics nomirror", "set y2label 'Fitted value, right axis'"});
    for (int c = 1; c < t.values; ++c) {
        std::vector<std::vector<double>> rows;
        for (const auto& r : t.rows) rows.push_back({r[0], r[static_cast<size_t>(c)]});
        const bool y2 = right[static_cast<size_t>(c)];
        p.series.push_back(Line("column " + std::to_string(c) + (y2 ? " (right axis)" : ""),
                                "lines lw 2 lc " + Colour(c - 1) + (y2 ? " axes x1y2" : ""), rows));
        d.header.push_back("column " + std::to_string(c) + " [-]");
    }
    if (!o.data.empty()) {
        const RecordTable data = ReadRecords(o.data, 0);
        for (int c = 1; c < std::min(data.values, t.values); ++c) {
            std::vector<std::vector<double>> rows;
            for (const auto& r : data.rows) rows.push_back({r[0], r[static_cast<size_t>(c)]});
            p.series.push_back(Line(c == 1 ? "data points" : "",
                                    "points pt 7 ps 1 lc " + Colour(c - 1) +
                                        (right[static_cast<size_t>(c)] ? " axes x1y2" : ""),
                                    rows));
        }
    }
    for (const auto& r : t.rows) d.rows.emplace_back(r.begin(), r.end());
    fig.panels = {p};
    d.figures.push_back(std::move(fig));
    d.summary.push_back("fit: " + std::to_string(t.values - 1) + " columns at " + std::to_string(t.rows.size()) +
                        " points");
    return d;
}

// ---------------------------------------------------------------------------

Drawing Rotor(const PlotOptions& o, std::vector<std::string>&) {
    auto mp = std::make_unique<RotorModel>();
    RotorModel& m = *mp;
    ReadModelFile(o.inputs[0], m);
    const bool english = m.IUNITS != 2;
    const std::string len = english ? "in" : "mm", wt = english ? "lb" : "kg";
    std::vector<double> z{0.0};
    double rmax = 0;
    for (int i = 1; i < m.NSTA; ++i) {
        z.push_back(z.back() + m.SHAFT(i, 3));
        rmax = std::max(rmax, 0.5 * m.SHAFT(i, 1));
    }
    for (int i = 1; i <= m.NDISC; ++i) rmax = std::max(rmax, 0.5 * m.DISC(i, 1));
    const double length = z.back();
    if (!(rmax > 0)) rmax = 0.05 * std::max(length, 1.0);
    auto station = [&](int s) { return s >= 1 && s <= m.NSTA ? z[static_cast<size_t>(s) - 1] : kNaN; };
    // Radius of the shaft at a station: the larger of its two elements.
    auto shaftR = [&](int s) {
        double r = 0;
        if (s > 1) r = std::max(r, 0.5 * m.SHAFT(s - 1, 1));
        if (s < m.NSTA) r = std::max(r, 0.5 * m.SHAFT(s, 1));
        return r;
    };
    Drawing d;
    Figure fig;
    fig.title = o.title.empty() ? m.TITLE.trimmed() : o.title;
    Panel p;
    p.xlabel = "Axial position [" + len + "]";
    p.ylabel = "Radius [" + len + "]";
    p.rmargin = 23;
    const double gap = 0.25 * rmax;
    std::vector<std::vector<double>> shaft, bore, discs, brg, ped, added, unb;
    for (int i = 1; i < m.NSTA; ++i) {
        const double zc = 0.5 * (z[static_cast<size_t>(i) - 1] + z[static_cast<size_t>(i)]), h = 0.5 * m.SHAFT(i, 3);
        shaft.push_back({zc, 0, h, 0.5 * m.SHAFT(i, 1)});
        if (m.SHAFT(i, 2) > 0) bore.push_back({zc, 0, h, 0.5 * m.SHAFT(i, 2)});
    }
    for (int i = 1; i <= m.NDISC; ++i) {
        const double t = m.DISC(i, 3) > 0 ? m.DISC(i, 3) : 0.01 * length;
        discs.push_back({station(m.DSTA(i)), 0, 0.5 * t, 0.5 * m.DISC(i, 1)});
        p.labels.push_back({station(m.DSTA(i)), 0.5 * m.DISC(i, 1), 0, "D" + std::to_string(i), "center offset 0,0.7"});
    }
    for (int i = 1; i <= m.NBRG; ++i) {
        const double y = -shaftR(m.BSTA(i)) - gap;
        brg.push_back({station(m.BSTA(i)), y});
        p.labels.push_back({station(m.BSTA(i)), y, 0, "B" + std::to_string(i), "right offset -1.3,-0.2"});
    }
    for (int i = 1; i <= m.NPED; ++i) {
        const double y = -shaftR(m.PSTA(i)) - 3 * gap;
        ped.push_back({station(m.PSTA(i)), y, 0.02 * length, 0.6 * gap});
        p.labels.push_back({station(m.PSTA(i)), y, 0,
                            "P" + std::to_string(i) + " " + Short(m.PWT(i)) + " " + wt, "right offset -3,0"});
    }
    for (int i = 1; i <= m.NCM; ++i) {
        const double y = shaftR(m.WSTA(i)) + gap;
        added.push_back({station(m.WSTA(i)), y});
        p.labels.push_back({station(m.WSTA(i)), y, 0, Short(m.WWT(i)) + " " + wt, "left offset 1,0.4"});
    }
    for (int s = 1; s <= m.NSTA; ++s)
        if (m.UNBAMP(s) != 0.0f) unb.push_back({station(s), -0.5 * rmax});
    const std::string box = "1:2:3:4";
    auto boxes = [&](const std::string& title, const std::string& style, std::vector<std::vector<double>> rows) {
        if (rows.empty()) return;
        Series s = Line(title, "boxxyerror " + style, std::move(rows));
        s.columns = box;
        p.series.push_back(s);
    };
    boxes("shaft (O.D.)", "fs solid 0.5 border lc rgb '#555555' lc rgb '#9e9e9e'", shaft);
    boxes("bore (I.D.)", "fs solid 1.0 noborder lc rgb '#ffffff'", bore);
    boxes("discs", "fs solid 0.6 border lc rgb '#1f4e79' lc rgb '#4a90d9'", discs);
    boxes("pedestals", "fs solid 0.7 border lc rgb '#5a3a1a' lc rgb '#b5835a'", ped);
    if (!brg.empty()) p.series.push_back(Line("bearings", "points pt 9 ps 2.6 lc rgb '#2ca02c'", brg));
    if (!added.empty()) p.series.push_back(Line("added weights", "points pt 13 ps 2 lc rgb '#9467bd'", added));
    if (!unb.empty()) p.series.push_back(Line("unbalance", "points pt 3 ps 1.8 lw 2 lc rgb '#d62728'", unb));
    p.series.push_back(Line("", "lines dt 4 lc rgb '#444444'", {{-0.02 * length, 0}, {1.02 * length, 0}}));
    std::string tics;
    for (int s = 1; s <= m.NSTA; ++s)
        tics += (s > 1 ? ", " : "") + std::string("\"") + std::to_string(s) + "\" " + std::to_string(z[static_cast<size_t>(s) - 1]);
    const double bottom = -rmax - 4.2 * gap, top = rmax + 2.5 * gap;
    p.settings = {Range("x", -0.03 * length, 1.03 * length), Range("y", bottom, top),
                  "set x2range [] writeback", "set link x2", "set x2tics (" + tics + ") nomirror",
                  "set xtics nomirror", "set x2label 'Station'", "set key outside right top", "unset grid",
                  "set grid x2tics lc rgb '#e0e0e0'"};
    if (length <= 3.0 * (top - bottom)) p.settings.push_back("set size ratio -1");
    fig.panels = {p};
    d.figures.push_back(std::move(fig));

    d.header = {"station [-]", "axial position [" + len + "]", "element O.D. [" + len + "]",
                "element I.D. [" + len + "]", "element length [" + len + "]", "disc O.D. [" + len + "]",
                "disc thickness [" + len + "]", "disc weight [" + wt + "]", "bearing [-]", "pedestal [-]",
                "added weight [" + wt + "]", "unbalance [" + len + "-" + wt + "]", "unbalance phase [deg]"};
    for (int s = 1; s <= m.NSTA; ++s) {
        std::vector<double> row{static_cast<double>(s), z[static_cast<size_t>(s) - 1]};
        for (int c = 1; c <= 3; ++c) row.push_back(s < m.NSTA ? m.SHAFT(s, c) : kNaN);
        double dod = kNaN, dt = kNaN, dw = kNaN, b = kNaN, pe = kNaN, w = kNaN;
        for (int i = 1; i <= m.NDISC; ++i)
            if (m.DSTA(i) == s) dod = m.DISC(i, 1), dt = m.DISC(i, 3), dw = m.DISC(i, 4);
        for (int i = 1; i <= m.NBRG; ++i)
            if (m.BSTA(i) == s) b = i;
        for (int i = 1; i <= m.NPED; ++i)
            if (m.PSTA(i) == s) pe = i;
        for (int i = 1; i <= m.NCM; ++i)
            if (m.WSTA(i) == s) w = m.WWT(i);
        row.insert(row.end(), {dod, dt, dw, b, pe, w, m.UNBAMP(s), m.UNBPHS(s)});
        d.rows.push_back(std::move(row));
    }
    d.summary.push_back("rotor: " + std::to_string(m.NSTA) + " stations, " + std::to_string(m.NDISC) + " discs, " +
                        std::to_string(m.NBRG) + " bearings, " + std::to_string(m.NPED) + " pedestals, " +
                        std::to_string(m.NCM) + " added weights; length " + Short(length) + " " + len);
    return d;
}

}  // namespace

bool CommandInputs(const std::string& command, int& min, int& max) {
    if (command == "rotor" || command == "animation" || command == "fit") {
        min = max = 1;
    } else if (command == "campbell" || command == "coefficients") {
        min = max = 2;
    } else if (command == "modes" || command == "orbit") {
        min = 1;
        max = -1;
    } else if (command == "response") {
        min = 0;  // files may all come with --phases or --amplitudes
        max = -1;
    } else {
        return false;
    }
    return true;
}

std::vector<std::string> RunPlotCommand(const PlotOptions& opts, std::vector<std::string>& warnings) {
    PlotOptions o = opts;
    if (o.output.empty()) {
        const std::string first = !o.inputs.empty() ? o.inputs[0] : !o.amplitudes.empty() ? o.amplitudes[0] : o.phases[0];
        o.output = fs::path(first).stem().string() + ".png";
    }
    const ImageFormat format = FormatOf(o.output);
    if (format == ImageFormat::Gif && o.command != "animation")
        throw PlotError(o.output + ": an animated GIF is drawn only by the animation command");
    Drawing d;
    if (o.command == "campbell") d = Campbell(o, warnings);
    else if (o.command == "modes") d = Modes(o, warnings);
    else if (o.command == "response") d = Response(o, warnings);
    else if (o.command == "orbit") d = Orbits(o, warnings);
    else if (o.command == "coefficients") d = Coefficients(o, warnings);
    else if (o.command == "animation") d = AnimationPictures(o, warnings);
    else if (o.command == "fit") d = Fit(o, warnings);
    else if (o.command == "rotor") d = Rotor(o, warnings);
    else throw PlotError("unknown command " + o.command);
    if (d.outputs.empty()) d.outputs.push_back(o.output);

    OutputFiles files;
    std::vector<std::string> temps;
    for (const auto& out : d.outputs) temps.push_back(files.Add(out));
    const std::string csvTemp = o.csv.empty() ? std::string() : files.Add(o.csv);
    Render(d.figures, temps, format, o.width, o.height);
    if (!o.csv.empty()) WriteCsv(csvTemp, d.header, d.rows);
    files.Commit();
    for (const auto& out : d.outputs) d.summary.push_back("wrote " + out);
    if (!o.csv.empty()) d.summary.push_back("wrote " + o.csv + " (" + std::to_string(d.rows.size()) + " rows)");
    return d.summary;
}
