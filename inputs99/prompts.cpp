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
        const int rc = OpenUnit(unit, name, status, true);
        if (rc == 0) {
            status = Text3("NEW");
            return;
        }
        bool askName = true;
        if (rc == OPEN_FILE_CONNECTED) {
            // Another unit of this run has the file: writing it twice would
            // corrupt it, so only another name will do.
            Write(CONSOLE, "(/,5X,'File ',A14,' Is In Use By This Run !',/)", name);
            status = callerStatus;
            overwriting = false;
        } else if (overwriting) {
            // The file vanished or cannot be opened after all: start again
            // from the caller's status, so no other file is overwritten
            // without asking.
            status = callerStatus;
            overwriting = false;
            askName = false;
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
                askName = false;
            }
        }
        if (askName) {
            Write(CONSOLE, FREE, " Input Different Filename ... ");
            Read(CONSOLE, "(A14)", name);
        }
    }
}
