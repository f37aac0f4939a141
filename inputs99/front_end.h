#pragma once
// The interactive front end: menus, prompt routines, data editor, dialogs.
#include <cmath>
#include <cstdint>
#include <tuple>

#include "recordio/recordio.h"
#include "recordio/text.h"

struct FrontEndState {
    int DATAOPT = 0;
    int INPOPT = 0;
    int EDITOPT = 0;   // last editor option; 0 until the editor menu is answered
    int SAVED = 0;
    int HAVEDATA = 0;
    int HAVEUNB = 0;
    int REREAD = 0;    // re-read DATAFILE when the data menu is next reached
    Text14 DATAFILE;   // model file last read from or saved to
    Text1 ANS;         // answer of the last yes/no question
    Text3 FSTAT;       // open status handed to OpenFileChecked
};

extern FrontEndState FRONT;

// Entry routine of the front end: returns with OPTS.MAINOPT set to 1..5 or 7.
void RunFrontEnd();

// Prompt routines.
void AskYesNo();
void ChooseOption(int& choice, int low, int high);
void PressEnterToContinue();
void Beep(int n);
void OpenFileChecked(int unit, Text14& name, Text3& status);
// Reads a file name typed at a file-name question: the first 14 characters
// of the line. A longer name is cut, and the console says which name is used.
void ReadFileName(Text14& name);

// A typed value that is not a finite number ("NaN", "Inf") is refused: the
// one-line message, then the caller asks again.
void RefuseNotFinite();
inline bool IsFiniteValue(float v) { return std::isfinite(v); }
inline bool IsFiniteValue(int32_t) { return true; }
// Reads one free-format console statement into the targets. False when a
// real read is not a finite number: the targets keep the values they had,
// the refusal is written, and the caller asks again.
template <class... Targets>
bool ReadFiniteAnswer(Targets&... targets) {
    const std::tuple<Targets...> before(targets...);
    Read(CONSOLE, FREE, targets...);
    if ((IsFiniteValue(targets) && ...)) return true;
    std::tie(targets...) = before;
    RefuseNotFinite();
    return false;
}

// Model file: save dialog, file input (reread: go straight to opening DATAFILE).
void SaveModelDialog();
void FileInputDialog(bool reread);
// Model listing on the screen.
void ListModel();

// Keyboard entry of a whole model (input option 2) and the data editor.
void KeyboardEntry();
void DataEditor();

// Analysis option dialogs (data menu 5 with a model that may be run).
enum class DialogResult { Run, DataMenu, MainMenu };
DialogResult RunAnalysisDialog();
// Curve-fitting dialog (main menu 7): true when the fit is to run.
bool CurveFitDialog();
