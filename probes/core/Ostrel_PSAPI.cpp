#include "probes/core/Ostrel_PSAPI.h"

namespace vardak::probes {

LibraryBinding& PSAPIBinding() {
    static LibraryBinding binding(kPSAPITable);
    return binding;
}

}  // namespace vardak::probes
