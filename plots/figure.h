#pragma once
// Pictures as data (panels of series and labels), drawn by gnuplot, and the
// output files of a command, which appear only when all are complete.
#include <string>
#include <vector>

// One plotted item of a panel: the rows of its data block (an empty row
// breaks a line) and how gnuplot draws them.
struct Series {
    std::string title;  // legend entry; empty for none
    std::string with;   // gnuplot style, e.g. "lines lw 2 lc rgb '#1f77b4'"
    std::string columns = "1:2";
    std::vector<std::vector<double>> rows;
};

struct Label {
    double x = 0, y = 0, z = 0;
    std::string text;
    std::string options;  // e.g. "left offset 1,1 point pt 7"
};

struct Panel {
    std::string title, xlabel, ylabel, zlabel;
    std::vector<std::string> settings;  // further gnuplot commands (ranges, key, tics)
    std::vector<Series> series;
    std::vector<Label> labels;
    bool threeD = false;
    double height = 1.0;  // share of the picture height
    int rmargin = 4;      // right margin in characters (room for a key outside)
};

struct Figure {
    std::string title;
    std::vector<Panel> panels;  // stacked from the top
};

// Colour k of the curve palette.
std::string Colour(int k);

enum class ImageFormat { Png, Svg, Pdf, Gif };
// The format from the file name's extension (.png when it has none of the
// known ones is refused).
ImageFormat FormatOf(const std::string& path);

// Output files of a command: each is written under a temporary name beside
// it and takes its name at Commit; files not committed are removed.
class OutputFiles {
public:
    OutputFiles() = default;
    OutputFiles(const OutputFiles&) = delete;
    OutputFiles& operator=(const OutputFiles&) = delete;
    ~OutputFiles();
    // The temporary name to write for the file `path`.
    std::string Add(const std::string& path);
    void Commit();

private:
    std::vector<std::pair<std::string, std::string>> files_;  // (temporary, final)
    bool committed_ = false;
};

// Draws each figure into the matching temporary file; a GIF output takes all
// figures as the frames of one animation (one output name).
void Render(const std::vector<Figure>& figures, const std::vector<std::string>& outputs, ImageFormat format,
            int width, int height);

// Writes a CSV table: a header row, then one row per record; NaN is an empty
// field. Lines end in CR LF.
void WriteCsv(const std::string& path, const std::vector<std::string>& header,
              const std::vector<std::vector<double>>& rows);
