#include "probes/core/Ostrel_NetAPI32.h"

namespace vardak::probes {

LibraryBinding& NetAPI32Binding() {
    static LibraryBinding binding(kNetAPI32Table);
    return binding;
}

}  // namespace vardak::probes
