// Rendering through gnuplot, and the output files.
#include "plots/figure.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "plots/plot_data.h"

namespace fs = std::filesystem;

namespace {

// A gnuplot string. Single quotes, because gnuplot runs a command written in
// backquotes inside a double-quoted string, and titles, labels and file names
// come from the user's files; a quote is doubled, and a line break is joined
// in as "\n", the only double-quoted piece.
std::string Quote(const std::string& s) {
    std::string q = "'";
    for (char c : s) {
        if (c == '\n') {
            q += "'.\"\\n\".'";
            continue;
        }
        if (c == '\'') q += '\'';
        q += c;
    }
    return q + "'";
}

std::string Num(double v) {
    if (!std::isfinite(v)) return "NaN";
    char buf[32];
    std::snprintf(buf, sizeof buf, "%.9g", v);
    return buf;
}

std::string Lower(std::string s) {
    for (char& c : s) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return s;
}

// The gnuplot program: KORVO_GNUPLOT, or gnuplot on the search path.
std::string FindGnuplot() {
    if (const char* env = std::getenv("KORVO_GNUPLOT"); env && *env) {
        if (access(env, X_OK) == 0) return env;
        throw PlotError(std::string("gnuplot not found at KORVO_GNUPLOT=") + env +
                        "; install the Debian package gnuplot-nox");
    }
    const char* path = std::getenv("PATH");
    std::stringstream dirs(path ? path : "");
    std::string dir;
    while (std::getline(dirs, dir, ':')) {
        if (dir.empty()) continue;
        const std::string exe = dir + "/gnuplot";
        if (access(exe.c_str(), X_OK) == 0) return exe;
    }
    throw PlotError("gnuplot not found; install the Debian package gnuplot-nox (apt-get install gnuplot-nox)");
}

// Runs gnuplot on the script; its messages are returned on failure.
void RunGnuplot(const std::string& script) {
    const std::string exe = FindGnuplot();
    int pipefd[2];
    if (pipe(pipefd) != 0) throw PlotError("cannot start gnuplot: " + std::string(std::strerror(errno)));
    const pid_t pid = fork();
    if (pid < 0) {
        close(pipefd[0]);
        close(pipefd[1]);
        throw PlotError("cannot start gnuplot: " + std::string(std::strerror(errno)));
    }
    if (pid == 0) {
        const int devnull = open("/dev/null", O_RDONLY);
        if (devnull >= 0) dup2(devnull, 0);
        dup2(pipefd[1], 1);
        dup2(pipefd[1], 2);
        close(pipefd[0]);
        close(pipefd[1]);
        execl(exe.c_str(), "gnuplot", script.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    close(pipefd[1]);
    std::string messages;
    char buf[4096];
    for (ssize_t n; (n = read(pipefd[0], buf, sizeof buf)) != 0;) {
        if (n < 0) {
            if (errno == EINTR) continue;
            break;
        }
        messages.append(buf, static_cast<size_t>(n));
    }
    close(pipefd[0]);
    int status = 0;
    while (waitpid(pid, &status, 0) < 0 && errno == EINTR) {
    }
    if (!WIFEXITED(status) || WEXITSTATUS(status) != 0) {
        if (messages.size() > 2000) messages.resize(2000);
        throw PlotError("gnuplot failed" + (messages.empty() ? std::string() : ":\n" + messages));
    }
}

std::string Terminal(ImageFormat f, int w, int h) {
    std::ostringstream t;
    switch (f) {
        case ImageFormat::Png:
            t << "set terminal pngcairo size " << w << "," << h << " font 'Sans,10' background rgb 'white'";
            break;
        case ImageFormat::Svg:
            t << "set terminal svg size " << w << "," << h << " font 'Sans,10' background rgb 'white'";
            break;
        case ImageFormat::Pdf:
            t << "set terminal pdfcairo size " << w / 100.0 << "in," << h / 100.0 << "in font 'Sans,10'";
            break;
        case ImageFormat::Gif:
            t << "set terminal gif animate delay 60 loop 0 size " << w << "," << h
              << " background rgb 'white'";
            break;
    }
    return t.str() + "\nset termoption noenhanced\n";
}

void WritePanel(std::ostream& s, const Panel& p, const std::string& block, double top, double h) {
    s << "reset\n";
    s << "set origin 0," << Num(top - h) << "\nset size 1," << Num(h) << "\n";
    if (!p.threeD) s << "set lmargin 11\nset rmargin " << p.rmargin << "\nset grid lc rgb '#dddddd'\n";
    // (An opaque key would make gnuplot draw every series twice.)
    s << "set key box lc rgb '#bbbbbb'\nset style textbox opaque margins 0.5,0.5 noborder\n";
    if (!p.title.empty()) s << "set title " << Quote(p.title) << "\n";
    if (!p.xlabel.empty()) s << "set xlabel " << Quote(p.xlabel) << "\n";
    if (!p.ylabel.empty()) s << "set ylabel " << Quote(p.ylabel) << "\n";
    if (!p.zlabel.empty()) s << "set zlabel " << Quote(p.zlabel) << " rotate parallel\n";
    for (const auto& c : p.settings) s << c << "\n";
    int n = 0;
    for (const auto& l : p.labels) {
        s << "set label " << ++n << " " << Quote(l.text) << " at " << Num(l.x) << "," << Num(l.y);
        if (p.threeD) s << "," << Num(l.z);
        s << " " << l.options << " front\n";
    }
    std::string cmd;
    for (size_t k = 0; k < p.series.size(); ++k) {
        const Series& se = p.series[k];
        cmd += cmd.empty() ? "" : ", \\\n  ";
        cmd += block + "s" + std::to_string(k) + " using " + se.columns + " with " + se.with +
               (se.title.empty() ? " notitle" : " title " + Quote(se.title));
    }
    if (cmd.empty()) cmd = "NaN notitle";
    s << (p.threeD ? "splot " : "plot ") << cmd << "\n";
}

}  // namespace

std::string Colour(int k) {
    static const char* kPalette[] = {"#1f77b4", "#d62728", "#2ca02c", "#ff7f0e", "#9467bd",
                                     "#8c564b", "#e377c2", "#17becf", "#7f7f7f", "#bcbd22"};
    return std::string("rgb '") + kPalette[((k % 10) + 10) % 10] + "'";
}

ImageFormat FormatOf(const std::string& path) {
    const std::string ext = Lower(fs::path(path).extension().string());
    if (ext == ".png") return ImageFormat::Png;
    if (ext == ".svg") return ImageFormat::Svg;
    if (ext == ".pdf") return ImageFormat::Pdf;
    if (ext == ".gif") return ImageFormat::Gif;
    throw PlotError(path + ": unknown picture format; use a name ending in .png, .svg, .pdf or .gif");
}

OutputFiles::~OutputFiles() {
    if (committed_) return;
    for (const auto& f : files_) {
        std::error_code ec;
        fs::remove(f.first, ec);
    }
}

std::string OutputFiles::Add(const std::string& path) {
    const fs::path target(path);
    std::error_code ec;
    if (fs::is_directory(target, ec)) throw PlotError(path + ": is a folder; name the output file");
    const fs::path dir = target.parent_path().empty() ? fs::path(".") : target.parent_path();
    std::string leaf(1, '.');  // built by appending: g++ 12 warns falsely on "." + name
    leaf.append(target.filename().string()).append(".korvo-plot-XXXXXX");
    std::string name = (dir / leaf).string();
    const int fd = mkstemp(name.data());
    if (fd < 0) throw PlotError(path + ": cannot be written (" + std::strerror(errno) + ")");
    // The finished file gets the permissions of a newly created one.
    const mode_t mask = umask(0);
    umask(mask);
    (void)fchmod(fd, 0666 & ~mask);
    close(fd);
    files_.emplace_back(name, path);
    return name;
}

void OutputFiles::Commit() {
    for (const auto& f : files_) {
        std::error_code ec;
        if (fs::file_size(f.first, ec) == 0 || ec)
            throw PlotError(f.second + ": nothing was written");
    }
    for (const auto& f : files_)
        if (std::rename(f.first.c_str(), f.second.c_str()) != 0)
            throw PlotError(f.second + ": cannot be written (" + std::strerror(errno) + ")");
    committed_ = true;
}

void Render(const std::vector<Figure>& figures, const std::vector<std::string>& outputs, ImageFormat format,
            int width, int height) {
    const bool gif = format == ImageFormat::Gif;
    const fs::path first(outputs.at(0));
    std::string scriptName =
        ((first.parent_path().empty() ? fs::path(".") : first.parent_path()) / ".korvo-plot-XXXXXX").string();
    const int fd = mkstemp(scriptName.data());
    if (fd < 0) throw PlotError(outputs[0] + ": cannot be written (" + std::strerror(errno) + ")");
    close(fd);
    struct Remove {
        std::string p;
        ~Remove() { std::remove(p.c_str()); }
    } removeScript{scriptName};
    {
        std::ofstream s(scriptName, std::ios::binary);
        s << Terminal(format, width, height) << "set encoding utf8\n";
        if (gif) s << "set output " << Quote(outputs[0]) << "\n";
        for (size_t f = 0; f < figures.size(); ++f) {
            const Figure& fig = figures[f];
            for (size_t p = 0; p < fig.panels.size(); ++p)
                for (size_t k = 0; k < fig.panels[p].series.size(); ++k) {
                    s << "$f" << f << "p" << p << "s" << k << " << EOD\n";
                    // An empty row breaks the line; in 3D two blank lines keep
                    // the pieces from being joined as a surface.
                    for (const auto& row : fig.panels[p].series[k].rows) {
                        for (size_t c = 0; c < row.size(); ++c) s << (c ? " " : "") << Num(row[c]);
                        s << (row.empty() && fig.panels[p].threeD ? "\n\n" : "\n");
                    }
                    s << "EOD\n";
                }
            if (!gif) s << "set output " << Quote(outputs.at(f)) << "\n";
            const double titleSpace = fig.title.empty() ? 0.0 : 0.06;
            s << "set multiplot" << (fig.title.empty() ? "" : " title " + Quote(fig.title) + " font ',12'") << "\n";
            double total = 0;
            for (const auto& p : fig.panels) total += p.height;
            double top = 1.0 - titleSpace;
            for (size_t p = 0; p < fig.panels.size(); ++p) {
                const double h = (1.0 - titleSpace) * fig.panels[p].height / total;
                WritePanel(s, fig.panels[p], "$f" + std::to_string(f) + "p" + std::to_string(p), top, h);
                top -= h;
            }
            s << "unset multiplot\n";
            if (!gif) s << "set output\n";
        }
        if (gif) s << "set output\n";
        if (!s.flush()) throw PlotError(outputs[0] + ": cannot be written");
    }
    RunGnuplot(scriptName);
}

void WriteCsv(const std::string& path, const std::vector<std::string>& header,
              const std::vector<std::vector<double>>& rows) {
    std::ofstream out(path, std::ios::binary);
    for (size_t c = 0; c < header.size(); ++c) out << (c ? "," : "") << header[c];
    out << "\r\n";
    for (const auto& r : rows) {
        for (size_t c = 0; c < r.size(); ++c) {
            if (c) out << ",";
            if (std::isfinite(r[c])) {
                char buf[32];
                std::snprintf(buf, sizeof buf, "%.7g", r[c]);
                out << buf;
            }
        }
        out << "\r\n";
    }
    if (!out.flush()) throw PlotError(path + ": cannot be written");
}
