// Prompt routines shared by every dialog: yes/no answers, menu choices,
// pauses, the bell and the file-open dialog.
#include "inputs99/front_end.h"
#include "recordio/recordio.h"

void AskYesNo() {
    Read(CONSOLE, "(A1)", FRONT.ANS);
    if (FRONT.ANS == "y") FRONT.ANS = Text1("Y");
    if (FRONT.ANS == "n") FRONT.ANS = Text1("N");
}

void ChooseOption(int& choice, int low, int high) {
    do {
        Write(CONSOLE, "(/,/,10X,'Choose Option <',I2,' - ',I2,'> ... ')", low, high);
        Read(CONSOLE, FREE, choice);
    } while (choice < low || choice > high);
}

void PressEnterToContinue() {
    Write(CONSOLE, FREE, "Press <Enter> to continue ... ");
    Read(CONSOLE, FREE);
}

void ReadFileName(Text14& name) {
    Text<66> rest;  // what the 14-character field leaves of the line
    Read(CONSOLE, "(A14,A66)", name, rest);
    if (!rest.blank() && !name.blank())
        Write(CONSOLE, FREE, " File name longer than 14 characters: ", name.trimmed(), " is used");
}

void RefuseNotFinite() { Write(CONSOLE, FREE, " Refused : the value is not a finite number"); }

void Beep(int n) {
    for (int i = 0; i < n; ++i) Write(CONSOLE, FREE, "\a");
}

// Connects unit to name and returns only once that succeeded. A missing file
// (status "OLD") or an existing one (status "NEW", unless the user agrees to
// overwrite it) leads to a new name. The status is left at "NEW".
void OpenFileChecked(int unit, Text14& name, Text3& status) {
    const Text3 callerStatus = status;
    bool overwriting = false;  // the open in progress follows a "Y" to overwrite
    for (;;) {
        int rc = OpenUnit(unit, name, status, true);
        if (rc == 0 && overwriting && !UnitIsWritable(unit)) {
            // Overwriting opens the file for reading and writing: one that
            // can only be read fails like any other open.
            CloseUnit(unit);
            rc = -1;
        }
        if (rc == 0) {
            status = Text3("NEW");
            return;
        }
        if (rc == OPEN_FILE_CONNECTED) {
            // Another unit of this run has the file: writing it twice would
            // corrupt it, so only another name will do.
            Write(CONSOLE, "(/,5X,'File ',A14,' Is In Use By This Run !',/)", name);
        } else if (status == "OLD") {
            Write(CONSOLE, "(/,5X,'File ',A14,' Not found !',/)", name);
        } else {
            for (;;) {
                Write(CONSOLE, "(/,5X,'File ',A14,' Already Exists !',' Overwrite it ? Y/N >  ')", name);
                AskYesNo();
                if (FRONT.ANS == "Y" || FRONT.ANS == "N") break;
            }
            if (FRONT.ANS == "Y") {
                status = Text3("OLD");
                overwriting = true;
                continue;
            }
        }
        // The new name starts again from the caller's status, so no other
        // file is overwritten without asking.
        status = callerStatus;
        overwriting = false;
        Write(CONSOLE, FREE, " Input Different Filename ... ");
        ReadFileName(name);
    }
}
