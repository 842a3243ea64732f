#include "core/base/RuntimeRandom.h"

namespace quiltara {

CRuntimeRandom& ProgramRandom() {
    static CRuntimeRandom generator;
    return generator;
}

} // namespace quiltara
