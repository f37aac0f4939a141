// The model file dialogs on unit 8: the save dialog, the file input dialog
// and the automatic re-read after a run.
#include <string>

#include "inputs99/front_end.h"
#include "model/analysis_options.h"
#include "model/model_file.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

namespace {

// A model being read lands here first and becomes MODEL only once the whole
// file has been read and checked.
RotorModel SCRATCH;

void RefuseModelFile(const Text14& name, const Message& reason) {
    CloseUnit(UNIT_MODEL);
    Beep(2);
    const std::string file = name.trimmed();
    Write(CONSOLE, FREE, " *** MODEL FILE ", file.c_str(), " IS REFUSED ***");
    reason.Write(CONSOLE);
    if (FRONT.HAVEDATA == 1)
        Write(CONSOLE, FREE, " The model in memory is unchanged.");
    else
        Write(CONSOLE, FREE, " No model is in memory.");
    PressEnterToContinue();
}

}  // namespace

void SaveModelDialog() {
    Write(CONSOLE, FREE);
    Text14 name;
    do {
        Write(CONSOLE, FREE, " Input Save Data Filename > ");
        ReadFileName(name);
    } while (name.blank());
    FRONT.FSTAT = Text3("NEW");
    OpenFileChecked(UNIT_MODEL, name, FRONT.FSTAT);
    RewindUnit(UNIT_MODEL);
    WriteModel(UNIT_MODEL, MODEL);
    // The file is complete: the close puts it on the disk (in the place of
    // the file it overwrites), and a write that fails is reported here.
    CloseUnit(UNIT_MODEL);
    FRONT.DATAFILE = name;
    FRONT.SAVED = 1;
}

void FileInputDialog(bool reread) {
    // The typed name becomes DATAFILE only once a model has been read from it.
    Text14 name = FRONT.DATAFILE;
    bool askName = !reread;
    for (;;) {
        if (askName) {
            FRONT.FSTAT = Text3("OLD");
            do {
                Write(CONSOLE, "(2X,'Input the name of your data_file  ....  ')");
                ReadFileName(name);
            } while (name.blank());
        }
        if (OpenUnit(UNIT_MODEL, name, Text3("OLD"), true) == 0) break;
        PauseForCommand(" File not found. Press <Enter> to continue...");
        Write(CONSOLE, FREE);
        Write(CONSOLE, FREE, " Try Another Filename ? Y/N > ");
        AskYesNo();
        if (!(FRONT.ANS == "Y")) {
            // Also ends an automatic re-read: the data menu is shown, without
            // a model if none was in memory.
            FRONT.REREAD = 0;
            return;
        }
        askName = true;
    }
    RewindUnit(UNIT_MODEL);
    SCRATCH = MODEL;  // values a record leaves empty keep the model's values
    if (Message reason = ReadModel(UNIT_MODEL, SCRATCH)) {
        FRONT.REREAD = 0;
        RefuseModelFile(name, reason);
        return;
    }
    MODEL = SCRATCH;
    FRONT.HAVEUNB = 0;
    for (int i = 1; i <= MODEL.NSTA; ++i)
        if (MODEL.UNBAMP(i) != 0.0f) FRONT.HAVEUNB = 1;
    FRONT.DATAFILE = name;
    FRONT.REREAD = 0;
    FRONT.HAVEDATA = 1;
}
