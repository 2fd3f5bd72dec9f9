#include "probes/core/Ostrel_AdvAPI.h"

namespace vardak::probes {

LibraryBinding& AdvAPIBinding() {
    static LibraryBinding binding(kAdvAPITable);
    return binding;
}

}  // namespace vardak::probes
