#include "platform/MemoryTuning.h"

#include <malloc.h>

namespace tarvel::platform {

void keepPageBuffers()
{
    mallopt(M_MMAP_THRESHOLD, 32 << 20);
    mallopt(M_TRIM_THRESHOLD, 64 << 20);
    mallopt(M_TOP_PAD, 16 << 20);
}

} // namespace tarvel::platform
