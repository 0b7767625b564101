#include "common/text/vx_variant_captions.h"

void CVXVariant::FreeQueryDumpRessources()
{
    // No caption is loaded yet; the caption layer grows this with the
    // captions it loads and frees.
}
