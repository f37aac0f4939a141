#include "analyses/results.h"

#include "analyses/eigen_warnings.h"
#include "model/analysis_options.h"
#include "model/rotor_model.h"
#include "recordio/recordio.h"

RunState RUN;
Results RES;

void WriteSpeedTableWarning(int unit) {
    if (RUN.ABOVETABLE == 0 || MODEL.NSPEED < 2) return;
    Write(unit,
          "(2X,'WARNING: The bearing coefficients are extrapolated beyond their',' speed table',/,2X,'(',F8.1,"
          "' to',F8.1,' RPM) to the speed of the run,',F8.1,' RPM.')",
          MODEL.SPEED(1), MODEL.SPEED(MODEL.NSPEED), OPTS.SPEED1);
}
