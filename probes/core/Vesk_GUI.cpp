#include "probes/core/Vesk_GUI.h"

namespace vardak::probes {

template class TOstrelSystemInfoOf<OstrelProbeSet>;

}  // namespace vardak::probes
