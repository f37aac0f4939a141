#include "driver/shared_storage.h"

#include <new>

#include "model/curve_fit_table.h"
#include "analyses/results.h"
#include "model/analysis_options.h"
#include "inputs99/front_end.h"
#include "model/rotor_model.h"
#include "matrx99/system_matrices.h"
#include "recordio/recordio.h"

namespace {

// Rebuilds a static record in place (some are too large for a temporary).
template <class T>
void Fresh(T& t) {
    t.~T();
    ::new (static_cast<void*>(&t)) T{};
}

}  // namespace

void ResetSharedStorage() {
    ResetRecordIo();
    Fresh(MODEL);
    Fresh(OPTS);
    Fresh(FRONT);
    Fresh(SYS);
    Fresh(RUN);
    Fresh(RES);
    Fresh(FITDATA);
}
